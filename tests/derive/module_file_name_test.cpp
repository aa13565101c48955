// Which new module names make a file inside the module folder, and which file.
#include "derive/module_file_name.h"

#include <gtest/gtest.h>

#include <string>

namespace quillmere {
namespace {

TEST(ModuleFileName, AddsTheExtensionUnlessTheNameEndsInIt) {
  EXPECT_EQ(ModuleFileName("Epson_2"), "Epson_2.ini");
  EXPECT_EQ(ModuleFileName("Epson_2.INI"), "Epson_2.INI");
  EXPECT_EQ(ModuleFileName("Epson_2.ini.bak"), "Epson_2.ini.bak.ini");
  EXPECT_EQ(ModuleFileName("ini"), "ini.ini");
}

TEST(UsableModuleName, TakesNamesOfOneFileInTheFolder) {
  for (const std::string& name :
       {std::string("Epson_1"), std::string("Epson_1.ini"), std::string("Epson TM 88"),
        std::string("\xC4pfel"), std::string("v1.2"), std::string("..."), std::string("COM0"),
        std::string("COM10"), std::string("CONSOLE"), std::string("Con_1"), std::string(251, 'a'),
        std::string(251, 'a') + ".ini"}) {
    EXPECT_TRUE(IsUsableModuleName(name)) << name;
  }
}

TEST(UsableModuleName, RefusesPathsDevicesAndOverlongNames) {
  for (const std::string& name :
       {std::string("../Epson"), std::string("a\\b"),       std::string("a<b"),
        std::string("a>b"),      std::string("C:x"),        std::string("a\"b"),
        std::string("a|b"),      std::string("a?"),         std::string("*"),
        std::string("a\tb"),     std::string("a\nb"),       std::string("."),
        std::string(".."),       std::string("CON"),        std::string("con"),
        std::string("Con.ini"),  std::string("nul.tar.gz"), std::string("PRN"),
        std::string("aux"),      std::string("COM1"),       std::string("com9"),
        std::string("Lpt5.ini"), std::string(252, 'a'),     std::string(252, 'a') + ".ini"}) {
    EXPECT_FALSE(IsUsableModuleName(name)) << name;
  }
}

}  // namespace
}  // namespace quillmere
