// Which new module names make a file inside the module folder, and which file.
#include "derive/module_file_name.h"

#include <gtest/gtest.h>

#include "support/case_name.h"

namespace quillmere {
namespace {

TEST(ModuleFileName, AddsTheExtensionUnlessTheNameEndsInIt) {
  EXPECT_EQ(ModuleFileName("Epson_2"), "Epson_2.ini");
  EXPECT_EQ(ModuleFileName("Epson_2.INI"), "Epson_2.INI");
  EXPECT_EQ(ModuleFileName("Epson_2.ini.bak"), "Epson_2.ini.bak.ini");
  EXPECT_EQ(ModuleFileName("ini"), "ini.ini");
}

struct NameCase {
  std::string_view name;
  std::string moduleName;
  bool usable;
};
QUILLMERE_PRINT_ROW_AS_NAME(NameCase)

class UsableModuleName : public ::testing::TestWithParam<NameCase> {};

TEST_P(UsableModuleName, RefusesNamesThatAreNoFileOfTheFolder) {
  EXPECT_EQ(IsUsableModuleName(GetParam().moduleName), GetParam().usable)
      << "'" << GetParam().moduleName << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Names, UsableModuleName,
    ::testing::Values(NameCase{"Plain", "Epson_1", true},
                      NameCase{"WithExtension", "Epson_1.ini", true},
                      NameCase{"Blank", "Epson TM 88", true},
                      NameCase{"HighBytes", "\xC4pfel", true}, NameCase{"DotInside", "v1.2", true},
                      NameCase{"Slash", "../Epson", false}, NameCase{"Backslash", "a\\b", false},
                      NameCase{"Less", "a<b", false}, NameCase{"Greater", "a>b", false},
                      NameCase{"Colon", "C:x", false}, NameCase{"Quote", "a\"b", false},
                      NameCase{"Pipe", "a|b", false}, NameCase{"Question", "a?", false},
                      NameCase{"Star", "*", false}, NameCase{"Tab", "a\tb", false},
                      NameCase{"LineBreak", "a\nb", false}, NameCase{"Dot", ".", false},
                      NameCase{"DotDot", "..", false}, NameCase{"ThreeDots", "...", true},
                      NameCase{"Con", "CON", false}, NameCase{"ConLower", "con", false},
                      NameCase{"ConWithExtension", "Con.ini", false},
                      NameCase{"NulDotted", "nul.tar.gz", false}, NameCase{"Prn", "PRN", false},
                      NameCase{"Aux", "aux", false}, NameCase{"Com1", "COM1", false},
                      NameCase{"Com9", "com9", false}, NameCase{"Lpt5", "Lpt5.ini", false},
                      NameCase{"Com0", "COM0", true}, NameCase{"Com10", "COM10", true},
                      NameCase{"Console", "CONSOLE", true}, NameCase{"ConPrefix", "Con_1", true},
                      NameCase{"LongestFile", std::string(251, 'a'), true},
                      NameCase{"FileTooLong", std::string(252, 'a'), false},
                      NameCase{"LongestWithExtension", std::string(251, 'a') + ".ini", true},
                      NameCase{"WithExtensionTooLong", std::string(252, 'a') + ".ini", false}),
    testing::CaseName());

}  // namespace
}  // namespace quillmere
