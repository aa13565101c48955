#include "support/host_platform.h"

#ifdef _WIN32
#include <vector>

#include "platform/windows_api.h"
#endif

namespace quillmere::testing {

#ifdef _WIN32
namespace {

// The names the profile functions list: separated by NULs, an empty name ending the list.
std::vector<std::string> Names(const char* section, const std::string& path) {
  std::vector<char> buffer(1 << 16);
  const DWORD length = GetPrivateProfileStringA(section, nullptr, "", buffer.data(),
                                                static_cast<DWORD>(buffer.size()), path.c_str());
  std::vector<std::string> names;
  for (std::size_t start = 0; start < length && buffer[start] != '\0';) {
    names.emplace_back(buffer.data() + start);
    start += names.back().size() + 1;
  }
  return names;
}

}  // namespace

bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string KeysAsRead(const std::string& path) {
  std::string keys;
  for (const std::string& section : Names(nullptr, path)) {
    for (const std::string& key : Names(section.c_str(), path)) {
      std::vector<char> value(4096);
      GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value.data(),
                               static_cast<DWORD>(value.size()), path.c_str());
      keys += "[" + section + "] " + key + "=" + value.data() + "\n";
    }
  }
  return keys;
}
#else
bool RunningUnderWine() {
  return false;
}

std::string KeysAsRead(const std::string& /*path*/) {
  return {};
}
#endif

}  // namespace quillmere::testing
