// Which process made something: its ID together with its start time. An ID alone is given to
// another process once the first has ended; the pair names one process for as long as the
// machine runs. Derivations name their staging files with it, so that a file left by a process
// that was killed outright can be told from one that a running derivation still writes.
#pragma once

#include <cstdint>

namespace quillmere {

struct ProcessIdentity {
  std::uint64_t id = 0;
  // In the system's own unit: clock ticks since boot on Linux, 100 ns steps since 1601 on Windows.
  std::uint64_t startTime = 0;
  friend bool operator==(const ProcessIdentity&, const ProcessIdentity&) = default;
};

// The identity of the running process.
[[nodiscard]] ProcessIdentity ThisProcess();

// False only when no process runs under `process.id`, or the one that does started at another
// time: a process that exists but cannot be looked at counts as running.
[[nodiscard]] bool IsRunning(const ProcessIdentity& process);

}  // namespace quillmere
