// The interrupt cleanup on POSIX systems. The handler may run between any two instructions of
// the program, so it does only what is async-signal-safe: it reads a path kept in a fixed
// buffer, unlinks it, and raises the signal again under its default action.
#include <unistd.h>

#include <array>
#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>

#include "platform/interrupt_cleanup.h"

namespace quillmere {
namespace {

constexpr std::array kInterrupts{SIGINT, SIGTERM, SIGHUP};

// The path to remove, valid while `armed` is set; written only while it is clear.
std::array<char, PATH_MAX> removalPath{};
volatile std::sig_atomic_t armed = 0;

extern "C" void RemoveAndReraise(int signal) {
  if (armed != 0) {
    ::unlink(removalPath.data());
  }
  // SA_RESETHAND gave the signal its default action back; it is blocked until this returns,
  // and then ends the process as it would have.
  ::raise(signal);
}

void InstallHandlersOnce() {
  static const bool installed = [] {
    for (const int signal : kInterrupts) {
      struct sigaction current {};
      if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) {
        continue;
      }
      struct sigaction handler {};
      handler.sa_handler = RemoveAndReraise;
      handler.sa_flags = static_cast<int>(SA_RESETHAND);
      sigemptyset(&handler.sa_mask);
      ::sigaction(signal, &handler, nullptr);
    }
    return true;
  }();
  (void)installed;
}

}  // namespace

RemovedOnInterrupt::RemovedOnInterrupt(const std::string& path) {
  InstallHandlersOnce();
  if (path.size() >= removalPath.size()) {
    return;  // no file this tool makes has such a path
  }
  armed = 0;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  std::memcpy(removalPath.data(), path.c_str(), path.size() + 1);
  std::atomic_signal_fence(std::memory_order_seq_cst);
  armed = 1;
}

RemovedOnInterrupt::~RemovedOnInterrupt() {
  armed = 0;
}

}  // namespace quillmere
