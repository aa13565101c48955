// Feeds arbitrary bytes to the export-table reader: it must never read outside them, and every
// name it gives must be a NUL-terminated string of the bytes themselves.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/module_library.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const auto names = quillmere::ReadExportNames(bytes);
  if (!names) {
    return 0;
  }
  for (const std::string& name : *names) {
    std::vector<std::uint8_t> terminated(name.begin(), name.end());
    terminated.push_back(0);
    if (name.empty() || std::search(bytes.begin(), bytes.end(), terminated.begin(),
                                    terminated.end()) == bytes.end()) {
      __builtin_trap();
    }
  }
  return 0;
}
