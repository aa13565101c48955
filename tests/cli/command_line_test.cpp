// quillmere-cli run as a process: the option parsing and usage errors every command shares,
// --help, and `list` over a module folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "cli_fixture.h"

namespace quillmere::testing {
namespace {

using ::testing::StartsWith;

// An unusable command line exits 2 with nothing on standard output, and on standard error what
// is wrong and the usage line; --help answers on standard output with exit 0 before the command
// does any work. A value may start with a dash (a keyword may); "-" and all after "--" are
// arguments.
TEST(CommandLine, UsageErrorsAndHelp) {
  const std::string general = "\nusage: quillmere-cli <command> [options]\n";
  const std::string list =
      "\nusage: quillmere-cli list [--folder DIR]\n"
      "Run 'quillmere-cli list --help' for its options.\n";
  const std::string derive = "quillmere-cli derive: option '--";
  const std::vector<std::tuple<std::vector<std::string>, int, std::string>> rows{
      {{}, 2, "quillmere-cli: no command given" + general},
      {{"lsit"}, 2, "quillmere-cli: unknown command 'lsit'" + general},
      {{"--folder", "x", "list"}, 2, "quillmere-cli: unknown option '--folder'" + general},
      {{"list", "--fold", "x"}, 2, "quillmere-cli list: unknown option '--fold'" + list},
      {{"list", "-f"}, 2, "quillmere-cli list: unknown option '-f'" + list},
      {{"list", "--folder"}, 2, "quillmere-cli list: option '--folder' needs a value (DIR)" + list},
      {{"list", "a.ini"}, 2, "quillmere-cli list: takes no arguments, but got 'a.ini'" + list},
      {{"derive", "--yes=no"}, 2, derive + "yes' takes no value\nusage: quillmere-cli derive"},
      {{"derive", "--yes", "--yes"}, 2, derive + "yes' given twice\n"},
      {{"derive", "--void=a", "--void", "b"}, 2, derive + "void' given twice\n"},
      {{"inspect"}, 2, "quillmere-cli inspect: takes one module file\nusage: quillmere-cli"},
      {{"inspect", "a", "b"}, 2, "quillmere-cli inspect: takes one module file\n"},
      {{"inspect", "--", "--json"},
       2,
       "quillmere-cli inspect: cannot read the module file '--json'"},
      {{"inspect", "-"}, 2, "quillmere-cli inspect: cannot read the module file '-'\n"},
      {{"list", "--folder", "--help"}, 1, Line(MessageId::kFolderMissing)},
      {{"--help"},
       0,
       "usage: quillmere-cli <command> [options]\n\ncommands:\n"
       "  quillmere-cli list [--folder DIR]\n  quillmere-cli derive [--folder"},
      {{"list", "--folder", "/absent", "--help"}, 0, "usage: quillmere-cli list [--folder DIR]\n"},
      {{"derive", "--help"}, 0, "usage: quillmere-cli derive [--folder DIR] --base FILE --name"},
  };
  for (const auto& [given, status, expected] : rows) {
    const ProcessResult run = RunCli(given);
    EXPECT_EQ(run.exitStatus, status) << expected;
    EXPECT_THAT(status == 0 ? run.out : run.err, StartsWith(expected));
    EXPECT_EQ(status == 0 ? run.err : run.out, "") << expected;
  }
}

// One line per module file, its file name and Module_Name split by a tab, in the folder's
// order (names compared ignoring case); files not ending in ".ini" are not offered.
TEST(ListCommand, PrintsFileNameTabModuleName) {
  const TempFolder temp;
  temp.Write("m/Star.INI", "[Main]\r\nUseDll=0,\r\n");
  temp.Write("m/Epson.ini", "; receipt printer\r\n[Main]\r\nModule_Name=Epson TM-T88\r\n");
  temp.Write("m/readme.txt", "[Main]\r\nModule_Name=Not a module\r\n");
  temp.Write("m/aclas.ini", "[main]\nModule_Name=Aclas PP7X\n");
  const ProcessResult run = RunCli({"list", "--folder", temp.PathOf("m")});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, "aclas.ini\tAclas PP7X\nEpson.ini\tEpson TM-T88\nStar.INI\t\n");
}

// Without --folder the folder is "Printer Commands" beside the executable. No folder is
// message 1, no module file in it message 2; both exit 1 with nothing listed.
TEST(ListCommand, FolderBesideTheExecutableAndTheScanMessages) {
  const TempFolder temp;
  const std::string cli = temp.PathOf("tool/quillmere-cli");
  temp.MakeFolder("tool");
  std::filesystem::copy_file(kCliPath, cli);
  const auto expect = [](const ProcessResult& run, int status, const std::string& out,
                         const std::string& err) {
    EXPECT_EQ(run.exitStatus, status) << out << err;
    EXPECT_EQ(run.out, out);
    EXPECT_EQ(run.err, err);
  };
  expect(RunProcess(cli, {"list"}), 1, "", Line(MessageId::kFolderMissing));
  expect(RunCli({"list", "--folder", temp.PathOf("absent")}), 1, "",
         Line(MessageId::kFolderMissing));
  temp.Write("tool/Printer Commands/Epson.ini.bak", "[Main]\r\nModule_Name=Old\r\n");
  expect(RunProcess(cli, {"list"}), 1, "", Line(MessageId::kNoModuleFiles));
  temp.Write("tool/Printer Commands/Epson.ini", "[Main]\r\nModule_Name=Beside\r\n");
  expect(RunProcess(cli, {"list"}), 0, "Epson.ini\tBeside\n", "");
}

}  // namespace
}  // namespace quillmere::testing
