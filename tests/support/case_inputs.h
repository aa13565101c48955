// The inputs of a golden case: the case's file "inputs", one "name=value" a line, the value
// being everything after the first "="; lines starting with "#" say what the case shows. "\xHH"
// in a value stands for that byte, so keywords with control or code-page bytes stay readable.
#pragma once

#include <map>
#include <sstream>
#include <string>
#include <string_view>

#include "support/golden.h"

namespace quillmere::testing {

class CaseInputs {
 public:
  CaseInputs(std::string_view area, std::string_view caseName) {
    std::istringstream lines(ReadCaseFile(area, caseName, "inputs"));
    for (std::string line; std::getline(lines, line);) {
      const std::size_t equals = line.find('=');
      if (!line.starts_with('#') && equals != std::string::npos) {
        values_[line.substr(0, equals)] = Unescaped(line.substr(equals + 1));
      }
    }
  }

  // The value of `name`, or `absent` when the case does not give it.
  [[nodiscard]] std::string Get(std::string_view name, std::string_view absent = {}) const {
    const auto found = values_.find(name);
    return found == values_.end() ? std::string(absent) : found->second;
  }
  [[nodiscard]] bool Has(std::string_view name) const { return values_.contains(name); }

 private:
  static std::string Unescaped(const std::string& value) {
    std::string bytes;
    for (std::size_t i = 0; i < value.size(); ++i) {
      if (value.compare(i, 2, "\\x") == 0 && i + 4 <= value.size()) {
        bytes += static_cast<char>(std::stoi(value.substr(i + 2, 2), nullptr, 16));
        i += 3;
      } else {
        bytes += value[i];
      }
    }
    return bytes;
  }

  std::map<std::string, std::string, std::less<>> values_;
};

}  // namespace quillmere::testing
