// What the end-to-end tests of quillmere-cli share: running the built tool as a process, and a
// copy of the sample module folder in a temporary folder to run it on.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "support/run_process.h"
#include "support/temp_folder.h"

namespace quillmere::testing {

// The built tool and the sample folder placed beside it (compile definitions of the suite).
inline const std::string kCliPath = QUILLMERE_CLI;
inline const std::string kSampleFolder = QUILLMERE_SAMPLE_FOLDER;

class CliTest : public ::testing::Test {
 protected:
  // Runs the built quillmere-cli with `arguments`; standard input is empty unless given.
  static ProcessResult RunCli(const std::vector<std::string>& arguments,
                              const ProcessOptions& options = {});

  // Copies every file of the sample folder into `name` inside the temporary folder; gives the
  // copy's full path.
  std::string CopySamples(std::string_view name = "Printer Commands") const;

  // A copy of quillmere-cli at `name` inside the temporary folder, so that the folder beside
  // the executable is one the test controls; gives its full path.
  std::string CopyCli(std::string_view name) const;

  TempFolder temp;
};

// The module files (names ending in ".ini", any case) of a folder, sorted by bytes.
[[nodiscard]] std::vector<std::string> ModuleFileNames(const TempFolder& temp,
                                                       std::string_view folder);

}  // namespace quillmere::testing
