// Generates module files of any size for the benchmarks: a [Main] section and the three record
// lists, numbered from 1, in the shape real module files have, with CRLF line endings.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace quillmere::bench {

struct GeneratedModule {
  std::string bytes;
  std::vector<std::pair<std::string, std::string>> keys;  // every (section, key), file order
};

// A module file holding about `recordCount` keys spread over the record lists.
inline GeneratedModule GenerateModuleFile(std::size_t recordCount) {
  GeneratedModule module;
  auto add = [&module](const std::string& section, const std::string& key,
                       const std::string& value) {
    module.bytes += key + "=" + value + "\r\n";
    module.keys.emplace_back(section, key);
  };
  module.bytes += "; generated for the profile store benchmark\r\n[Main]\r\n";
  add("Main", "Module_Name", "Bench");
  add("Main", "UseDll", "0,");
  add("Main", "WaitTime", "30");

  const std::size_t perList = recordCount / 3 + 1;
  const std::vector<std::pair<std::string, std::string>> lists = {
      {"Single-Command", "C-Num"}, {"ChangeLine-Command", "S-Num"}, {"Mutli-Command", "M-Num"}};
  for (const auto& [section, count] : lists) {
    module.bytes += "\r\n[" + section + "]\r\n";
    add(section, count, std::to_string(perList));
    for (std::size_t i = 1; i <= perList; ++i) {
      add(section, std::to_string(i),
          std::to_string(i % 7 + 1) + ",1B,40,0C,1D,56,41," + std::to_string(i) + ",TRAN_STOP");
    }
  }
  return module;
}

}  // namespace quillmere::bench
