// Writes the export-table fuzz target's corpus into a folder: every image the unit tests build,
// one file per case, and a copy of each library file named after the folder.
#include <filesystem>
#include <fstream>

#include "platform/export_images.h"

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  if (argc < 2) {
    return 2;
  }
  const fs::path folder = argv[1];
  fs::create_directories(folder);
  for (const quillmere::testing::ImageCase& image : quillmere::testing::BuiltImageCases()) {
    std::ofstream(folder / image.name, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.bytes.data()),
               static_cast<std::streamsize>(image.bytes.size()));
  }
  for (int i = 2; i < argc; ++i) {
    fs::copy_file(argv[i], folder / fs::path(argv[i]).filename(),
                  fs::copy_options::overwrite_existing);
  }
  return 0;
}
