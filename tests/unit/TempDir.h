// A fresh folder under $TMPDIR for one test, removed with everything in it afterwards.
#pragma once

#include <glib.h>
#include <glib/gstdio.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

class TempDir {
 public:
  TempDir() {
    const std::unique_ptr<gchar, decltype(&g_free)> dir(g_dir_make_tmp("folioscope-test-XXXXXX", nullptr), g_free);
    m_path = dir.get();
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return m_path; }
  std::string operator/(const std::string& name) const { return m_path + "/" + name; }

  static void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }

 private:
  std::string m_path;
};
