// One run of the built quillmere-cli per command, as a script runs it: a process with no
// terminal, its outputs and its exit status.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli_run.h"
#include "support/run_process.h"

namespace quillmere::testing {
namespace {

using ::testing::HasSubstr;

const std::string kCli = QUILLMERE_CLI;

// Without --folder, the folder "Printer Commands" beside the executable.
TEST(Smoke, ListsTheFolderBesideTheTool) {
  const ProcessResult run = RunProcess(kCli, {"list"});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_THAT(run.out, HasSubstr("EpsonTM88.ini\tEpsonTM88\n"));
}

// The derived module then loads whole: inspect finds nothing left out.
TEST(Smoke, DerivesAModuleThatInspectFindsWhole) {
  const TempFolder temp;
  const std::string folder = CopySamples(temp, "Printer Commands");
  const ProcessResult derive =
      RunProcess(kCli, {"derive", "--folder", folder, "--base", "EpsonTM88.ini", "--name",
                        "Epson_9", "--void", "Void", "--stop", "Cash"});
  EXPECT_EQ(derive.exitStatus, 0) << derive.err;
  EXPECT_EQ(derive.out, "Success\n");
  const ProcessResult inspect = RunProcess(kCli, {"inspect", folder + "/Epson_9.ini"});
  EXPECT_EQ(inspect.exitStatus, 0) << inspect.out;
  EXPECT_THAT(inspect.out, HasSubstr("Module \"Epson_9\" in " + folder + "/Epson_9.ini\n"));
}

}  // namespace
}  // namespace quillmere::testing
