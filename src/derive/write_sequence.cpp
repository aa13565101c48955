#include "derive/write_sequence.h"

#include "module/printer_command_module.h"
#include "platform/text.h"

namespace quillmere {

void WriteSequence::Write(std::string_view section, std::string_view key, std::string_view value) {
  Then([&] { return store_.WriteString(section, key, value, path_); });
}

void WriteSequence::Write(std::string_view section, std::int32_t key, std::string_view value) {
  Write(section, text::FormatDecimal(key), value);
}

std::int32_t ReadFileCount(ProfileStore& store, std::string_view key, const std::string& path) {
  const std::int32_t count = store.ReadInt(sections::kMain, key, 0, path);
  return count < 0 ? 0 : count;
}

}  // namespace quillmere
