// The shop's code page: the locale table, the conversions at the core's edges and the lead bytes
// the text helpers follow, as rule tables under tests/data/code_page; and where the machine's
// code page comes from.
#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/text.h"
#include "support/environment_variable.h"
#include "support/golden.h"

namespace quillmere::codepage {
namespace {

std::string Unquoted(std::string_view text) {
  const std::string quoted = testing::Quoted(text);
  return quoted.substr(1, quoted.size() - 2);
}

std::string Shown(const Converted& converted) {
  if (const auto* error = std::get_if<ConversionError>(&converted)) {
    return "refused: " + Unquoted(error->description);
  }
  return testing::Quoted(std::get<std::string>(converted));
}

// The rows of the tables: "locale NAME", "from-utf8 CP TEXT", "to-utf8 CP BYTES", "display CP
// BYTES", "file-name CP TEXT", "lead CP BYTE", "equal CP A B" and "find CP TEXT CHAR".
std::string Answer(const testing::Words& call) {
  if (call.at(0) == "locale") {
    return std::to_string(CodePageOfLocale(call.at(1)));
  }
  const auto codePage = static_cast<CodePage>(std::stoul(call.at(1)));
  const ActiveCodePageScope scope(codePage);
  const std::string& text = call.at(2);
  if (call[0] == "from-utf8") {
    return Shown(FromUtf8(text, codePage));
  }
  if (call[0] == "to-utf8") {
    return Shown(ToUtf8(text, codePage));
  }
  if (call[0] == "display") {
    return testing::Quoted(ToUtf8ForDisplay(text, codePage));
  }
  if (call[0] == "file-name") {
    return Shown(TextToFileName(text));
  }
  if (call[0] == "lead") {
    return IsActiveLeadByte(static_cast<std::uint8_t>(std::stoul(text, nullptr, 16))) ? "yes"
                                                                                      : "no";
  }
  if (call[0] == "equal") {
    return text::EqualsIgnoreCase(text, call.at(3)) ? "equal" : "differ";
  }
  const std::size_t found = text::FindChar(text, call.at(3).at(0));
  return found == std::string_view::npos ? "none" : std::to_string(found);
}

QUILLMERE_GOLDEN_CASES(Golden, CodePageTable, "code_page");

TEST_P(CodePageTable, AnswersAsTheRulesSay) {
#ifdef _WIN32
  if (GetParam() == "file_names" || GetParam() == "johab") {
    GTEST_SKIP() << "Windows names files in its ANSI code page, and has its own Johab table";
  }
#endif
  testing::ExpectTableAnswers("code_page", GetParam(), "table.txt", Answer);
}

#ifndef _WIN32
// Off Windows the machine's code page is the locale's that decides the character type: LC_ALL,
// else LC_CTYPE, else LANG, as the C library takes them; file names are UTF-8.
TEST(CodePage, TheMachinesFollowsTheLocaleThatDecidesCharacters) {
  using testing::EnvironmentVariable;
  const EnvironmentVariable all("LC_ALL", nullptr);
  const EnvironmentVariable type("LC_CTYPE", "ja_JP.UTF-8");
  const EnvironmentVariable lang("LANG", "zh_TW.UTF-8");
  EXPECT_EQ(SystemCodePage(), 932U);
  {
    const EnvironmentVariable noType("LC_CTYPE", "");
    EXPECT_EQ(SystemCodePage(), 950U);
    const EnvironmentVariable allOfThem("LC_ALL", "ru_RU.UTF-8");
    EXPECT_EQ(SystemCodePage(), 1251U);
  }
  EXPECT_EQ(FileSystemCodePage(), kUtf8);
  EXPECT_TRUE(IsSupported(950) && IsSupported(1252) && IsSupported(kUtf8));
  EXPECT_FALSE(IsSupported(437) || IsSupported(0));
}
#endif

}  // namespace
}  // namespace quillmere::codepage
