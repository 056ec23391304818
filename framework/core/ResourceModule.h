// The program's resources as the framework sees them: declarative tables that the program hands
// to the framework's entry, and the lookups every other unit uses.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "core/Afx.h"

struct StringResource {
  UINT id;
  const char* text;
};

struct CResourceModule {
  std::span<const StringResource> strings;
};

void AfxSetResourceModule(const CResourceModule* pModule);
const CResourceModule* AfxGetResourceModule();

// The string with this number, or nullptr when the table has none.
const char* AfxFindString(UINT nID);
// The string with this number, or "" when the table has none.
std::string AfxLoadString(UINT nID);
// Field nIndex of a separated string; false when the string has fewer fields.
bool AfxExtractSubString(std::string& rString, std::string_view full, int nIndex, char sep = '\n');
// Replaces every "%1" of the format with the argument.
std::string AfxFormatString1(std::string_view format, std::string_view arg);
