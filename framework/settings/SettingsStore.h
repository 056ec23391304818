// The per-user settings store: one text file (RegistryText) under $XDG_CONFIG_HOME/folioscope.
// Every change is a read-modify-write under an exclusive lock shared by all running instances,
// written atomically; a store that cannot be read, or is not a settings text, is never rewritten.
#pragma once

#include <functional>
#include <string>

#include "settings/RegistryText.h"

class SettingsStore {
 public:
  explicit SettingsStore(std::string path) : m_path(std::move(path)) {}
  // $XDG_CONFIG_HOME/folioscope/registry.reg, or ~/.config/folioscope/registry.reg.
  static std::string DefaultPath();
  const std::string& GetPath() const { return m_path; }

  // Reads the store; an absent store reads as empty. False (and text empty) when it cannot be read.
  bool Read(RegistryText& text) const;
  // Applies change to the stored text and writes the result back when it differs. False when the
  // store could not be read or written; it is then left as it was.
  bool Update(const std::function<void(RegistryText&)>& change);

 private:
  std::string m_path;
};
