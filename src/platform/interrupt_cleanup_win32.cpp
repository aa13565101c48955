// The interrupt cleanup on Windows: a console control handler, which Windows runs on a thread of
// its own. The staging file is written shared for deletion (file_system_win32.cpp), so removing
// it here succeeds while it is open; it goes when the process's handle to it closes.
#include <array>
#include <atomic>
#include <cstring>

#include "platform/interrupt_cleanup.h"
#include "platform/windows_api.h"

namespace quillmere {
namespace {

std::array<char, MAX_PATH> removalPath{};
std::atomic<bool> armed{false};

BOOL WINAPI RemoveOnControl(DWORD /*event*/) {
  if (armed.load()) {
    DeleteFileA(removalPath.data());
  }
  return FALSE;  // the next handler, at last the default one, ends the process
}

}  // namespace

RemovedOnInterrupt::RemovedOnInterrupt(const std::string& path) {
  static const bool installed = SetConsoleCtrlHandler(RemoveOnControl, TRUE) != FALSE;
  (void)installed;
  if (path.size() >= removalPath.size()) {
    return;
  }
  armed.store(false);
  std::memcpy(removalPath.data(), path.c_str(), path.size() + 1);
  armed.store(true);
}

RemovedOnInterrupt::~RemovedOnInterrupt() {
  armed.store(false);
}

}  // namespace quillmere
