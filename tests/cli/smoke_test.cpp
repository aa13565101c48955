// One run of the built quillmere-cli per command, as a script runs it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "cli_run.h"

namespace quillmere::testing {
namespace {

// The shell runs the tool with `arguments`, no terminal; its exit status and both outputs.
std::pair<int, std::string> RunTool(const std::string& arguments) {
  const TempFolder temp;
  const std::string output = temp.PathOf("output");
  const int status = std::system(
      ("'" QUILLMERE_CLI "' " + arguments + " </dev/null >'" + output + "' 2>&1").c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, temp.Read("output")};
}

// list looks beside the tool; derive writes a module that inspect then finds whole.
TEST(Smoke, EachCommandAsAScriptRunsIt) {
  const auto [listed, list] = RunTool("list");
  EXPECT_EQ(listed, 0) << list;
  EXPECT_THAT(list, ::testing::HasSubstr("\tEpsonTM88\tEpsonTM88.ini\n"));
  const TempFolder temp;
  const std::string folder = CopySamples(temp, "Printer Commands");
  EXPECT_EQ(RunTool("derive --folder '" + folder +
                    "' --base EpsonTM88.ini --name Epson_9 --void Void --stop Cash"),
            std::pair(0, "Success\n" + folder + "/Epson_9.ini\n"));
  const auto [inspected, inspection] = RunTool("inspect '" + folder + "/Epson_9.ini'");
  EXPECT_EQ(inspected, 0) << inspection;
  EXPECT_THAT(inspection,
              ::testing::HasSubstr("Module \"Epson_9\" in " + folder + "/Epson_9.ini\n"));
}

}  // namespace
}  // namespace quillmere::testing
