// The export-table fuzz target: any bytes at all must keep the rules the reader keeps on every
// input (export_table_check.h); a broken rule stops the run. Under Clang it is a libFuzzer
// target; under any compiler replay_main.cpp runs it over the corpus in ctest.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/export_table_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string violation = quillmere::testing::ExportTableViolation({data, size});
  if (!violation.empty()) {
    std::fprintf(stderr, "export table: %s\n", violation.c_str());
    std::abort();
  }
  return 0;
}
