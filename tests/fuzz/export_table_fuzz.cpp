// The export-table readers fed any bytes: every rule the reader keeps on every input
// (export_images.h) must hold.
#include <cstdint>

#include "fuzz/fuzz_target.h"
#include "platform/export_images.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string violation = quillmere::testing::ExportTableViolation({data, size});
  if (!violation.empty()) {
    std::fprintf(stderr, "export table: %s\n", violation.c_str());
  }
  quillmere::fuzzing::Require(violation.empty(), "the export table reads as a library has it");
  return 0;
}
