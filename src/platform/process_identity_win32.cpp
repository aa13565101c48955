// Process identities on Windows: the start time is the process's creation time.
#include <cstdint>

#include "platform/process_identity.h"
#include "platform/windows_api.h"

namespace quillmere {
namespace {

std::uint64_t CreationTimeOf(HANDLE process) {
  FILETIME created{};
  FILETIME exited{};
  FILETIME kernel{};
  FILETIME user{};
  if (GetProcessTimes(process, &created, &exited, &kernel, &user) == FALSE) {
    return 0;
  }
  return (std::uint64_t{created.dwHighDateTime} << 32U) | created.dwLowDateTime;
}

}  // namespace

ProcessIdentity ThisProcess() {
  return {GetCurrentProcessId(), CreationTimeOf(GetCurrentProcess())};
}

bool IsRunning(const ProcessIdentity& process) {
  const HANDLE handle =
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(process.id));
  if (handle == nullptr) {
    // No such process gives ERROR_INVALID_PARAMETER; any other refusal means one runs.
    return GetLastError() != ERROR_INVALID_PARAMETER;
  }
  DWORD exitCode = 0;
  // A process that ended stays known while someone holds a handle to it.
  const bool running = GetExitCodeProcess(handle, &exitCode) != FALSE && exitCode == STILL_ACTIVE &&
                       CreationTimeOf(handle) == process.startTime;
  CloseHandle(handle);
  return running;
}

}  // namespace quillmere
