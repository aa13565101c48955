// ProfileStore: the one way module files are read and written, key by key, with the results the
// Windows profile-file functions give (GetPrivateProfileStringA, GetPrivateProfileIntA,
// WritePrivateProfileStringA). Every call names the file by its full path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile_view.h"

namespace quillmere {

class FileSystem;

// Values are read through a 260-character buffer: at most 259 characters come back.
inline constexpr std::size_t kProfileBufferSize = 260;
inline constexpr std::size_t kProfileValueMax = kProfileBufferSize - 1;

enum class WriteStatus {
  kOk,
  kRefused,  // the value (or a name) holds a line break, which would break the file apart
  kFailed,   // the file could not be read or replaced; it is left as it was
};

class ProfileStore {
 public:
  virtual ~ProfileStore() = default;
  ProfileStore() = default;
  ProfileStore(const ProfileStore&) = delete;
  ProfileStore& operator=(const ProfileStore&) = delete;

  // The key's value, or `defaultValue` when the file, the section or the key is absent; cut to
  // kProfileValueMax characters either way.
  [[nodiscard]] virtual std::string ReadString(std::string_view section, std::string_view key,
                                               std::string_view defaultValue,
                                               const std::string& path) = 0;

  // The key's value read as a decimal number, or `defaultValue` when absent or empty.
  [[nodiscard]] virtual std::int32_t ReadInt(std::string_view section, std::string_view key,
                                             std::int32_t defaultValue,
                                             const std::string& path) = 0;

  // Replaces the key's line, or adds the key (and its section); every other byte of the file
  // stays as it was. A missing file is created. The file is replaced as a whole or not at all.
  [[nodiscard]] virtual WriteStatus WriteString(std::string_view section, std::string_view key,
                                                std::string_view value,
                                                const std::string& path) = 0;

  // The names of the keys that the first section of that name holds, in file order, as a key
  // enumeration of the Windows functions lists them (comments and lines without "=" left out).
  // Lets a reader visit only the keys that exist when a count in the file is untrusted.
  [[nodiscard]] virtual std::vector<std::string> ReadKeyNames(std::string_view section,
                                                              const std::string& path) = 0;

  // A view of the file for one whole operation (profile_view.h): a Load, a scan or a derivation
  // asks for it once and reads through it. This base class gives a view that passes every read
  // on to the store, as the Windows functions are called once per read; a store that parses the
  // file itself gives the version it checked against the disk now, read once.
  [[nodiscard]] virtual std::shared_ptr<const ProfileView> View(const std::string& path);
};

// The backend of this platform: the portable one everywhere but Windows, where the Windows
// functions themselves are called. `files` must outlive the store.
[[nodiscard]] std::unique_ptr<ProfileStore> MakeProfileStore(FileSystem& files);

}  // namespace quillmere
