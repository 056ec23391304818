// Tells page processes which local files are FIFOs, devices or sockets. In the engine's page sandbox
// a page process sees none of the user's files, so its module (SubresourceGuard) cannot tell a FIFO
// in the folder shown from a page; it asks here, over a Unix socket in a private folder that is the
// only thing of this process's made reachable to the sandbox. The answers come from a thread of
// their own, so that a busy window never holds up a page.
#pragma once

#include <string>

class SpecialFileService {
 public:
  // Starts answering, once per process, after removing the folders of earlier runs that were killed.
  // The socket's path, or "" when it could not start.
  static const std::string& SocketPath();
  // The private folder holding the socket ("" when there is none); it is removed at exit.
  static std::string Folder();
};
