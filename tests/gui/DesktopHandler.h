// A desktop handler, installed for the test's user, that records what it is given: mailto:
// addresses and ZIP archives.
#pragma once

#include <glib.h>
#include <sys/stat.h>

#include <string>

#include "../unit/TempDir.h"

class DesktopHandler {
 public:
  DesktopHandler() {
    const std::string apps = std::string(g_get_user_data_dir()) + "/applications";
    g_mkdir_with_parents(apps.c_str(), 0700);
    TempDir::Write(m_dir / "catch", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + m_caught + "'\n");
    chmod((m_dir / "catch").c_str(), 0700);
    TempDir::Write(apps + "/folioscope-catcher.desktop",
                   "[Desktop Entry]\nType=Application\nName=Catcher\nExec='" + (m_dir / "catch") +
                       "' %u\nMimeType=x-scheme-handler/mailto;application/zip;\n");
    TempDir::Write(std::string(g_get_user_config_dir()) + "/mimeapps.list",
                   "[Default Applications]\nx-scheme-handler/mailto=folioscope-catcher.desktop\n"
                   "application/zip=folioscope-catcher.desktop\n");
  }
  std::string Caught() const { return TempDir::Read(m_caught); }

 private:
  TempDir m_dir;
  std::string m_caught = m_dir / "caught";
};
