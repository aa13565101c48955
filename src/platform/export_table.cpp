// Reads a module library's exported names without running any of it: the bytes are handed to
// the reader of each library format in turn, and the first that knows the format decides.
#include <algorithm>

#include "platform/export_readers.h"
#include "platform/module_library.h"

namespace quillmere {

std::optional<std::vector<std::string>> ReadExportNames(std::span<const std::uint8_t> image) {
  for (const auto reader : {binary::ReadPeExports, binary::ReadElfExports}) {
    binary::ExportReading reading = reader(image);
    if (!reading.recognised) {
      continue;
    }
    if (reading.names) {
      // Sorted and without repeats, so that a look-up is a binary search and equal images give
      // equal lists whatever order their tables hold.
      std::sort(reading.names->begin(), reading.names->end());
      reading.names->erase(std::unique(reading.names->begin(), reading.names->end()),
                           reading.names->end());
    }
    return std::move(reading.names);
  }
  return std::nullopt;
}

}  // namespace quillmere
