// What the end-to-end tests of quillmere-cli share: the built tool run as a process, and copies
// of the sample module folder to run it on.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/messages.h"
#include "support/run_process.h"
#include "support/temp_folder.h"

namespace quillmere::testing {

// The built tool and the sample folder placed beside it (compile definitions of the suite).
inline const std::string kCliPath = QUILLMERE_CLI;
inline const std::string kSampleFolder = QUILLMERE_SAMPLE_FOLDER;

inline ProcessResult RunCli(const std::vector<std::string>& arguments) {
  return RunProcess(kCliPath, arguments);
}

// A message box as the terminal shows it: its text and a line end.
inline std::string Line(MessageId id) {
  return std::string(MessageText(id)) + "\n";
}

// Copies the files of the sample folder into `name` inside `temp`; gives the copy's path.
inline std::string CopySamples(const TempFolder& temp, std::string_view name) {
  const std::string copy = temp.MakeFolder(name);
  for (const auto& entry : std::filesystem::directory_iterator(kSampleFolder)) {
    std::filesystem::copy_file(entry.path(), std::filesystem::path(copy) / entry.path().filename());
  }
  return copy;
}

}  // namespace quillmere::testing
