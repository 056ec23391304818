// The application's keys in the settings store: its tree
// HKEY_CURRENT_USER\Software\<registry key>\<profile>, with a section a key and integers as DWORD
// values, and the removal of that tree and of the shell's keys of a document type (unregistering).
#pragma once

#include <string>

class SettingsStore;

class AppRegistry {
 public:
  AppRegistry(SettingsStore& store, std::string registryKey, std::string profileName);

  std::string AppKey() const;
  std::string SectionKey(const std::string& section) const;

  // Reading creates the keys on the way; a store that cannot be changed is still read.
  unsigned GetInt(const std::string& section, const std::string& entry, int defaultValue);
  bool WriteInt(const std::string& section, const std::string& entry, int value);

  // Deletes the shell's keys of the type (its icon and its open, print and print-to commands),
  // with every parent they leave empty up to the type's own key.
  void RemoveShellKeys(const std::string& typeId);
  // Deletes the application's tree, and the registry key's own when nothing else is left in it;
  // true when the tree is gone from the file.
  bool RemoveAppTree();

 private:
  SettingsStore& m_store;
  std::string m_registryKey;
  std::string m_profileName;
};
