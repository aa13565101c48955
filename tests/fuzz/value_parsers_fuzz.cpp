// The value parsers fed every line of any bytes, whole and from after its first "=" (as a module
// file's line gives its value), each as every value form. A record's fields agree, a tag clears its
// flag only when its record parses, and a record or entry written back in plain form (decimal byte
// tokens, every optional token given) parses the same; a kind-3 record binds the function it names,
// and only kind 3 depends on the module library. How tokens, byte tokens and library settings read
// is held by the value tables of tests/data/module/values.
#include <algorithm>
#include <utility>

#include "fuzz/fuzz_target.h"
#include "module/value_parsers.h"

namespace quillmere {
namespace {

using fuzzing::Require;

std::string ByteToken(std::uint8_t byte) {
  return std::to_string(1000 + byte).substr(1);  // three digits: never a control name
}

// The record as the writers would write it, or why it failed.
std::string PlainForm(const Parsed<CommandRecord>& parsed) {
  const auto* record = std::get_if<CommandRecord>(&parsed);
  if (record == nullptr) {
    return "! " + DescribeParseError(std::get<ParseError>(parsed));
  }
  Require(std::cmp_equal(record->byteCount, record->bytes.size()) &&
              std::cmp_equal(record->textLength, record->text.value_or("").size()) &&
              (record->kind == 1 || record->parameter == 0) &&
              (record->kind == 3) == record->function.has_value() &&
              record->text.value_or("").find(',') == std::string::npos &&
              record->function.value_or("").find(',') == std::string::npos,
          "a record's fields agree, its text and function one token each");
  std::string plain = std::to_string(record->byteCount);
  for (const std::uint8_t byte : record->bytes) {
    plain += "," + ByteToken(byte);
  }
  plain += "," + std::to_string(record->kind);
  if (record->kind != 2) {
    plain += "," + (record->function ? std::string(*record->function)
                                     : std::to_string(record->parameter));
  }
  constexpr const char* kTags[] = {"", "TRAN_START", "TRAN_STOP", "TRAN_VOID"};
  return plain + (record->text ? ",1," + std::string(*record->text) : ",0") + "," +
         kTags[static_cast<int>(record->event) + 1];
}

// The command record of `value`, checking that its tag clears no flag but its own.
Parsed<CommandRecord> CommandRecordOf(std::string_view value, const LibraryBinding& binding) {
  TagFlags flags;
  Parsed<CommandRecord> parsed = ParseCommandValue(value, binding, flags);
  const auto* record = std::get_if<CommandRecord>(&parsed);
  const auto event = record ? record->event : TransactionEvent::kNone;
  Require(flags.noStartTag == (event != TransactionEvent::kStart) &&
              flags.noStopTag == (event != TransactionEvent::kStop),
          "a tag clears its flag when its record parses");
  return parsed;
}

void CheckValue(std::string_view value) {
  const fuzzing::EveryNameLibrary library;
  const Parsed<CommandRecord> bound = CommandRecordOf(value, {true, &library});
  const Parsed<CommandRecord> unbound = CommandRecordOf(value, {});
  const auto* record = std::get_if<CommandRecord>(&bound);
  Require(record && record->kind == 3
              ? std::get<ParseError>(unbound).failure == ParseFailure::kNoLibrary
              : PlainForm(unbound) == PlainForm(bound),
          "only a kind-3 record depends on the module library");
  Require(
      !record || PlainForm(CommandRecordOf(PlainForm(bound), {true, &library})) == PlainForm(bound),
      "a command record reads back from its plain form");

  const Parsed<CommandRecord> changeLine = ParseChangeLineValue(value);
  const auto* line = std::get_if<CommandRecord>(&changeLine);
  Require(!line || (line->kind == 0 && line->event == TransactionEvent::kNone && !line->text),
          "a change-line record is bytes only");
  Require(!line || PlainForm(ParseChangeLineValue(PlainForm(changeLine))) == PlainForm(changeLine),
          "a change-line record reads back from its plain form");

  const Parsed<MultiCommandEntry> parsed = ParseMultiCommandValue(value);
  if (const auto* entry = std::get_if<MultiCommandEntry>(&parsed)) {
    const std::string plain =
        entry->section + "," + ByteToken(entry->trigger) + "," + std::to_string(entry->count);
    const Parsed<MultiCommandEntry> reparsed = ParseMultiCommandValue(plain);
    const auto* again = std::get_if<MultiCommandEntry>(&reparsed);
    Require(again && again->section == entry->section && again->trigger == entry->trigger &&
                again->count == entry->count,
            "a multi-command entry reads back from its plain form");
  }
}

}  // namespace
}  // namespace quillmere

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = quillmere::fuzzing::Text(data, size);
  for (std::size_t at = 0; at <= text.size();) {
    const std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
    const std::string_view line = text.substr(at, end - at);
    quillmere::CheckValue(line);
    quillmere::CheckValue(line.substr(line.find('=') + 1));
    at = end + 1;
  }
  return 0;
}
