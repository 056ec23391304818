// The framework's default string table.
#pragma once

#include <span>

#include "core/ResourceModule.h"

std::span<const StringResource> FrameworkStrings();
