#include "derive/stop_patchers.h"

#include <limits>

#include "derive/write_sequence.h"
#include "module/printer_command_module.h"
#include "platform/text.h"

namespace quillmere {
namespace {

constexpr std::uint8_t kFormFeed = 0x0C;
constexpr std::uint8_t kGroupSeparator = 0x1D;  // GS
constexpr std::uint8_t kLetterV = 0x56;

bool IsFormFeedCommand(const CommandRecord& record) {
  return record.byteCount == 1 && record.bytes.size() == 1 && record.bytes[0] == kFormFeed;
}

}  // namespace

bool IsCutPaperCommand(const CommandRecord& record) {
  return record.byteCount == 2 && record.bytes.size() == 2 && record.bytes[0] == kGroupSeparator &&
         record.bytes[1] == kLetterV;
}

const CommandRecord* FindFormFeedCommand(const PrinterCommandModule& module) {
  for (const CommandRecord& record : module.singleCommands) {
    if (IsFormFeedCommand(record)) {
      return &record;
    }
  }
  return nullptr;
}

std::optional<CutPaperCommand> FindCutPaperCommand(const PrinterCommandModule& module) {
  for (const MultiCommand& holder : module.multiCommands) {
    for (const CommandRecord& record : holder.records) {
      if (IsCutPaperCommand(record)) {
        return CutPaperCommand{&holder, &record};
      }
    }
  }
  return std::nullopt;
}

WriteStatus PatchFormFeed(const PrinterCommandModule& module, ProfileStore& store,
                          const std::string& targetPath, bool option) {
  const std::string_view value = option ? kFormFeedStopValue : kFormFeedPlainValue;
  if (const CommandRecord* found = FindFormFeedCommand(module)) {
    return store.WriteString(sections::kSingle, text::FormatDecimal(found->key), value, targetPath);
  }
  if (!option) {
    return WriteStatus::kOk;
  }
  // Appended after the file's own count, not after the records that loaded: a key that failed
  // to load still holds its line, and must not be overwritten.
  const std::int32_t count = ReadFileCount(store, keys::kSingleCount, targetPath);
  if (count == std::numeric_limits<std::int32_t>::max()) {
    return WriteStatus::kFailed;  // the next key could not be counted in S-Num
  }
  const std::string key = text::FormatDecimal(count + 1);
  WriteSequence writes(store, targetPath);
  writes.Write(sections::kSingle, key, value);
  writes.Write(sections::kMain, keys::kSingleCount, key);
  return writes.status();
}

WriteStatus PatchCutPaper(const PrinterCommandModule& module, ProfileStore& store,
                          const std::string& targetPath, bool option) {
  const std::optional<CutPaperCommand> found = FindCutPaperCommand(module);
  if (!found) {
    return WriteStatus::kOk;
  }
  return store.WriteString(found->holder->section, text::FormatDecimal(found->record->key),
                           option ? kCutPaperStopValue : kCutPaperPlainValue, targetPath);
}

}  // namespace quillmere
