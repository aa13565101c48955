// The export-table fuzz target: any bytes at all must keep the rules the reader keeps on every
// input (export_images.h); a broken rule stops the run. Built with QUILLMERE_LIBFUZZER it is
// a libFuzzer target. Otherwise its main replays the corpus as libFuzzer would, every file of the
// folders named, failing when it finds none; with --write FOLDER it writes the well-formed built
// image of every layout into the corpus instead.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/export_images.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string violation = quillmere::testing::ExportTableViolation({data, size});
  if (!violation.empty()) {
    std::fprintf(stderr, "export table: %s\n", violation.c_str());
    std::abort();
  }
  return 0;
}

#ifndef QUILLMERE_LIBFUZZER
int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  if (argc == 3 && std::string_view(argv[1]) == "--write") {
    fs::create_directories(argv[2]);
    for (const std::string_view layout : quillmere::testing::kLayouts) {
      const quillmere::testing::Image image = quillmere::testing::BuildImage(layout).value();
      std::ofstream(fs::path(argv[2]) / layout, std::ios::binary)
          .write(reinterpret_cast<const char*>(image.data()),
                 static_cast<std::streamsize>(image.size()));
    }
    return 0;
  }
  std::size_t replayed = 0;
  for (int i = 1; i < argc; ++i) {
    for (const fs::directory_entry& input : fs::directory_iterator(argv[i])) {
      std::ifstream in(input.path(), std::ios::binary);
      const std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
      LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
      ++replayed;
    }
  }
  std::printf("%zu inputs replayed\n", replayed);
  return replayed == 0 ? 1 : 0;
}
#endif
