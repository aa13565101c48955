// What answers a read without the whole file, or without the disk, answers as the whole file
// does: a view reads one version of the file for a whole operation; the in-memory store writes
// what the document rules write (a lone read from a file's start: rule_tables_test). The rules are
// the document's and their tables'; that a list walk answers as a key-by-key read is held by the
// profile document's fuzz target.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/memory_profile_store.h"
#include "platform/profile_rules.h"
#include "platform/portable_profile_store.h"
#include "support/faulty_file_system.h"
#include "support/golden.h"
#include "support/temp_folder.h"

namespace quillmere {
namespace {

using Operation = testing::FaultyFileSystem::Operation;

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
