// The dispatcher and the option parser every command shares, one row per way a command line can
// go wrong or ask for help; and `list`, which prints the catalogue.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli_run.h"

namespace quillmere::testing {
namespace {

// An unusable command line exits 2 with nothing on standard output, and on standard error what
// is wrong and the usage line; --help answers on standard output with exit 0 before the command
// does any work. A value may start with a dash; "-" and all after "--" are arguments.
TEST(CommandLine, UsageErrorsAndHelp) {
  const std::string general = "\nusage: quillmere-cli <command> [options]\n";
  const std::string list = "\nusage: quillmere-cli list [--folder DIR]\nRun 'quillmere-cli list";
  const std::string derive = "quillmere-cli derive: ";
  const std::string unreadable = "quillmere-cli inspect: cannot read the module file '";
  const struct {
    std::vector<std::string> given;
    int status;
    std::string starts;  // of standard output after exit 0, else of standard error
  } rows[] = {
      {{}, 2, "quillmere-cli: no command given" + general},
      {{"lsit"}, 2, "quillmere-cli: unknown command 'lsit'" + general},
      {{"--folder", "x", "list"}, 2, "quillmere-cli: unknown option '--folder'" + general},
      {{"list", "--fold", "x"}, 2, "quillmere-cli list: unknown option '--fold'" + list},
      {{"list", "-f"}, 2, "quillmere-cli list: unknown option '-f'\n"},
      {{"list", "--folder"}, 2, "quillmere-cli list: option '--folder' needs a value (DIR)\n"},
      {{"list", "a.ini"}, 2, "quillmere-cli list: takes no arguments, but got 'a.ini'" + list},
      {{"derive", "--yes=no"}, 2, derive + "option '--yes' takes no value\nusage: quillmere-cli"},
      {{"derive", "--void=a", "--void", "b"}, 2, derive + "option '--void' given twice\n"},
      {{"derive", "--form-feed", "--cut-paper"}, 2, derive + "--form-feed and --cut-paper exclude"},
      {{"derive", "--cut-paper", "--stop", "C"}, 2, derive + "--stop cannot be given with --form"},
      {{"derive", "x.ini"}, 2, derive + "takes no arguments, but got 'x.ini'\nusage:"},
      {{"inspect"}, 2, "quillmere-cli inspect: takes one module file\nusage: quillmere-cli"},
      {{"inspect", "--", "--json"}, 2, unreadable + "--json'\n"},
      {{"inspect", "-"}, 2, unreadable + "-'\n"},
      {{"inspect", "."}, 2, unreadable + ".'\n"},
      {{"list", "--folder", "--help"}, 1, Line(MessageId::kFolderMissing)},
      {{"--help"},
       0,
       "usage: quillmere-cli <command> [options]\n\ncommands:\n  quillmere-cli list"},
      {{"list", "--folder", "/absent", "--help"}, 0, "usage: quillmere-cli list [--folder DIR]\n"},
      {{"derive", "--help"}, 0, "usage: quillmere-cli derive [--folder DIR] --base FILE --name"},
  };
  for (const auto& row : rows) {
    const CliRun run = RunCli(row.given);
    EXPECT_EQ(run.status, row.status) << row.starts;
    EXPECT_THAT(row.status == 0 ? run.out : run.err, ::testing::StartsWith(row.starts));
    EXPECT_EQ(row.status == 0 ? run.err : run.out, "") << row.starts;
  }
}

// One line per module file: its file name as listed, a tab, its Module_Name.
TEST(ListCommand, PrintsFileNameTabModuleName) {
  const TempFolder temp;
  temp.Write("Epson.INI", "[Main]\r\nModule_Name=Epson TM-T88\r\n");
  const CliRun run = RunCli({"list", "--folder", temp.path()});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "Epson.INI\tEpson TM-T88\n");
  EXPECT_EQ(run.err, "");
}

}  // namespace
}  // namespace quillmere::testing
