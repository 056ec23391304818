#include "app/AppRegistry.h"

#include <cstdint>
#include <utility>

#include "settings/RegistryText.h"
#include "settings/SettingsStore.h"

AppRegistry::AppRegistry(SettingsStore& store, std::string registryKey, std::string profileName)
    : m_store(store), m_registryKey(std::move(registryKey)), m_profileName(std::move(profileName)) {}

std::string AppRegistry::AppKey() const {
  return "HKEY_CURRENT_USER\\Software\\" + m_registryKey + "\\" + m_profileName;
}

std::string AppRegistry::SectionKey(const std::string& section) const { return AppKey() + "\\" + section; }

unsigned AppRegistry::GetInt(const std::string& section, const std::string& entry, int defaultValue) {
  const std::string key = SectionKey(section);
  unsigned value = unsigned(defaultValue);
  auto read = [&](const RegistryText& text) {
    if (auto stored = text.GetDword(key, entry)) value = *stored;
  };
  if (!m_store.Update([&](RegistryText& text) {
        text.CreateKey(key);
        read(text);
      })) {
    RegistryText text;
    if (m_store.Read(text)) read(text);
  }
  return value;
}

bool AppRegistry::WriteInt(const std::string& section, const std::string& entry, int value) {
  const std::string key = SectionKey(section);
  return m_store.Update([&](RegistryText& text) { text.SetDword(key, entry, std::uint32_t(value)); });
}

void AppRegistry::RemoveShellKeys(const std::string& typeId) {
  const std::string top = "HKEY_CLASSES_ROOT\\" + typeId;
  m_store.Update([&](RegistryText& text) {
    for (const char* below :
         {"\\DefaultIcon", "\\shell\\open\\command", "\\shell\\print\\command", "\\shell\\printto\\command"}) {
      std::string key = top + below;
      if (!text.KeyExists(key) || text.HasSubkeys(key)) continue;
      text.DeleteKey(key);
      while (key.size() > top.size()) {
        key.resize(key.rfind('\\'));
        if (text.HasSubkeys(key) || text.HasValues(key)) break;
        text.DeleteKey(key);
      }
    }
  });
}

bool AppRegistry::RemoveAppTree() {
  const std::string appKey = AppKey();
  const std::string parentKey = "HKEY_CURRENT_USER\\Software\\" + m_registryKey;
  const bool updated = m_store.Update([&](RegistryText& text) {
    text.DeleteTree(appKey);
    if (!text.HasSubkeys(parentKey) && !text.HasValues(parentKey)) text.DeleteKey(parentKey);
  });
  RegistryText text;
  return updated && m_store.Read(text) && !text.KeyExists(appKey);
}
