#include "core/ResourceModule.h"

#include <algorithm>

namespace {
const CResourceModule* g_module = nullptr;
}

void AfxSetResourceModule(const CResourceModule* pModule) { g_module = pModule; }

const CResourceModule* AfxGetResourceModule() { return g_module; }

const char* AfxFindString(UINT nID) {
  if (g_module == nullptr) return nullptr;
  auto it = std::find_if(g_module->strings.begin(), g_module->strings.end(),
                         [nID](const StringResource& s) { return s.id == nID; });
  return it == g_module->strings.end() ? nullptr : it->text;
}

std::string AfxLoadString(UINT nID) {
  const char* text = AfxFindString(nID);
  return text ? text : "";
}

bool AfxExtractSubString(std::string& rString, std::string_view full, int nIndex, char sep) {
  rString.clear();
  for (; nIndex > 0; --nIndex) {
    auto pos = full.find(sep);
    if (pos == std::string_view::npos) return false;
    full.remove_prefix(pos + 1);
  }
  rString = full.substr(0, full.find(sep));
  return true;
}

std::string AfxFormatString1(std::string_view format, std::string_view arg) {
  std::string out;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == '1') {
      out += arg;
      ++i;
    } else {
      out += format[i];
    }
  }
  return out;
}
