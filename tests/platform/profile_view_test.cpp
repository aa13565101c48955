// What answers a read without the whole file, or without the disk, answers as the whole file
// does: a view reads one version of the file for a whole operation; a lone read decides from a
// file's start, or not at all; the in-memory store writes what the document rules write. The rules
// are the document's (ini_document_test) and their tables'; that a list walk answers as a
// key-by-key read is held by the profile document's fuzz target.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/ini_document.h"
#include "platform/memory_profile_store.h"
#include "platform/portable_profile_store.h"
#include "support/faulty_file_system.h"
#include "support/golden.h"
#include "support/temp_folder.h"

namespace quillmere {
namespace {

namespace fs = std::filesystem;
using Operation = testing::FaultyFileSystem::Operation;

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

TEST(ProfileView, ReadsTheVersionItStartedWithOnce) {
  const testing::TempFolder folder;
  testing::FaultyFileSystem files;
  const auto store = MakePortableProfileStore(files);
  std::string bytes = "[Main]\r\nModule_Name=A\r\nC-Num=300\r\n[ChangeLine-Command]\r\n";
  for (int key = 1; key <= 300; ++key) {
    bytes += std::to_string(key) + "=1," + std::to_string(key) + "\r\n";
  }
  // Just written: its stamp may hide a change, so each operation compares it with the disk.
  const std::string path = folder.Write("m.ini", bytes);
  const auto view = store->View(path);
  for (int key = 1; key <= 300; ++key) {
    ASSERT_EQ(view->ReadString("ChangeLine-Command", std::to_string(key), ""),
              "1," + std::to_string(key));
  }
  EXPECT_EQ(files.Calls(Operation::kRead), 1);
  bytes.replace(bytes.find("=A"), 2, "=B");  // in place, same size, same tick
  folder.Write("m.ini", bytes);
  EXPECT_EQ(view->ReadString("Main", "Module_Name", ""), "A");
  EXPECT_EQ(store->View(path)->ReadString("Main", "Module_Name", ""), "B");
  EXPECT_EQ(files.Calls(Operation::kRead), 2);
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

class ReadTable : public ::testing::TestWithParam<std::string> {};

TEST_P(ReadTable, DecidesFromTheStartAsTheWholeFileDoes) {
  testing::ExpectTableAnswers("platform", GetParam(), "table.txt", [](const testing::Words& call) {
    ExpectStartAgrees(call.at(1), call.at(2), call.at(3), call.at(4));
    return testing::Quoted(IniDocument(call.at(1)).ReadString(call.at(2), call.at(3), call.at(4)));
  });
}

INSTANTIATE_TEST_SUITE_P(Golden, ReadTable, ::testing::Values("reads_names", "reads_values"));

// The in-memory store answers the write table, writing each row's writes into one file in turn.
TEST(MemoryProfileStore, WritesAsTheDocumentRulesWrite) {
  testing::ExpectTableAnswers("platform", "writes", "table.txt", [](const testing::Words& call) {
    MemoryProfileStore store;
    store.Put("m.ini", call.at(1));
    for (std::size_t at = 2; at + 2 < call.size(); at += 3) {
      const WriteStatus status = store.WriteString(call[at], call[at + 1], call[at + 2], "m.ini");
      if (status != WriteStatus::kOk) {
        return std::string(status == WriteStatus::kRefused ? "refused" : "failed");
      }
      EXPECT_EQ(store.ReadString(call[at], call[at + 1], "?", "m.ini"),
                profile_rules::FitToBuffer(profile_rules::ReadableValue(call[at + 2])));
    }
    return testing::Quoted(*store.Bytes("m.ini"));
  });
}

// A view and a copy keep what they were made of; a missing file reads as defaults and is made by
// the first write that is made.
TEST(MemoryProfileStore, ViewsAndCopiesKeepTheirVersion) {
  MemoryProfileStore store;
  store.Put("a.ini", "[Main]\r\nModule_Name=A\r\n");
  const auto view = store.View("a.ini");
  ASSERT_TRUE(store.Copy("a.ini", "b.ini"));
  ASSERT_EQ(store.WriteString("Main", "Module_Name", "B", "b.ini"), WriteStatus::kOk);
  ASSERT_EQ(store.WriteString("Main", "Module_Name", "C", "a.ini"), WriteStatus::kOk);
  EXPECT_EQ(view->ReadString("Main", "Module_Name", ""), "A");
  EXPECT_EQ(store.Bytes("b.ini"), "[Main]\r\nModule_Name=B\r\n");
  EXPECT_EQ(store.Bytes("a.ini"), "[Main]\r\nModule_Name=C\r\n");
  EXPECT_FALSE(store.Copy("none.ini", "c.ini"));
  EXPECT_EQ(store.ReadString("Main", "Module_Name", "none", "c.ini"), "none");
  EXPECT_EQ(store.WriteString("Main", "Module_Name", "a\nb", "c.ini"), WriteStatus::kRefused);
  EXPECT_EQ(store.Bytes("c.ini"), std::nullopt);
  ASSERT_EQ(store.WriteString("Main", "Module_Name", "D", "c.ini"), WriteStatus::kOk);
  EXPECT_EQ(store.Bytes("c.ini"), "[Main]\r\nModule_Name=D\r\n");
}

}  // namespace
}  // namespace quillmere
