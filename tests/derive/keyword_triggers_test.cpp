// The 259 fit: a keyword's record must read back whole, so it may not pass the 259 characters a
// read returns. 120 printable bytes make exactly 259; 60 bytes of the three-digit form 258.
#include "derive/keyword_triggers.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

TEST(KeywordRecordsFit, UpTo259CharactersARecord) {
  const struct {
    const char* name;
    std::string voidKeyword;
    std::string stopKeyword;
    bool fits;
  } rows[] = {
      {"NoKeywords", "", "", true},
      {"Void120Printable", std::string(120, 'a'), "", true},
      {"Stop60Tabs", "Void", std::string(60, '\t'), true},
      {"Void121Printable", std::string(121, 'a'), "", false},
      {"Stop61Tabs", "Void", std::string(61, '\t'), false},
      {"Stop121PrintableBesideAFittingVoid", "Void", std::string(121, 'a'), false},
      {"HugeKeyword", std::string(100000, 'a'), "", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(KeywordRecordsFit(row.voidKeyword, row.stopKeyword), row.fits) << row.name;
  }
}

}  // namespace
}  // namespace quillmere
