// quillmere-cli's command line, run as a process: --help, and the usage errors every command
// shares (exit status 2, a short usage text on standard error, nothing on standard output).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "cli_fixture.h"
#include "support/case_name.h"

namespace quillmere::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

class CommandLineTest : public CliTest {};

TEST_F(CommandLineTest, HelpListsTheCommandsOnStandardOutput) {
  const ProcessResult result = RunCli({"--help"});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_THAT(result.out, StartsWith("usage: quillmere-cli <command> [options]\n"));
  EXPECT_THAT(result.out, HasSubstr("\n  quillmere-cli list [--folder DIR]\n"));
}

TEST_F(CommandLineTest, CommandHelpShowsItsOptions) {
  const ProcessResult result = RunCli({"list", "--help"});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_THAT(result.out, StartsWith("usage: quillmere-cli list [--folder DIR]\n"));
  EXPECT_THAT(result.out, HasSubstr("  --folder DIR  the module folder"));
  EXPECT_THAT(result.out, HasSubstr("  --help        show this text\n"));
}

TEST_F(CommandLineTest, HelpWinsOverTheCommandsWork) {
  const ProcessResult result = RunCli({"list", "--folder", temp.PathOf("absent"), "--help"});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_THAT(result.out, StartsWith("usage: quillmere-cli list"));
}

struct UsageCase {
  const char* name;
  std::vector<std::string> arguments;
  const char* complaint;  // the first line on standard error
  const char* usage;      // the usage line that follows
  // Rows print as their names, so the test names stay readable.
  friend void PrintTo(const UsageCase& row, std::ostream* os) { *os << row.name; }
};

class UsageErrorTest : public CliTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(UsageErrorTest, ExitsWith2AndUsageOnStandardError) {
  const ProcessResult result = RunCli(GetParam().arguments);
  EXPECT_EQ(result.exitStatus, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_THAT(result.err, StartsWith(std::string(GetParam().complaint) +
                                     "\nusage: " + GetParam().usage + "\n"));
  EXPECT_THAT(result.err, HasSubstr("--help' for "));
}

INSTANTIATE_TEST_SUITE_P(
    Cli, UsageErrorTest,
    ::testing::Values(UsageCase{"NoCommand",
                                {},
                                "quillmere-cli: no command given",
                                "quillmere-cli <command> [options]"},
                      UsageCase{"UnknownCommand",
                                {"lsit"},
                                "quillmere-cli: unknown command 'lsit'",
                                "quillmere-cli <command> [options]"},
                      UsageCase{"OptionBeforeTheCommand",
                                {"--folder", "x", "list"},
                                "quillmere-cli: unknown option '--folder'",
                                "quillmere-cli <command> [options]"},
                      UsageCase{"UnknownOption",
                                {"list", "--bogus"},
                                "quillmere-cli list: unknown option '--bogus'",
                                "quillmere-cli list [--folder DIR]"},
                      UsageCase{"FolderWithoutItsValue",
                                {"list", "--folder"},
                                "quillmere-cli list: option '--folder' needs a value (DIR)",
                                "quillmere-cli list [--folder DIR]"},
                      UsageCase{"ArgumentListDoesNotTake",
                                {"list", "Epson.ini"},
                                "quillmere-cli list: takes no arguments, but got 'Epson.ini'",
                                "quillmere-cli list [--folder DIR]"}),
    CaseName());

}  // namespace
}  // namespace quillmere::testing
