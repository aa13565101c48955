// What the fuzz targets share. A target is one LLVMFuzzerTestOneInput that checks rules holding
// for any input: a broken rule stops the run, so that libFuzzer keeps the input as a crash file
// and the replay of a corpus fails. Inputs that stand for a call carry a module file with the
// call's arguments after it, each after a NUL: "file\0argument\0argument".
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/module_library.h"
#include "platform/profile_rules.h"

namespace quillmere::fuzzing {

inline void Require(bool holds, const char* rule) {
  if (!holds) {
    std::fprintf(stderr, "rule broken: %s\n", rule);
    std::abort();
  }
}

// The input's bytes as text.
inline std::string_view Text(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The file the input carries. The arguments after it, counted from the end, replace the last of
// `arguments` (which hold the defaults); a file without NULs keeps every default.
inline std::string_view SplitArguments(std::string_view input,
                                       std::vector<std::string>& arguments) {
  for (std::size_t i = arguments.size(); i-- > 0 && input.find('\0') != std::string_view::npos;) {
    const std::size_t nul = input.rfind('\0');
    arguments[i] = input.substr(nul + 1);
    input = input.substr(0, nul);
  }
  return input;
}

// The lines of a file, each with its ending.
inline std::vector<std::string_view> Lines(std::string_view file) {
  std::vector<std::string_view> lines;
  for (std::size_t at = 0; at < file.size();) {
    const std::size_t end = profile_rules::LineContentEnd(file, at);
    lines.push_back(file.substr(at, end + profile_rules::LineEndingLengthAt(file, end) - at));
    at += lines.back().size();
  }
  return lines;
}

// The text of a line without its ending.
inline std::string_view Content(std::string_view line) {
  return line.substr(0, std::min(line.find_first_of("\r\n"), line.size()));
}

// A module library exporting every name, so that every kind-3 record binds what it names.
struct EveryNameLibrary final : ModuleLibrary {
  [[nodiscard]] bool Exports(std::string_view /*name*/) const override { return true; }
};

}  // namespace quillmere::fuzzing
