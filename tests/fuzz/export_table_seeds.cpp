// Writes the export-table target's seeds into the folder named: the well-formed image of every
// layout that the platform tests build.
#include <filesystem>
#include <fstream>
#include <string_view>

#include "platform/export_images.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    return 2;
  }
  std::filesystem::create_directories(argv[1]);
  for (const std::string_view layout : quillmere::testing::kLayouts) {
    const quillmere::testing::Image image = quillmere::testing::BuildImage(layout).value();
    std::ofstream(std::filesystem::path(argv[1]) / layout, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
  }
  return 0;
}
