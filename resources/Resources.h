// The program's resource tables, handed to the framework as one module.
#pragma once

#include <span>

#include "core/ResourceModule.h"

std::span<const StringResource> ProgramStrings();
std::span<const MenuBarResource> ProgramMenus();
std::span<const AcceleratorTableResource> ProgramAccelerators();
std::span<const ToolBarResource> ProgramToolBars();
std::span<const IconResource> ProgramIcons();
std::span<const DialogResource> ProgramDialogs();
const VersionResource& ProgramVersion();
const CResourceModule& ProgramResources();
