// The rule tables of the 8-bit text helpers and of the profile rules on a document in memory; a
// lone read decides from a file's start as the whole file does, or not at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/ini_document.h"
#include "platform/text.h"
#include "support/golden.h"

namespace quillmere {
namespace {

namespace fs = std::filesystem;

// Every module file the project holds: the samples and the golden cases' files.
std::vector<std::string> ModuleFiles() {
  std::vector<std::string> bytes;
  for (const fs::path& root : {fs::path(QUILLMERE_SAMPLE_MODULES), fs::path(QUILLMERE_TEST_DATA)}) {
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
      if (entry.path().extension() == ".ini") {
        std::ifstream file(entry.path(), std::ios::binary);
        bytes.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
      }
    }
  }
  return bytes;
}

// Every prefix of `bytes` gives the whole file's answer or none; the whole file gives it.
void ExpectStartAgrees(std::string_view bytes, std::string_view section, std::string_view key,
                       std::string_view defaultValue) {
  const std::string whole = IniDocument(std::string(bytes)).ReadString(section, key, defaultValue);
  for (std::size_t length = 0; length <= bytes.size(); ++length) {
    const std::optional<std::string> answer =
        IniDocument::ReadStringFromStart(bytes.substr(0, length), section, key, defaultValue);
    ASSERT_EQ(answer.value_or(whole), whole) << "from the first " << length << " bytes";
  }
}

TEST(ReadStringFromStart, DecidesModuleNameAsTheWholeFileDoes) {
  for (const std::string& module : ModuleFiles()) {
    ExpectStartAgrees(module, "Main", "Module_Name", "");
    // A module goes on after [Main], so its whole bytes decide it.
    if (module.find("\n[", module.find("[Main]") + 1) != std::string::npos) {
      EXPECT_TRUE(IniDocument::ReadStringFromStart(module, "Main", "Module_Name", "").has_value())
          << module;
    }
  }
}

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
    ExpectStartAgrees(call.at(1), call.at(2), call.at(3), call.at(4));
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
