#include "platform/export_table_check.h"

#include <algorithm>
#include <vector>

#include "platform/module_library.h"

namespace quillmere::testing {

std::string ExportTableViolation(std::span<const std::uint8_t> bytes) {
  const std::optional<std::vector<std::string>> names = ReadExportNames(bytes);
  if (!names) {
    return {};
  }
  if (std::adjacent_find(names->begin(), names->end(), std::greater_equal<>()) != names->end()) {
    return "the names are not sorted or not unique";
  }
  for (const std::string& name : *names) {
    const std::vector<std::uint8_t> terminated(name.c_str(), name.c_str() + name.size() + 1);
    if (name.empty() || std::search(bytes.begin(), bytes.end(), terminated.begin(),
                                    terminated.end()) == bytes.end()) {
      return "\"" + name + "\" is no NUL-terminated string of the image";
    }
  }
  return {};
}

}  // namespace quillmere::testing
