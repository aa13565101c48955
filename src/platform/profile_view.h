// ProfileView: the reads of one module file for the length of one operation (a Load, a
// catalogue entry, a derivation's base), on one version of the file: the store looks at the disk
// once, when the view is made, and every read through the view answers from that version. A
// file changed on disk is seen by the next operation, never halfway through one.
//
// The reads give what the store's reads on the same path give (profile_store.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere {

class ProfileView {
 public:
  virtual ~ProfileView() = default;

  // The key's value, or `defaultValue` when the file, the section or the key is absent; cut to
  // kProfileValueMax characters either way.
  [[nodiscard]] virtual std::string ReadString(std::string_view section, std::string_view key,
                                               std::string_view defaultValue) const = 0;

  // The key's value read as a decimal number, or `defaultValue` when absent or empty.
  [[nodiscard]] virtual std::int32_t ReadInt(std::string_view section, std::string_view key,
                                             std::int32_t defaultValue) const = 0;

  // The key names of the first section of that name, in file order (see ProfileStore).
  [[nodiscard]] virtual std::vector<std::string> ReadKeyNames(std::string_view section) const = 0;

  // Reads a list: the keys 1..count of `section` that the file holds (profile_rules::ListKey),
  // in key order, each once. Tells first how many there are, then gives each key with its value
  // as ReadString gives it (default empty); the value lasts until `onValue` returns. A count of
  // 0 or below names no key. The answer is the one ReadKeyNames and a ReadString per key give,
  // which is how this base class answers; a view over the file's bytes answers in one walk over
  // the section.
  using KeysPresent = std::function<void(std::size_t count)>;
  using ListValue = std::function<void(std::int32_t key, std::string_view value)>;
  virtual void ReadList(std::string_view section, std::int32_t count,
                        const KeysPresent& onKeysPresent, const ListValue& onValue) const;

 protected:
  ProfileView() = default;
  ProfileView(const ProfileView&) = default;
  ProfileView& operator=(const ProfileView&) = default;
  ProfileView(ProfileView&&) = default;
  ProfileView& operator=(ProfileView&&) = default;
};

}  // namespace quillmere
