#include "derive/keyword_triggers.h"

#include <array>
#include <cstdio>
#include <limits>

#include "derive/stop_patchers.h"
#include "derive/write_sequence.h"
#include "module/printer_command_module.h"
#include "platform/text.h"

namespace quillmere {
namespace {

constexpr std::uint8_t kComma = 44;

// One byte as a token that reads back as that byte: the comma, which would split the value,
// takes the decimal form as the bytes that are no printable characters do.
std::string EncodeByteToken(std::uint8_t byte) {
  if (byte < 32 || byte > 126 || byte == kComma) {
    std::array<char, 8> digits{};
    std::snprintf(digits.data(), digits.size(), "%.3d", static_cast<int>(byte));
    return digits.data();
  }
  return {static_cast<char>(byte)};
}

std::string KeywordRecord(std::string_view keyword, std::string_view tag) {
  std::string record = text::FormatDecimal(static_cast<std::int64_t>(keyword.size()));
  record += ',';
  for (const char c : keyword) {
    record += EncodeByteToken(static_cast<std::uint8_t>(c));
    record += ',';
  }
  record += "1,0,0,";
  record += tag;
  return record;
}

std::string TriggerEntry(std::string_view section, std::string_view keyword, int count) {
  std::string entry(section);
  entry += ',';
  entry += EncodeByteToken(static_cast<std::uint8_t>(keyword.front()));
  entry += ',';
  entry += text::FormatDecimal(count);
  return entry;
}

std::string VoidKeywordRecord(std::string_view keyword) {
  return KeywordRecord(keyword, "TRAN_VOID");
}

std::string StopKeywordRecord(std::string_view keyword) {
  return KeywordRecord(keyword, "TRAN_STOP");
}

}  // namespace

std::optional<std::string> KeywordRecordOverflow(std::string_view voidKeyword,
                                                 std::string_view stopKeyword) {
  const auto overflow = [](std::string_view which, std::string_view length) {
    return "the " + std::string(which) + " keyword's record would be " + std::string(length) +
           " characters long; a module file value holds at most " +
           std::to_string(kProfileValueMax);
  };
  const struct {
    std::string_view which;
    std::string_view keyword;
    std::string (*record)(std::string_view);
  } keywords[] = {{"Void", voidKeyword, VoidKeywordRecord},
                  {"Stop", stopKeyword, StopKeywordRecord}};
  for (const auto& [which, keyword, record] : keywords) {
    // Each keyword byte takes at least two characters, so a keyword this long cannot fit; the
    // bound keeps the check from building huge strings.
    if (keyword.size() > kProfileValueMax) {
      return overflow(which, "at least " + std::to_string(2 * keyword.size()));
    }
    if (const std::size_t length = keyword.empty() ? 0 : record(keyword).size();
        length > kProfileValueMax) {
      return overflow(which, std::to_string(length));
    }
  }
  return std::nullopt;
}

TriggerHolders FindTriggerHolders(const PrinterCommandModule& module, std::int32_t multiCount) {
  TriggerHolders holders;
  for (const MultiCommand& multi : module.multiCommands) {
    for (const CommandRecord& record : multi.records) {
      if (record.event == TransactionEvent::kVoid) {
        holders.voidHolder = multi.key;
      } else if (record.event == TransactionEvent::kStop && !IsCutPaperCommand(record)) {
        holders.stopHolder = multi.key;
      }
    }
  }
  const auto isLast = [&](const std::optional<std::int32_t>& key) {
    return key && *key == multiCount;
  };
  const auto isBeforeLast = [&](const std::optional<std::int32_t>& key) {
    return key && *key == multiCount - 1;
  };
  holders.voidAtEnd = isLast(holders.voidHolder) ||
                      (isBeforeLast(holders.voidHolder) && isLast(holders.stopHolder));
  holders.stopAtEnd = isLast(holders.stopHolder) ||
                      (isBeforeLast(holders.stopHolder) && isLast(holders.voidHolder));
  holders.keptCount = multiCount;
  if (holders.voidAtEnd && holders.stopAtEnd && holders.voidHolder == holders.stopHolder) {
    holders.keptCount -= 1;
  } else {
    holders.keptCount -= (holders.voidAtEnd ? 1 : 0) + (holders.stopAtEnd ? 1 : 0);
  }
  return holders;
}

WriteStatus WriteKeywordTriggers(const PrinterCommandModule& module, ProfileStore& store,
                                 const std::string& targetPath, std::string_view voidKeyword,
                                 std::string_view stopKeyword) {
  // Counted from the file's M-Num, not from the entries that loaded: an entry that failed to
  // load still holds its key.
  const std::int32_t multiCount = ReadFileCount(store, keys::kMultiCount, targetPath);
  const std::int32_t kept = FindTriggerHolders(module, multiCount).keptCount;
  const bool hasVoid = !voidKeyword.empty();
  const bool hasStop = !stopKeyword.empty();
  if (kept > std::numeric_limits<std::int32_t>::max() - 2) {
    return WriteStatus::kFailed;  // the new entries could not be counted in M-Num
  }

  WriteSequence writes(store, targetPath);
  std::int32_t newCount = kept;
  if (hasVoid && hasStop && voidKeyword.front() == stopKeyword.front()) {
    writes.Write(sections::kMulti, kept + 1, TriggerEntry(sections::kTextVoid, voidKeyword, 2));
    writes.Write(sections::kTextVoid, "1", VoidKeywordRecord(voidKeyword));
    writes.Write(sections::kTextVoid, "2", StopKeywordRecord(stopKeyword));
    newCount = kept + 1;
  } else if (hasVoid && hasStop) {
    writes.Write(sections::kMulti, kept + 1, TriggerEntry(sections::kTextVoid, voidKeyword, 1));
    writes.Write(sections::kMulti, kept + 2, TriggerEntry(sections::kTextStop, stopKeyword, 1));
    writes.Write(sections::kTextVoid, "1", VoidKeywordRecord(voidKeyword));
    writes.Write(sections::kTextStop, "1", StopKeywordRecord(stopKeyword));
    newCount = kept + 2;
  } else if (hasVoid) {
    writes.Write(sections::kMulti, kept + 1, TriggerEntry(sections::kTextVoid, voidKeyword, 1));
    writes.Write(sections::kTextVoid, "1", VoidKeywordRecord(voidKeyword));
    newCount = kept + 1;
  } else if (hasStop) {
    writes.Write(sections::kMulti, kept + 1, TriggerEntry(sections::kTextStop, stopKeyword, 1));
    writes.Write(sections::kTextStop, "1", StopKeywordRecord(stopKeyword));
    newCount = kept + 1;
  }
  writes.Write(sections::kMain, keys::kMultiCount, text::FormatDecimal(newCount));
  return writes.status();
}

}  // namespace quillmere
