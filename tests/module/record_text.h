// Parsed records as one short line of text, so a table row states a whole record and a failed
// check shows it readably: "[29 86] k3 p0 @CutPaper stop" (bytes, kind, parameter, 'text',
// @function, event).
#pragma once

#include <string>
#include <utility>

#include "module/command_record.h"

namespace quillmere::testing {

[[nodiscard]] inline std::string RecordText(const CommandRecord& record) {
  std::string text = "[";
  for (const std::uint8_t byte : record.bytes) {
    text += (text.size() > 1 ? " " : "") + std::to_string(byte);
  }
  text += "] k" + std::to_string(record.kind) + " p" + std::to_string(record.parameter);
  if (record.text) {
    text += " '" + *record.text + "'";
  }
  if (record.function) {
    text += " @" + *record.function;
  }
  const char* const events[] = {"", " start", " stop", " void"};
  text += events[static_cast<int>(record.event) + 1];
  const auto textLength = record.text ? record.text->size() : 0U;
  if (std::cmp_not_equal(record.byteCount, record.bytes.size()) ||
      std::cmp_not_equal(record.textLength, textLength)) {
    text += " (counts disagree)";
  }
  return text;
}

}  // namespace quillmere::testing
