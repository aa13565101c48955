// A file the process is making that must not outlive an interrupt: while a RemovedOnInterrupt
// lives, the file at its path is removed if the process is ended by SIGINT, SIGTERM or SIGHUP
// (Ctrl+C, `kill`, a closed terminal), or on Windows by Ctrl+C, Ctrl+Break, the console window
// closing, log-off or shut-down. The process then ends as it would have without it. A signal
// whose handling someone else chose (ignored, say) is left so.
//
// One file at a time: the staging file of the one derivation that runs. A process killed
// outright (SIGKILL, a crash) cannot remove it; its name says whose it is (process_identity.h).
#pragma once

#include <string>

namespace quillmere {

class RemovedOnInterrupt {
 public:
  explicit RemovedOnInterrupt(const std::string& path);
  ~RemovedOnInterrupt();
  RemovedOnInterrupt(const RemovedOnInterrupt&) = delete;
  RemovedOnInterrupt& operator=(const RemovedOnInterrupt&) = delete;
};

}  // namespace quillmere
