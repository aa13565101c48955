// The dispatcher and the option parser every command shares (what `list` prints: the smoke test).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli_run.h"

namespace quillmere::testing {
namespace {

// A bad command line exits 2 with the fault and usage on standard error; -h, --help, help and
// --version exit 0 first.
TEST(CommandLine, UsageErrorsAndHelp) {
  const std::string general = "\nusage: quillmere-cli <command> [options]\n";
  const std::string list =
      "\nusage: quillmere-cli list [--folder DIR] [--json]\nRun 'quillmere-cli list";
  const std::string deriveUsage = "usage: quillmere-cli derive [--folder DIR] --base FILE --name";
  const std::string samples = "the module folder '" + kSampleFolder + "' holds: Barcode80.ini, ";
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
      {{"inspect", "--", "--json"}, 2, unreadable + "--json': there is no such file\n"},
      {{"inspect", "-"}, 2, unreadable + "-': there is no such file\n"},
      {{"inspect", "."}, 2, unreadable + ".': it is no regular file"},
      {{"list", "--code-page", "1252x"}, 2, "quillmere-cli list: no code page 1252x here ("},
      {{"help", "lsit"}, 2, "quillmere-cli: help takes one command's name" + general},
      // A keyword may start with "-": "-h" after --void is its value.
      {{"derive", "--void", "-h"}, 2, derive + "--base is missing; " + samples},
      {{"derive", "--base", "Absent.ini"}, 2, derive + "--base 'Absent.ini' is not a module of "},
      {{"list", "--folder", "--help"}, 1, "Can't Find Printer Command Folder\nlooked for --help\n"},
      {{"--help"}, 0, general.substr(1) + "\ncommands:\n  quillmere-cli list"},
      {{"-h"}, 0, general.substr(1)},
      {{"help"}, 0, general.substr(1)},
      {{"--version"}, 0, "quillmere-cli " QUILLMERE_VERSION "\n"},
      {{"list", "--folder", "/absent", "--help"}, 0, "usage: quillmere-cli list [--folder DIR]"},
      {{"inspect", "-h"}, 0, "usage: quillmere-cli inspect FILE [--json]\n"},
      {{"derive", "--help"},
       0,
       deriveUsage + " NAME [--void KEYWORD]\n"
                     "       [--stop KEYWORD | --form-feed | --cut-paper]"},
      {{"help", "derive"}, 0, deriveUsage},
  };
  for (const auto& row : rows) {
    const CliRun run = RunCli(row.given);
    EXPECT_EQ(run.status, row.status) << row.starts;
    EXPECT_THAT(row.status == 0 ? run.out : run.err, ::testing::StartsWith(row.starts));
    EXPECT_EQ(row.status == 0 ? run.err : run.out, "") << row.starts;
  }
}

}  // namespace
}  // namespace quillmere::testing
