// The value grammar of module files, one group per value form: tokens, byte tokens, event tags,
// change-line records, command records (with kind-3 binding), multi-command entries and the
// library setting. Values are parsed from memory; no file is involved.
#include "module/value_parsers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/case_name.h"
#include "support/fake_library_loader.h"

namespace quillmere {
namespace {

using testing::CaseName;
using Bytes = std::vector<std::uint8_t>;

// --- NextToken: up to the first comma, never trimmed; the remainder follows the comma ---------

struct TokenCase {
  const char* name;
  std::string_view value;
  std::vector<std::string_view> tokens;  // taken in turn until the remainder is empty
};

class NextTokenTest : public ::testing::TestWithParam<TokenCase> {};

TEST_P(NextTokenTest, SplitsAtEachCommaAndKeepsBlanks) {
  std::string_view remainder = GetParam().value;
  std::vector<std::string_view> tokens;
  do {
    tokens.push_back(NextToken(remainder));
  } while (!remainder.empty());
  EXPECT_EQ(tokens, GetParam().tokens);
}

const TokenCase kTokenCases[] = {
    {"NoComma", "abc", {"abc"}},
    {"TwoTokens", "1,FF", {"1", "FF"}},
    {"BlanksBelongToTokens", " a , b ", {" a ", " b "}},
    {"EmptyValue", "", {""}},
    {"EmptyMiddleToken", "a,,b", {"a", "", "b"}},
    {"LeadingComma", ",a", {"", "a"}},
    {"PathWithCommasStaysInRemainder", "1,dir,name.dll", {"1", "dir", "name.dll"}},
};
INSTANTIATE_TEST_SUITE_P(Tokens, NextTokenTest, ::testing::ValuesIn(kTokenCases), CaseName());

TEST(NextTokenTest, TrailingCommaLeavesAnEmptyRemainderAndThenAnAbsentToken) {
  std::string_view remainder = "0,";
  EXPECT_EQ(NextToken(remainder), "0");
  EXPECT_TRUE(remainder.empty());
  EXPECT_EQ(NextToken(remainder), "");
  EXPECT_TRUE(remainder.empty());
}

// --- ParseByteToken: one byte as itself; a control name in table order; else decimal ---------

struct ByteCase {
  const char* name;
  std::string_view token;
  std::uint8_t byte;
};

class ByteTokenTest : public ::testing::TestWithParam<ByteCase> {};

TEST_P(ByteTokenTest, GivesTheByte) {
  EXPECT_EQ(ParseByteToken(GetParam().token), GetParam().byte)
      << "token '" << GetParam().token << "'";
}

const ByteCase kControlNameCases[] = {
    {"NUL", "NUL", 0},  {"SOH", "SOH", 1},  {"STX", "STX", 2},  {"ETX", "ETX", 3},
    {"EOT", "EOT", 4},  {"ENQ", "ENQ", 5},  {"ACK", "ACK", 6},  {"BEL", "BEL", 7},
    {"BS", "BS", 8},    {"HT", "HT", 9},    {"LF", "LF", 10},   {"VT", "VT", 11},
    {"FF", "FF", 12},   {"CR", "CR", 13},   {"SI", "SI", 15},   {"SLE", "SLE", 16},
    {"DLE", "DLE", 16}, {"CS1", "CS1", 17}, {"DC2", "DC2", 18}, {"DC3", "DC3", 19},
    {"DC4", "DC4", 20}, {"NAK", "NAK", 21}, {"SYN", "SYN", 22}, {"ETB", "ETB", 23},
    {"CAN", "CAN", 24}, {"EM", "EM", 25},   {"SIB", "SIB", 26}, {"ESC", "ESC", 27},
    {"FS", "FS", 28},   {"GS", "GS", 29},   {"RS", "RS", 30},   {"US", "US", 31},
    {"SP", "SP", 32},
};
INSTANTIATE_TEST_SUITE_P(ControlNames, ByteTokenTest, ::testing::ValuesIn(kControlNameCases),
                         CaseName());

const ByteCase kByteCases[] = {
    // A one-byte token is that byte, whatever it is.
    {"LetterIsItself", "V", 0x56},
    {"LoneDigitIsTheDigitCharacter", "0", 0x30},
    {"LoneNineIsTheDigitCharacter", "9", 0x39},
    {"LoneBlankIsItself", " ", 0x20},
    {"HighByteIsItself", "\xe9", 0xE9},
    // Names compare ignoring case.
    {"LowerCaseName", "esc", 27},
    {"MixedCaseName", "gS", 29},
    {"LowerCaseSle", "sle", 16},
    // Names the table leaves out fall to the decimal reading and give 0.
    {"SoIsNoName", "SO", 0},
    {"Dc1IsNoName", "DC1", 0},
    {"SubIsNoName", "SUB", 0},
    {"DelIsNoName", "DEL", 0},
    {"BlankBeforeNameIsNoName", " FF", 0},
    {"BlankAfterNameIsNoName", "FF ", 0},
    // Decimal numbers give their low 8 bits.
    {"TwoDigits", "27", 27},
    {"LeadingZero", "09", 9},
    {"ThreeDigitForm", "086", 86},
    {"AboveByteWraps", "300", 44},
    {"MinusOneIsAllBits", "-1", 255},
    {"TwoFiftySixIsZero", "256", 0},
    {"PlusSign", "+27", 27},
    {"LeadingBlanksSkipped", "  27", 27},
    {"DigitsUpToOtherCharacter", "27x", 27},
    {"NoDigitsGivesZero", "xyz", 0},
    {"OverflowWrapsAs32Bits", "4294967297", 1},
};
INSTANTIATE_TEST_SUITE_P(Tokens, ByteTokenTest, ::testing::ValuesIn(kByteCases), CaseName());

TEST(ControlCodeNamesTest, HoldsThirtyThreeNamesWithSleComparedBeforeDle) {
  ASSERT_EQ(ControlCodeNames.size(), 33U);
  std::optional<std::size_t> sle;
  std::optional<std::size_t> dle;
  for (std::size_t i = 0; i < ControlCodeNames.size(); ++i) {
    for (const std::string_view absent : {"SO", "DC1", "SUB", "DEL"}) {
      EXPECT_NE(ControlCodeNames[i].name, absent);
    }
    EXPECT_NE(ControlCodeNames[i].value, 14);
    if (ControlCodeNames[i].name == "SLE") {
      sle = i;
    }
    if (ControlCodeNames[i].name == "DLE") {
      dle = i;
    }
  }
  ASSERT_TRUE(sle && dle);
  EXPECT_LT(*sle, *dle);
}

// --- ParseEventTag: the whole token, any case; Start and Stop clear the module's flags -------

struct TagCase {
  const char* name;
  std::string_view token;
  TransactionEvent event;
  bool noStartTag;
  bool noStopTag;
};

class EventTagTest : public ::testing::TestWithParam<TagCase> {};

TEST_P(EventTagTest, GivesTheEventAndClearsOnlyItsFlag) {
  TagFlags flags;
  EXPECT_EQ(ParseEventTag(GetParam().token, flags), GetParam().event);
  EXPECT_EQ(flags.noStartTag, GetParam().noStartTag);
  EXPECT_EQ(flags.noStopTag, GetParam().noStopTag);
}

const TagCase kTagCases[] = {
    {"Start", "TRAN_START", TransactionEvent::kStart, false, true},
    {"Stop", "TRAN_STOP", TransactionEvent::kStop, true, false},
    {"Void", "TRAN_VOID", TransactionEvent::kVoid, true, true},
    {"LowerCaseStop", "tran_stop", TransactionEvent::kStop, true, false},
    {"MixedCaseStart", "Tran_Start", TransactionEvent::kStart, false, true},
    {"MixedCaseVoid", "tRaN_vOiD", TransactionEvent::kVoid, true, true},
    {"BlankAfterTagIsNone", "TRAN_STOP ", TransactionEvent::kNone, true, true},
    {"PrefixIsNone", "TRAN_STO", TransactionEvent::kNone, true, true},
    {"OtherTextIsNone", "x", TransactionEvent::kNone, true, true},
};
INSTANTIATE_TEST_SUITE_P(Tags, EventTagTest, ::testing::ValuesIn(kTagCases), CaseName());

TEST(EventTagTest, AClearedFlagStaysCleared) {
  TagFlags flags;
  (void)ParseEventTag("TRAN_STOP", flags);
  (void)ParseEventTag("TRAN_VOID", flags);
  (void)ParseEventTag("other", flags);
  EXPECT_FALSE(flags.noStopTag);
  EXPECT_TRUE(flags.noStartTag);
}

// --- Failures: which token was missing, and the plain words for it ---------------------------

struct FailureCase {
  const char* name;
  std::string_view value;
  ParseFailure failure;
  std::string_view detail;
};

template <typename T>
void ExpectFailure(const Parsed<T>& parsed, const FailureCase& expected) {
  const ParseError* error = std::get_if<ParseError>(&parsed);
  ASSERT_NE(error, nullptr) << "'" << expected.value << "' parsed";
  EXPECT_EQ(error->failure, expected.failure) << DescribeParseError(*error);
  EXPECT_EQ(error->detail, expected.detail);
}

// The parsed value; a default one (and a test failure saying why) when it failed.
template <typename T>
T Success(const Parsed<T>& parsed) {
  const ParseError* error = std::get_if<ParseError>(&parsed);
  EXPECT_EQ(error, nullptr) << (error != nullptr ? DescribeParseError(*error) : "");
  return error == nullptr ? std::get<T>(parsed) : T{};
}

// --- Change-line records: a count and exactly that many byte tokens -------------------------

struct ChangeLineCase {
  const char* name;
  std::string_view value;
  Bytes bytes;
};

class ChangeLineValueTest : public ::testing::TestWithParam<ChangeLineCase> {};

TEST_P(ChangeLineValueTest, GivesTheBytesAndNothingElse) {
  const CommandRecord record = Success(ParseChangeLineValue(GetParam().value));
  EXPECT_EQ(record.bytes, GetParam().bytes);
  EXPECT_EQ(record.byteCount, static_cast<std::int32_t>(GetParam().bytes.size()));
  EXPECT_EQ(record.kind, 0);
  EXPECT_EQ(record.parameter, 0);
  EXPECT_FALSE(record.function.has_value());
  EXPECT_FALSE(record.text.has_value());
  EXPECT_EQ(record.textLength, 0);
  EXPECT_EQ(record.event, TransactionEvent::kNone);
}

const ChangeLineCase kChangeLineCases[] = {
    {"CrLf", "2,CR,LF", {0x0D, 0x0A}},
    {"ZeroCountIsEmpty", "0", {}},
    {"CountThatIsNoNumberIsZero", "abc", {}},
    {"TokensAfterTheLastByteIgnored", "1,ESC,TRAN_STOP,9", {0x1B}},
    {"DigitsAreCharacters", "2,1,2", {0x31, 0x32}},
    {"DecimalTokens", "3,027,064,300", {27, 64, 44}},
};
INSTANTIATE_TEST_SUITE_P(Values, ChangeLineValueTest, ::testing::ValuesIn(kChangeLineCases),
                         CaseName());

class ChangeLineFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(ChangeLineFailureTest, FailsNamingTheMissingToken) {
  ExpectFailure(ParseChangeLineValue(GetParam().value), GetParam());
}

const FailureCase kChangeLineFailures[] = {
    {"ThirdByteAbsent", "3,CR,LF", ParseFailure::kMissingByte, "3"},
    {"EmptyValue", "", ParseFailure::kMissingCount, ""},
    {"EmptyCountToken", ",CR", ParseFailure::kMissingCount, ""},
    {"EmptyByteToken", "2,,LF", ParseFailure::kMissingByte, "1"},
    {"NegativeCount", "-2,CR,LF", ParseFailure::kNegativeCount, "-2"},
    {"HugeCountFailsAtTheFirstAbsentByte", "2000000000,CR,LF", ParseFailure::kMissingByte, "3"},
};
INSTANTIATE_TEST_SUITE_P(Values, ChangeLineFailureTest, ::testing::ValuesIn(kChangeLineFailures),
                         CaseName());

// --- Command records: count, bytes, kind, [parameter unless kind 2], [flag, [text], [tag]] ----

struct CommandCase {
  const char* name;
  std::string_view value;
  Bytes bytes;
  std::int32_t kind;
  std::int32_t parameter;
  std::optional<std::string> text;
  TransactionEvent event;
};

class CommandValueTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandValueTest, GivesTheRecord) {
  TagFlags flags;
  const CommandRecord record = Success(ParseCommandValue(GetParam().value, {}, flags));
  EXPECT_EQ(record.bytes, GetParam().bytes);
  EXPECT_EQ(record.byteCount, static_cast<std::int32_t>(GetParam().bytes.size()));
  EXPECT_EQ(record.kind, GetParam().kind);
  EXPECT_EQ(record.parameter, GetParam().parameter);
  EXPECT_FALSE(record.function.has_value());
  EXPECT_EQ(record.text, GetParam().text);
  EXPECT_EQ(record.textLength,
            GetParam().text ? static_cast<std::int32_t>(GetParam().text->size()) : 0);
  EXPECT_EQ(record.event, GetParam().event);
}

constexpr auto kNone = TransactionEvent::kNone;
constexpr auto kStart = TransactionEvent::kStart;
constexpr auto kStop = TransactionEvent::kStop;
constexpr auto kVoid = TransactionEvent::kVoid;

const CommandCase kCommandCases[] = {
    {"KindTwoHasNoParameter", "1,esc,2", {0x1B}, 2, 0, std::nullopt, kNone},
    {"KindTwoFlagThenTag", "1,SP,2,0,TRAN_VOID", {0x20}, 2, 0, std::nullopt, kVoid},
    {"KindZeroParameterIgnored", "1,SP,0,x", {0x20}, 0, 0, std::nullopt, kNone},
    {"TextAndStopTag", "1,SP,1,5,1,Hello,tran_stop", {0x20}, 1, 5, "Hello", kStop},
    {"FlagWithoutText", "1,SP,1,5,1", {0x20}, 1, 5, std::nullopt, kNone},
    {"EmptyTokenAfterFlagEndsRecord", "1,SP,1,5,0,,TRAN_STOP", {0x20}, 1, 5, std::nullopt, kNone},
    {"BlankBeforeFfIsNoName", "1, FF,1,1", {0x00}, 1, 1, std::nullopt, kNone},
    {"Dc1IsNoName", "1,DC1,1,1", {0x00}, 1, 1, std::nullopt, kNone},
    {"TwoDigitNine", "1,09,1,1", {0x09}, 1, 1, std::nullopt, kNone},
    {"OneDigitNine", "1,9,1,1", {0x39}, 1, 1, std::nullopt, kNone},
    {"FormFeedPlain", "1,FF,1,1", {0x0C}, 1, 1, std::nullopt, kNone},
    {"FormFeedStop", "1,FF,1,1,0,TRAN_STOP", {0x0C}, 1, 1, std::nullopt, kStop},
    {"VoidKeyword", "4,V,o,i,d,1,0,0,TRAN_VOID", {'V', 'o', 'i', 'd'}, 1, 0, std::nullopt, kVoid},
    {"StopKeyword", "4,C,a,s,h,1,0,0,TRAN_STOP", {'C', 'a', 's', 'h'}, 1, 0, std::nullopt, kStop},
    {"StartTag", "1,SP,1,5,0,TRAN_START", {0x20}, 1, 5, std::nullopt, kStart},
    {"TokensAfterTagIgnored", "1,SP,1,5,1,Hi,TRAN_VOID,more,3", {0x20}, 1, 5, "Hi", kVoid},
    {"FlagThatIsNoNumberIsZero", "1,SP,1,5,x,TRAN_STOP", {0x20}, 1, 5, std::nullopt, kStop},
    {"TextKeepsItsBlanks", "1,SP,1,0,1, a b ,TRAN_STOP", {0x20}, 1, 0, " a b ", kStop},
    {"UnknownTagIsNone", "1,SP,1,0,0,STOP", {0x20}, 1, 0, std::nullopt, kNone},
    {"KindFourParameterIgnored", "1,SP,4,99,1,T,TRAN_VOID", {0x20}, 4, 0, "T", kVoid},
    {"NegativeKindParameterIgnored", "1,SP,-1,7", {0x20}, -1, 0, std::nullopt, kNone},
    {"KindThatIsNoNumberIsZero", "1,SP,abc,7", {0x20}, 0, 0, std::nullopt, kNone},
    {"NegativeParameter", "1,SP,1,-3", {0x20}, 1, -3, std::nullopt, kNone},
    {"ParameterDigitsUpToOtherCharacter", "1,SP,1,12ab", {0x20}, 1, 12, std::nullopt, kNone},
    {"NoBytes", "0,1,0", {}, 1, 0, std::nullopt, kNone},
};
INSTANTIATE_TEST_SUITE_P(Values, CommandValueTest, ::testing::ValuesIn(kCommandCases), CaseName());

class CommandFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(CommandFailureTest, FailsNamingTheMissingToken) {
  TagFlags flags;
  ExpectFailure(ParseCommandValue(GetParam().value, {}, flags), GetParam());
}

const FailureCase kCommandFailures[] = {
    {"KindOneNeedsParameter", "1,SP,1", ParseFailure::kMissingParameter, "1"},
    {"KindZeroNeedsParameter", "1,SP,0", ParseFailure::kMissingParameter, "0"},
    {"KindFourNeedsParameter", "1,SP,4,", ParseFailure::kMissingParameter, "4"},
    {"KindAbsent", "1,SP", ParseFailure::kMissingKind, ""},
    {"ByteAbsent", "2,SP", ParseFailure::kMissingByte, "2"},
    {"EmptyByteToken", "2,,SP,1,0", ParseFailure::kMissingByte, "1"},
    {"EmptyValue", "", ParseFailure::kMissingCount, ""},
    {"NegativeCount", "-1,SP,1,0", ParseFailure::kNegativeCount, "-1"},
    {"HugeCount", "2000000000,A,B,1,0", ParseFailure::kMissingByte, "5"},
    {"KindThreeWithoutLibrary", "2,GS,V,3,CutPaper,0,", ParseFailure::kNoLibrary, "CutPaper"},
};
INSTANTIATE_TEST_SUITE_P(Values, CommandFailureTest, ::testing::ValuesIn(kCommandFailures),
                         CaseName());

TEST(CommandValueTest, AFailedRecordLeavesTheFlagsAlone) {
  TagFlags flags;
  ASSERT_TRUE(std::holds_alternative<ParseError>(
      ParseCommandValue("1,SP,3,Missing,0,TRAN_STOP", {}, flags)));
  EXPECT_TRUE(flags.noStopTag);
}

// --- Kind 3: the parameter names a function the module's own library exports ----------------

struct BindingCase {
  const char* name;
  std::string_view value;
  bool useLibrary;
  bool libraryLoaded;
  std::optional<ParseFailure> failure;  // none: binds to the function "CutPaper"
  TransactionEvent event;
};

class KindThreeTest : public ::testing::TestWithParam<BindingCase> {};

TEST_P(KindThreeTest, BindsOnlyThroughALoadedLibraryThatExportsTheName) {
  testing::FakeLibraryLoader loader;
  loader.Add("cut.dll", {"CutPaper", "AnalyzeBarcode"});
  const std::unique_ptr<ModuleLibrary> library =
      GetParam().libraryLoaded ? loader.Load("cut.dll") : nullptr;
  const LibraryBinding binding{GetParam().useLibrary, library.get()};
  TagFlags flags;
  const Parsed<CommandRecord> parsed = ParseCommandValue(GetParam().value, binding, flags);

  if (GetParam().failure) {
    const ParseError* error = std::get_if<ParseError>(&parsed);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->failure, *GetParam().failure);
    EXPECT_FALSE(error->detail.empty());
    EXPECT_THAT(GetParam().value, ::testing::HasSubstr(error->detail));
    return;
  }
  const CommandRecord record = Success(parsed);
  EXPECT_EQ(record.bytes, (Bytes{0x1D, 0x56}));
  EXPECT_EQ(record.kind, 3);
  EXPECT_EQ(record.parameter, 0);
  EXPECT_EQ(record.function, "CutPaper");
  EXPECT_EQ(record.event, GetParam().event);
}

const BindingCase kBindingCases[] = {
    {"CutPaperPlain", "2,GS,V,3,CutPaper,0,", true, true, std::nullopt, kNone},
    {"CutPaperStop", "2,GS,V,3,CutPaper,0,TRAN_STOP", true, true, std::nullopt, kStop},
    {"NoLibrary", "2,GS,V,3,CutPaper,0,", false, false, ParseFailure::kNoLibrary, kNone},
    {"LibraryNotLoaded", "2,GS,V,3,CutPaper,0,", true, false, ParseFailure::kLibraryNotLoaded,
     kNone},
    {"NameNotExported", "2,GS,V,3,FeedPaper,0,", true, true, ParseFailure::kNameNotExported, kNone},
    {"ExportNamesCountCase", "2,GS,V,3,cutpaper,0,", true, true, ParseFailure::kNameNotExported,
     kNone},
};
INSTANTIATE_TEST_SUITE_P(Binding, KindThreeTest, ::testing::ValuesIn(kBindingCases), CaseName());

// --- Multi-command entries: section, trigger byte token, count -----------------------------

struct EntryCase {
  const char* name;
  std::string_view value;
  std::string_view section;
  std::uint8_t trigger;
  std::int32_t count;
};

class MultiCommandValueTest : public ::testing::TestWithParam<EntryCase> {};

TEST_P(MultiCommandValueTest, GivesSectionTriggerAndCount) {
  const MultiCommandEntry entry = Success(ParseMultiCommandValue(GetParam().value));
  EXPECT_EQ(entry.section, GetParam().section);
  EXPECT_EQ(entry.trigger, GetParam().trigger);
  EXPECT_EQ(entry.count, GetParam().count);
}

const EntryCase kEntryCases[] = {
    {"NoRecords", "Text_Void,V,0", "Text_Void", 0x56, 0},
    {"TwoRecords", "Text_Stop,ESC,2", "Text_Stop", 0x1B, 2},
    {"DecimalTrigger", "Text_Void,086,1", "Text_Void", 86, 1},
    {"NegativeCountKept", "Text_Void,V,-5", "Text_Void", 0x56, -5},
    {"TokensAfterCountIgnored", "Cut,GS,1,extra", "Cut", 29, 1},
    {"SectionKeepsItsBlanks", " Text Void ,V,1", " Text Void ", 0x56, 1},
    {"BlankTriggerIsDecimal", "Cut, V ,3", "Cut", 0, 3},
};
INSTANTIATE_TEST_SUITE_P(Values, MultiCommandValueTest, ::testing::ValuesIn(kEntryCases),
                         CaseName());

class MultiCommandFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(MultiCommandFailureTest, FailsNamingTheMissingToken) {
  ExpectFailure(ParseMultiCommandValue(GetParam().value), GetParam());
}

const FailureCase kEntryFailures[] = {
    {"CountAbsent", "Text_Void,V", ParseFailure::kMissingCount, ""},
    {"CountEmpty", "Text_Void,V,", ParseFailure::kMissingCount, ""},
    {"TriggerAbsent", "Text_Void", ParseFailure::kMissingTrigger, ""},
    {"SectionEmpty", ",V,1", ParseFailure::kMissingSection, ""},
    {"EmptyValue", "", ParseFailure::kMissingSection, ""},
};
INSTANTIATE_TEST_SUITE_P(Values, MultiCommandFailureTest, ::testing::ValuesIn(kEntryFailures),
                         CaseName());

// --- Library setting: a decimal flag, then the whole remainder as the path ------------------

struct SettingCase {
  const char* name;
  std::string_view value;
  bool useLibrary;
  std::string_view path;
};

class LibrarySettingTest : public ::testing::TestWithParam<SettingCase> {};

TEST_P(LibrarySettingTest, GivesFlagAndPath) {
  const LibrarySetting setting = ParseLibrarySetting(GetParam().value);
  EXPECT_EQ(setting.useLibrary, GetParam().useLibrary);
  EXPECT_EQ(setting.path, GetParam().path);
}

const SettingCase kSettingCases[] = {
    {"DefaultMeansNone", "0,", false, ""},
    {"FlagAndPath", "1,cut.dll", true, "cut.dll"},
    {"LaterCommasBelongToThePath", "1,a,b.dll", true, "a,b.dll"},
    {"FlagWithoutComma", "1", true, ""},
    {"ZeroFlagKeepsPath", "0,cut.dll", false, "cut.dll"},
    {"AnyNonZeroFlag", "-1,cut.dll", true, "cut.dll"},
    {"FlagLeadingBlanksSkipped", " 1,cut.dll", true, "cut.dll"},
    {"FlagThatIsNoNumberIsZero", "yes,cut.dll", false, "cut.dll"},
    {"EmptyFlag", ",cut.dll", false, "cut.dll"},
    {"PathKeepsItsBlanks", "1, my lib.dll ", true, " my lib.dll "},
};
INSTANTIATE_TEST_SUITE_P(Values, LibrarySettingTest, ::testing::ValuesIn(kSettingCases),
                         CaseName());

// --- Plain words for every failure ----------------------------------------------------------

struct DescriptionCase {
  const char* name;
  ParseError error;
  std::string_view words;
};

class DescribeParseErrorTest : public ::testing::TestWithParam<DescriptionCase> {};

TEST_P(DescribeParseErrorTest, SaysWhatWasWrong) {
  EXPECT_EQ(DescribeParseError(GetParam().error), GetParam().words);
}

const DescriptionCase kDescriptions[] = {
    {"MissingCount", {ParseFailure::kMissingCount, ""}, "the count is absent"},
    {"NegativeCount", {ParseFailure::kNegativeCount, "-2"}, "the byte count -2 is below zero"},
    {"MissingByte", {ParseFailure::kMissingByte, "3"}, "byte token 3 is absent"},
    {"MissingKind", {ParseFailure::kMissingKind, ""}, "the kind is absent"},
    {"MissingParameter",
     {ParseFailure::kMissingParameter, "1"},
     "kind 1 needs a parameter token, which is absent"},
    {"NoLibrary",
     {ParseFailure::kNoLibrary, "CutPaper"},
     "function CutPaper cannot be bound: the module uses no library (UseDll flag 0)"},
    {"LibraryNotLoaded",
     {ParseFailure::kLibraryNotLoaded, "CutPaper"},
     "function CutPaper cannot be bound: the module library was not found or did not load"},
    {"NameNotExported",
     {ParseFailure::kNameNotExported, "CutPaper"},
     "function CutPaper is not exported by the module library"},
    {"MissingSection", {ParseFailure::kMissingSection, ""}, "the section name is absent"},
    {"MissingTrigger", {ParseFailure::kMissingTrigger, ""}, "the trigger byte is absent"},
};
INSTANTIATE_TEST_SUITE_P(Failures, DescribeParseErrorTest, ::testing::ValuesIn(kDescriptions),
                         CaseName());

}  // namespace
}  // namespace quillmere
