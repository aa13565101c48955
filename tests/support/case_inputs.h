// The inputs of a golden case: its file "inputs", one "name=value" a line (the value is all after
// the first "="); lines starting with "#" say what the case shows. "\xHH" in a value stands for
// that byte, so keywords with control or code-page bytes stay readable.
#pragma once

#include <map>
#include <sstream>
#include <string>
#include <string_view>

#include "support/golden.h"

namespace quillmere::testing {

using CaseInputs = std::map<std::string, std::string, std::less<>>;

[[nodiscard]] inline CaseInputs ReadCaseInputs(std::string_view area, std::string_view caseName) {
  CaseInputs inputs;
  std::istringstream lines(ReadCaseFile(area, caseName, "inputs"));
  for (std::string line; std::getline(lines, line);) {
    const std::size_t equals = line.find('=');
    if (line.starts_with('#') || equals == std::string::npos) {
      continue;
    }
    std::string& value = inputs[line.substr(0, equals)];
    for (std::size_t i = equals + 1; i < line.size(); ++i) {
      const bool escape = line.compare(i, 2, "\\x") == 0 && i + 4 <= line.size();
      value += escape ? static_cast<char>(std::stoi(line.substr(i + 2, 2), nullptr, 16)) : line[i];
      i += escape ? 3 : 0;
    }
  }
  return inputs;
}

// The value of `name`, or `absent` when the case does not give it.
[[nodiscard]] inline std::string InputOr(const CaseInputs& inputs, std::string_view name,
                                         std::string_view absent = {}) {
  const auto found = inputs.find(name);
  return found == inputs.end() ? std::string(absent) : found->second;
}

}  // namespace quillmere::testing
