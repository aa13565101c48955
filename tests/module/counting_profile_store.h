// A profile store that forwards to another and counts what it was asked, so a test can bound the
// work a load does by what the file holds rather than by a clock.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile_store.h"

namespace quillmere::testing {

class CountingProfileStore final : public ProfileStore {
 public:
  explicit CountingProfileStore(ProfileStore& inner) : inner_(inner) {}

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue, const std::string& path) override {
    ++stringReads;
    ++stringReadsBySection[std::string(section)];
    return inner_.ReadString(section, key, defaultValue, path);
  }
  std::int32_t ReadInt(std::string_view section, std::string_view key, std::int32_t defaultValue,
                       const std::string& path) override {
    ++intReads;
    return inner_.ReadInt(section, key, defaultValue, path);
  }
  WriteStatus WriteString(std::string_view section, std::string_view key, std::string_view value,
                          const std::string& path) override {
    ++writes;
    return inner_.WriteString(section, key, value, path);
  }
  std::vector<std::string> ReadKeyNames(std::string_view section,
                                        const std::string& path) override {
    ++keyListings;
    return inner_.ReadKeyNames(section, path);
  }

  int stringReads = 0;
  int intReads = 0;
  int writes = 0;
  int keyListings = 0;
  std::map<std::string, int, std::less<>> stringReadsBySection;

 private:
  ProfileStore& inner_;
};

}  // namespace quillmere::testing
