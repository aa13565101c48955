#include "support/host_platform.h"

#include <algorithm>

#ifdef _WIN32
#include "platform/windows_api.h"
#endif

namespace quillmere::testing {

bool RunningUnderWine() {
#ifdef _WIN32
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
  return false;
#endif
}

std::string AsSavedByProfileWrites(std::string_view text) {
  if (!RunningUnderWine()) {
    return std::string(text);
  }
  std::string saved;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size() - 1) + 1;
    const std::string_view line = text.substr(start, end - start);
    if (line != "\r\n" && line != "\n") {
      saved += line;
    }
    start = end;
  }
  return saved;
}

}  // namespace quillmere::testing
