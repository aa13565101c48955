// How keywords become trigger records, and that every record reads back as its keyword.
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "derive/keyword_triggers.h"
#include "module/value_parsers.h"
#include "platform/profile_store.h"

namespace quillmere {
namespace {

TEST(ByteTokenEncoding, ControlHighAndCommaBytesTakeThreeDigits) {
  EXPECT_EQ(EncodeByteToken(9), "009");
  EXPECT_EQ(EncodeByteToken(44), "044");
  EXPECT_EQ(EncodeByteToken(127), "127");
  EXPECT_EQ(EncodeByteToken(200), "200");
  EXPECT_EQ(EncodeByteToken(' '), " ");
  EXPECT_EQ(EncodeByteToken('0'), "0");
  EXPECT_EQ(EncodeByteToken('~'), "~");
  for (int value = 0; value < 256; ++value) {
    const auto byte = static_cast<std::uint8_t>(value);
    EXPECT_EQ(ParseByteToken(EncodeByteToken(byte)), byte) << "byte " << value;
  }
}

TEST(KeywordRecord, IsLengthBytesKindOneAndTheTag) {
  EXPECT_EQ(VoidKeywordRecord("Void"), "4,V,o,i,d,1,0,0,TRAN_VOID");
  EXPECT_EQ(VoidKeywordRecord("\xA4\xA1"), "2,164,161,1,0,0,TRAN_VOID");
  EXPECT_EQ(StopKeywordRecord("No Sale"), "7,N,o, ,S,a,l,e,1,0,0,TRAN_STOP");
  EXPECT_EQ(VoidKeywordRecord(std::string(120, 'a')).size(), kProfileValueMax);
  EXPECT_EQ(VoidKeywordRecord(std::string(60, '\x01')).size(), 258U);
}

// A record written for a keyword parses back as exactly that keyword (commas included).
TEST(KeywordRecord, ReadsBackAsTheKeyword) {
  for (const std::string& keyword :
       {std::string("Void"), std::string("1,50"), std::string("\0\x01,\xFF", 4), std::string(" x "),
        std::string("TRAN_STOP"), std::string(120, 'k')}) {
    TagFlags flags;
    const auto parsed = ParseCommandValue(StopKeywordRecord(keyword), LibraryBinding{}, flags);
    ASSERT_TRUE(std::holds_alternative<CommandRecord>(parsed)) << keyword;
    const auto& record = std::get<CommandRecord>(parsed);
    EXPECT_EQ(std::string(record.bytes.begin(), record.bytes.end()), keyword);
    EXPECT_EQ(record.kind, 1);
    EXPECT_FALSE(record.text.has_value());
    EXPECT_EQ(record.event, TransactionEvent::kStop);
  }
}

TEST(KeywordRecordsFit, RefusesRecordsLongerThanARead) {
  EXPECT_TRUE(KeywordRecordsFit("", ""));
  EXPECT_TRUE(KeywordRecordsFit(std::string(120, 'a'), std::string(60, '\t')));
  EXPECT_FALSE(KeywordRecordsFit(std::string(121, 'a'), ""));
  EXPECT_FALSE(KeywordRecordsFit("Void", std::string(61, '\t')));
  EXPECT_FALSE(KeywordRecordsFit(std::string(61, ','), ""));
  EXPECT_FALSE(KeywordRecordsFit(std::string(100000, 'a'), ""));
}

}  // namespace
}  // namespace quillmere
