// The rule tables of the 8-bit text helpers and of the profile rules on a document in memory.
#include <gtest/gtest.h>

#include <string>

#include "platform/ini_document.h"
#include "platform/text.h"
#include "support/golden.h"

namespace quillmere {
namespace {

// A call of the tables answered, as each table's first lines say.
std::string Answer(const testing::Words& call) {
  const std::string& verb = call.at(0);
  if (verb == "same") {
    return text::EqualsIgnoreCase(call.at(1), call.at(2)) ? "true" : "false";
  }
  if (verb == "first" || verb == "last") {
    const std::size_t at = verb == "first" ? text::FindChar(call.at(1), call.at(2).at(0))
                                           : text::FindLastChar(call.at(1), call.at(2).at(0));
    return at == std::string_view::npos ? "none" : std::to_string(at);
  }
  if (verb == "atoi") {
    return std::to_string(text::ParseLeadingDecimal(call.at(1)));
  }
  const IniDocument file(call.at(1));
  if (verb == "read") {
    return testing::Quoted(file.ReadString(call.at(2), call.at(3), call.at(4)));
  }
  if (verb == "int") {
    return std::to_string(file.ReadInt(call.at(2), call.at(3), std::stoi(call.at(4))));
  }
  if (verb == "keys") {
    std::string names;
    for (const std::string& name : file.ReadKeyNames(call.at(2))) {
      names += (names.empty() ? "" : " ") + testing::Quoted(name);
    }
    return names.empty() ? "none" : names;
  }
  std::string bytes = call.at(1);
  for (std::size_t at = 2; at + 2 < call.size(); at += 3) {
    const DocumentEdit edit = IniDocument(bytes).WithValue(call[at], call[at + 1], call[at + 2]);
    if (edit.status != WriteStatus::kOk) {
      return edit.status == WriteStatus::kRefused ? "refused" : "failed";
    }
    bytes = edit.bytes;
  }
  return testing::Quoted(bytes);
}

QUILLMERE_RULE_TABLES(RuleTable, "platform", Answer);

}  // namespace
}  // namespace quillmere
