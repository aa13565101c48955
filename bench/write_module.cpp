// Writes a generated module file (module_file_generator.h) for profiling by hand:
//   write_module RECORDS PATH [SEED]
// e.g. write_module 100000 /tmp/f/Bench.ini, then
//   valgrind --tool=callgrind quillmere-cli derive --folder /tmp/f --base Bench.ini --name D
#include <cstdio>
#include <string>

#include "module_file_generator.h"

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: write_module RECORDS PATH [SEED]\n");
    return 2;
  }
  const std::string bytes =
      argc == 4 ? quillmere::bench::GenerateModuleFile(
                      std::stoul(argv[1]), static_cast<std::uint32_t>(std::stoul(argv[3])))
                      .bytes
                : quillmere::bench::GenerateModuleFile(std::stoul(argv[1])).bytes;
  std::FILE* file = std::fopen(argv[2], "wb");
  if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() ||
      std::fclose(file) != 0) {
    std::fprintf(stderr, "write_module: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
