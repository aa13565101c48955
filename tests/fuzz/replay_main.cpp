// Replays the export-table fuzz target's corpus as libFuzzer would, for a build without libFuzzer:
// every file named, and every file in every folder named, goes once through
// LLVMFuzzerTestOneInput, which stops the run on a broken rule; a run that finds no input fails.
// With --write FOLDER it writes the corpus instead: every image the platform tests build, one
// file per case, and a copy of each further file named (the module libraries built here).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <vector>

#include "platform/export_images.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  if (argc > 2 && std::string_view(argv[1]) == "--write") {
    fs::create_directories(argv[2]);
    for (const quillmere::testing::ImageCase& image : quillmere::testing::BuiltImageCases()) {
      std::ofstream(fs::path(argv[2]) / image.name, std::ios::binary)
          .write(reinterpret_cast<const char*>(image.bytes.data()),
                 static_cast<std::streamsize>(image.bytes.size()));
    }
    for (int i = 3; i < argc; ++i) {
      fs::copy_file(argv[i], fs::path(argv[2]) / fs::path(argv[i]).filename(),
                    fs::copy_options::overwrite_existing);
    }
    return 0;
  }
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    if (fs::is_directory(argv[i])) {
      inputs.insert(inputs.end(), fs::directory_iterator(argv[i]), fs::directory_iterator());
    } else {
      inputs.emplace_back(argv[i]);
    }
  }
  for (const fs::path& input : inputs) {
    std::ifstream in(input, std::ios::binary);
    const std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::printf("%zu inputs replayed\n", inputs.size());
  return inputs.empty() ? 1 : 0;
}
