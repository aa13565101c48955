// Reading the sample captures of data/captures and the small streams the tests write inline.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere::testing {

// The bytes of data/captures/<name>; fails the test when it cannot be read.
[[nodiscard]] std::vector<std::uint8_t> SampleCapture(std::string_view name);

// The same, as text.
[[nodiscard]] std::string SampleText(std::string_view name);

// The full path of data/captures/<name>.
[[nodiscard]] std::string SamplePath(std::string_view name);

// The names, without the extension, of the sample files that end in `extension`, sorted.
[[nodiscard]] std::vector<std::string> SampleNames(std::string_view extension = ".bin");

// A string's bytes as a stream.
[[nodiscard]] inline std::vector<std::uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

}  // namespace quillmere::testing
