#include "capture/capture_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace quillmere::testing {

std::string SamplePath(std::string_view name) {
  return (std::filesystem::path(QUILLMERE_SAMPLE_CAPTURES) / name).string();
}

std::vector<std::uint8_t> SampleCapture(std::string_view name) {
  std::ifstream in(SamplePath(name), std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << SamplePath(name);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string SampleText(std::string_view name) {
  const std::vector<std::uint8_t> bytes = SampleCapture(name);
  return {bytes.begin(), bytes.end()};
}

std::vector<std::string> SampleNames(std::string_view extension) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(QUILLMERE_SAMPLE_CAPTURES)) {
    if (entry.path().extension() == extension) {
      names.push_back(entry.path().stem().string());
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace quillmere::testing
