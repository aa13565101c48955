// Process identities on Linux: the start time is field 22 of /proc/<id>/stat, in clock ticks
// since boot.
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <string>

#include "platform/process_identity.h"

namespace quillmere {
namespace {

// The start time of the process `id`; none when /proc does not show it.
std::optional<std::uint64_t> StartTimeOf(std::uint64_t id) {
  std::ifstream stat("/proc/" + std::to_string(id) + "/stat");
  const std::string line((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  // The command name (field 2) stands in parentheses and may hold blanks and ')' itself; the
  // fields after the last ')' start with field 3, so the start time is the 20th of them.
  const std::size_t nameEnd = line.rfind(')');
  if (nameEnd == std::string::npos) {
    return std::nullopt;
  }
  std::size_t at = nameEnd + 1;
  for (int field = 3; field < 22; ++field) {
    at = line.find(' ', at + 1);
    if (at == std::string::npos) {
      return std::nullopt;
    }
  }
  std::uint64_t startTime = 0;
  const char* first = line.data() + at + 1;
  const auto [end, error] = std::from_chars(first, line.data() + line.size(), startTime);
  if (error != std::errc() || end == first) {
    return std::nullopt;
  }
  return startTime;
}

}  // namespace

ProcessIdentity ThisProcess() {
  const auto id = static_cast<std::uint64_t>(::getpid());
  return {id, StartTimeOf(id).value_or(0)};
}

bool IsRunning(const ProcessIdentity& process) {
  if (const std::optional<std::uint64_t> startTime = StartTimeOf(process.id)) {
    return *startTime == process.startTime;
  }
  // No process has an ID that a pid_t cannot hold, nor 0; kill() would read such an ID as a
  // process group or as every process.
  if (process.id == 0 ||
      process.id > static_cast<std::uint64_t>(std::numeric_limits<pid_t>::max())) {
    return false;
  }
  // Not shown in /proc (mounted to hide others' processes, say): ask the kernel whether the ID
  // is taken; EPERM means it is, by a process of another user.
  return ::kill(static_cast<pid_t>(process.id), 0) == 0 || errno == EPERM;
}

}  // namespace quillmere
