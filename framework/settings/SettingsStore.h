// The per-user settings store: one text file (RegistryText) under $XDG_CONFIG_HOME/<program>.
// Every change is a read-modify-write under an exclusive lock shared by all running instances,
// written atomically. A store that cannot be read, or is not a settings text, is never rewritten;
// one that is read-only, too large, or whose lock another process keeps holding is read but not
// written for the rest of the run.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

#include "settings/RegistryText.h"

class SettingsStore {
 public:
  // header: the comment line a new store starts with.
  explicit SettingsStore(std::string path, std::string header = "")
      : m_path(std::move(path)), m_header(std::move(header)) {}
  // $XDG_CONFIG_HOME/<program>/registry.reg, or ~/.config/<program>/registry.reg.
  static std::string DefaultPath(const std::string& program);
  const std::string& GetPath() const { return m_path; }

  // Reads the store; an absent store reads as empty. False (and text empty) when it cannot be read.
  bool Read(RegistryText& text) const;
  // Applies change to the stored text and writes the result back when it differs. False when the
  // store could not be read or written; it is then left as it was.
  bool Update(const std::function<void(RegistryText&)>& change);
  // True once the store is not to be written for the rest of the run.
  bool IsReadOnly() const { return m_readOnly; }

  // The writer never makes a larger store; a larger one is read but no longer written.
  static constexpr std::size_t kMaxWriteSize = std::size_t(1) << 20;
  // Anything larger is no settings text and is not even read.
  static constexpr std::size_t kMaxReadSize = std::size_t(8) << 20;
  // How long a change waits for another process's lock, while that process does not change the
  // store, before the run goes on without writing.
  static constexpr std::chrono::milliseconds kLockWait{300};

 private:
  // From now on the store is only read; the reason goes to the trace, once.
  void StopWriting(const std::string& reason);

  std::string m_path;
  std::string m_header;
  bool m_readOnly = false;
};
