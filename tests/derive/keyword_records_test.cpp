// How keywords become trigger records, and that every record reads back as its keyword.
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "derive/keyword_triggers.h"
#include "module/value_parsers.h"
#include "platform/profile_store.h"
#include "support/case_name.h"

namespace quillmere {
namespace {

struct TokenCase {
  std::string_view name;
  std::uint8_t byte;
  std::string_view token;
};
QUILLMERE_PRINT_ROW_AS_NAME(TokenCase)

class ByteTokenEncoding : public ::testing::TestWithParam<TokenCase> {};

TEST_P(ByteTokenEncoding, WritesOneCharacterOrThreeDigits) {
  EXPECT_EQ(EncodeByteToken(GetParam().byte), GetParam().token);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, ByteTokenEncoding,
    ::testing::Values(TokenCase{"Nul", 0, "000"}, TokenCase{"Tab", 9, "009"},
                      TokenCase{"LastControl", 31, "031"}, TokenCase{"Space", 32, " "},
                      TokenCase{"Comma", 44, "044"}, TokenCase{"Digit", '0', "0"},
                      TokenCase{"Letter", 'V', "V"}, TokenCase{"Tilde", 126, "~"},
                      TokenCase{"Delete", 127, "127"}, TokenCase{"HighByte", 200, "200"},
                      TokenCase{"Last", 255, "255"}),
    testing::CaseName());

// Every byte value, encoded and parsed back through the module reader, is the same byte.
TEST(ByteTokenEncoding, EveryByteReadsBack) {
  for (int value = 0; value < 256; ++value) {
    const auto byte = static_cast<std::uint8_t>(value);
    EXPECT_EQ(ParseByteToken(EncodeByteToken(byte)), byte) << "byte " << value;
  }
}

struct RecordCase {
  std::string_view name;
  std::string keyword;
  std::string_view record;
};
QUILLMERE_PRINT_ROW_AS_NAME(RecordCase)

class VoidRecord : public ::testing::TestWithParam<RecordCase> {};

TEST_P(VoidRecord, IsTheKeywordTaggedVoid) {
  EXPECT_EQ(VoidKeywordRecord(GetParam().keyword), GetParam().record);
}

INSTANTIATE_TEST_SUITE_P(
    Keywords, VoidRecord,
    ::testing::Values(RecordCase{"Void", "Void", "4,V,o,i,d,1,0,0,TRAN_VOID"},
                      RecordCase{"DoubleByte", "\xA4\xA1", "2,164,161,1,0,0,TRAN_VOID"},
                      RecordCase{"Tab", "a\tb", "3,a,009,b,1,0,0,TRAN_VOID"},
                      RecordCase{"Comma", "1,50", "4,1,044,5,0,1,0,0,TRAN_VOID"},
                      RecordCase{"Blank", "No Sale", "7,N,o, ,S,a,l,e,1,0,0,TRAN_VOID"}),
    testing::CaseName());

TEST(StopRecord, IsTheKeywordTaggedStop) {
  EXPECT_EQ(StopKeywordRecord("Cash"), "4,C,a,s,h,1,0,0,TRAN_STOP");
}

// A record written for a keyword parses back as exactly that keyword with its event.
TEST(KeywordRecord, ReadsBackAsTheKeyword) {
  const std::string keywords[] = {"Void", "1,50",      std::string("\0\x01,\xFF", 4),
                                  " x ",  "TRAN_STOP", std::string(120, 'k')};
  for (const std::string& keyword : keywords) {
    TagFlags flags;
    const auto parsed = ParseCommandValue(StopKeywordRecord(keyword), LibraryBinding{}, flags);
    ASSERT_TRUE(std::holds_alternative<CommandRecord>(parsed)) << keyword;
    const auto& record = std::get<CommandRecord>(parsed);
    EXPECT_EQ(std::string(record.bytes.begin(), record.bytes.end()), keyword);
    EXPECT_EQ(record.kind, 1);
    EXPECT_EQ(record.parameter, 0);
    EXPECT_FALSE(record.text.has_value());
    EXPECT_EQ(record.event, TransactionEvent::kStop);
  }
}

TEST(KeywordRecord, LongestPrintableKeywordFillsTheReadBuffer) {
  EXPECT_EQ(VoidKeywordRecord(std::string(120, 'a')).size(), kProfileValueMax);
  EXPECT_EQ(VoidKeywordRecord(std::string(60, '\x01')).size(), 258U);
}

struct FitCase {
  std::string_view name;
  std::string voidKeyword;
  std::string stopKeyword;
  bool fits;
};
QUILLMERE_PRINT_ROW_AS_NAME(FitCase)

class KeywordsFit : public ::testing::TestWithParam<FitCase> {};

TEST_P(KeywordsFit, RefusesRecordsLongerThanARead) {
  EXPECT_EQ(KeywordRecordsFit(GetParam().voidKeyword, GetParam().stopKeyword), GetParam().fits);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, KeywordsFit,
    ::testing::Values(FitCase{"BothEmpty", "", "", true},
                      FitCase{"VoidAtLimit", std::string(120, 'a'), "", true},
                      FitCase{"VoidOneOver", std::string(121, 'a'), "", false},
                      FitCase{"StopOneOver", "Void", std::string(121, 'a'), false},
                      FitCase{"ThreeDigitBytes", std::string(60, '\t'), "", true},
                      FitCase{"ThreeDigitBytesOver", std::string(61, '\t'), "", false},
                      FitCase{"CommasCountThreeDigits", std::string(61, ','), "", false},
                      FitCase{"Huge", std::string(100000, 'a'), "", false}),
    testing::CaseName());

}  // namespace
}  // namespace quillmere
