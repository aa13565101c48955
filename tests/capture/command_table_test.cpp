// The command table itself: one entry for each introducer, and commands written as the
// references write them. Its length rules are a golden table (capture_tables_test.cpp).
#include "capture/command_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "capture/capture_files.h"

namespace quillmere::capture {
namespace {

using namespace std::string_literals;

TEST(CommandTableTest, IntroducersAreUniqueAndFitTheirLengths) {
  std::set<std::string_view> introducers;
  for (const CommandForm& form : CommandTable()) {
    EXPECT_TRUE(introducers.insert(form.introducer).second) << form.mnemonic;
    EXPECT_TRUE(form.rule != LengthRule::kFixed || form.length >= form.introducer.size())
        << form.mnemonic;
  }
}

// Parameters in decimal after the mnemonic; an unnamed frame's function shown as its letter.
TEST(CommandTableTest, WritesCommandsAsTheReferencesDo) {
  const auto text = [](const std::string& bytes) {
    const auto command = testing::Bytes(bytes);
    return CommandText(command, *FindCommand(command), 3);
  };
  EXPECT_EQ(text("\x1dV\x42\x00"s), "GS V 66 0");
  EXPECT_EQ(text("\x1d(E\x01\x00\x05"s), "GS ( E 1 0 5");
  EXPECT_EQ(text("\x1dv0\x00\x02\x00\x03\x00"s), "GS v 0 0 2 0 ...");
}

}  // namespace
}  // namespace quillmere::capture
