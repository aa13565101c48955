#include "platform/windows_profile_store.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile_rules.h"
#include "platform/windows_api.h"

namespace quillmere {
namespace {

// A key enumeration larger than this is cut here rather than grown without end.
constexpr std::size_t kLargestKeyList = std::size_t{1} << 26;

// The text up to the first NUL: what the caller of the Windows function sees in its buffer.
std::string TextUpToNul(const char* buffer, DWORD copied) {
  const std::string_view text(buffer, copied);
  return std::string(text.substr(0, text.find('\0')));
}

class WindowsProfileStore final : public ProfileStore {
 public:
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue, const std::string& path) override {
    const std::string sectionName(section);
    const std::string keyName(key);
    const std::string fallback(defaultValue);
    std::array<char, kProfileBufferSize> buffer{};
    const DWORD copied =
        GetPrivateProfileStringA(sectionName.c_str(), keyName.c_str(), fallback.c_str(),
                                 buffer.data(), static_cast<DWORD>(buffer.size()), path.c_str());
    return TextUpToNul(buffer.data(), copied);
  }

  std::int32_t ReadInt(std::string_view section, std::string_view key, std::int32_t defaultValue,
                       const std::string& path) override {
    const std::string sectionName(section);
    const std::string keyName(key);
    return static_cast<std::int32_t>(
        GetPrivateProfileIntA(sectionName.c_str(), keyName.c_str(), defaultValue, path.c_str()));
  }

  WriteStatus WriteString(std::string_view section, std::string_view key, std::string_view value,
                          const std::string& path) override {
    // Windows writes a line break in a value as it is, which splits the file's lines apart; the
    // same arguments are refused here as by the portable store.
    if (!profile_rules::IsWritable(section, key, value)) {
      return WriteStatus::kRefused;
    }
    const std::string sectionName(section);
    const std::string keyName(key);
    const std::string text(value);
    return WritePrivateProfileStringA(sectionName.c_str(), keyName.c_str(), text.c_str(),
                                      path.c_str()) != FALSE
               ? WriteStatus::kOk
               : WriteStatus::kFailed;
  }

  std::vector<std::string> ReadKeyNames(std::string_view section,
                                        const std::string& path) override {
    const std::string sectionName(section);
    std::vector<char> buffer(4096);
    DWORD copied = 0;
    for (;;) {
      copied = GetPrivateProfileStringA(sectionName.c_str(), nullptr, "", buffer.data(),
                                        static_cast<DWORD>(buffer.size()), path.c_str());
      // A list that did not fit comes back cut, with the size less two.
      if (copied + 2 < buffer.size() || buffer.size() >= kLargestKeyList) {
        break;
      }
      buffer.resize(buffer.size() * 2);
    }
    // Names separated by NULs; an empty name ends the list.
    std::vector<std::string> names;
    const std::string_view list(buffer.data(), copied);
    std::size_t position = 0;
    while (position < list.size()) {
      const std::size_t end = std::min(list.find('\0', position), list.size());
      if (end == position) {
        break;
      }
      names.emplace_back(list.substr(position, end - position));
      position = end + 1;
    }
    return names;
  }
};

}  // namespace

std::unique_ptr<ProfileStore> MakeWindowsProfileStore() {
  return std::make_unique<WindowsProfileStore>();
}

}  // namespace quillmere
