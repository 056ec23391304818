#include "core/ResourceModule.h"

#include <algorithm>

#include "core/FrameworkStrings.h"

namespace {

const CResourceModule* g_module = nullptr;

template <class T>
const T* FindById(std::span<const T> table, UINT nID) {
  auto it = std::find_if(table.begin(), table.end(), [nID](const T& r) { return r.nID == nID; });
  return it == table.end() ? nullptr : &*it;
}

}  // namespace

const MenuBarResource* AfxFindMenu(UINT nID) { return g_module ? FindById(g_module->menus, nID) : nullptr; }
const AcceleratorTableResource* AfxFindAccelerators(UINT nID) {
  return g_module ? FindById(g_module->accelerators, nID) : nullptr;
}
const ToolBarResource* AfxFindToolBar(UINT nID) { return g_module ? FindById(g_module->toolbars, nID) : nullptr; }
const IconResource* AfxFindIcon(UINT nID) { return g_module ? FindById(g_module->icons, nID) : nullptr; }
const DialogResource* AfxFindDialog(UINT nID) { return g_module ? FindById(g_module->dialogs, nID) : nullptr; }

void AfxSetResourceModule(const CResourceModule* pModule) { g_module = pModule; }

const char* AfxFindString(UINT nID) {
  for (std::span<const StringResource> table :
       {g_module ? g_module->strings : std::span<const StringResource>(), FrameworkStrings()}) {
    auto it = std::find_if(table.begin(), table.end(), [nID](const StringResource& s) { return s.id == nID; });
    if (it != table.end()) return it->text;
  }
  return nullptr;
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
