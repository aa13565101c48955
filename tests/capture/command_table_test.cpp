// The command table itself: one entry for each introducer. Its length rules and how it writes
// commands are golden tables (capture_tables_test.cpp).
#include "capture/command_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace quillmere::capture {
namespace {

TEST(CommandTableTest, IntroducersAreUniqueAndFitTheirLengths) {
  std::set<std::string_view> introducers;
  for (const CommandForm& form : CommandTable()) {
    EXPECT_TRUE(introducers.insert(form.introducer).second) << form.mnemonic;
    EXPECT_TRUE(form.rule != LengthRule::kFixed || form.length >= form.introducer.size())
        << form.mnemonic;
  }
}

}  // namespace
}  // namespace quillmere::capture
