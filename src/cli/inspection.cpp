#include "cli/inspection.h"

#include "derive/write_sequence.h"
#include "platform/profile_rules.h"
#include "platform/profile_store.h"

namespace quillmere::cli {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

Inspection Inspect(const PrinterCommandModule& module, const std::string& path,
                   std::string_view fileBytes, ProfileStore& store) {
  const auto count = [&](std::string_view key) {
    return store.ReadInt(sections::kMain, key, 0, path);
  };
  return {
      module,
      count(keys::kChangeLineCount),
      count(keys::kSingleCount),
      count(keys::kMultiCount),
      FindFormFeedCommand(module),
      FindCutPaperCommand(module),
      // Counted as the trigger writer counts, from the file's M-Num.
      FindTriggerHolders(module, ReadFileCount(store, keys::kMultiCount, path)),
      fileBytes.starts_with(kUtf8ByteOrderMark),
      profile_rules::IsUtf16Text(fileBytes),
  };
}

std::string_view EventName(TransactionEvent event) {
  switch (event) {
    case TransactionEvent::kStart:
      return "Start";
    case TransactionEvent::kStop:
      return "Stop";
    case TransactionEvent::kVoid:
      return "Void";
    case TransactionEvent::kNone:
      break;
  }
  return "None";
}

}  // namespace quillmere::cli
