// The program's resource tables, handed to the framework as one module.
#pragma once

#include <span>

#include "core/ResourceModule.h"

std::span<const StringResource> ProgramStrings();
const CResourceModule& ProgramResources();
