// Runs a test's body in a child process: as the unprivileged user "nobody" when the tests run as
// root, so that permissions apply, or in mount namespaces of its own.
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "TempDir.h"

// Runs body in a child process and returns what it returned, so that whatever body changes in its
// process (user, mounts, namespaces) stays out of the test process.
inline std::string InChildProcess(const std::function<std::string()>& body) {
  int fds[2];
  if (pipe(fds) != 0) return "no pipe";
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    std::string result = body();
    ssize_t written = write(fds[1], result.data(), result.size());
    _exit(written == ssize_t(result.size()) ? 0 : 1);
  }
  close(fds[1]);
  std::string result;
  char buffer[4096];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) result.append(buffer, size_t(n));
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return result;
}

// Runs body in a child process as "nobody" (dir and everything in it given to that user first)
// when this process is root, else directly; returns what body returned.
inline std::string AsOrdinaryUser(const TempDir& dir, const std::function<std::string()>& body) {
  if (geteuid() != 0) return body();
  for (const auto& item : std::filesystem::recursive_directory_iterator(dir.Path()))
    if (lchown(item.path().c_str(), 65534, 65534) != 0) return "cannot give " + item.path().string() + " away";
  if (chown(dir.Path().c_str(), 65534, 65534) != 0) return "cannot give the folder away";
  return InChildProcess([&] {
    return setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0 ? body()
                                                                                  : "could not drop privileges";
  });
}
