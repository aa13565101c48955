#include "cli_fixture.h"

#include <algorithm>
#include <filesystem>

#include "platform/text.h"

namespace quillmere::testing {
namespace fs = std::filesystem;

ProcessResult CliTest::RunCli(const std::vector<std::string>& arguments,
                              const ProcessOptions& options) {
  ProcessResult result = RunProcess(kCliPath, arguments, options);
  EXPECT_EQ(result.error, "");
  return result;
}

std::string CliTest::CopySamples(std::string_view name) const {
  std::string copy = temp.MakeFolder(name);
  for (const auto& entry : fs::directory_iterator(kSampleFolder)) {
    if (entry.is_regular_file()) {
      fs::copy_file(entry.path(), fs::path(copy) / entry.path().filename());
    }
  }
  return copy;
}

std::string CliTest::CopyCli(std::string_view name) const {
  std::string copy = temp.PathOf(name);
  fs::create_directories(fs::path(copy).parent_path());
  fs::copy_file(kCliPath, copy);
  return copy;
}

std::vector<std::string> ModuleFileNames(const TempFolder& temp, std::string_view folder) {
  std::vector<std::string> names = temp.List(folder);
  std::erase_if(names,
                [](const std::string& name) { return !text::EndsWithIgnoreCase(name, ".ini"); });
  return names;
}

}  // namespace quillmere::testing
