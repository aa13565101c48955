// Applies an operation script (script.h) through the Windows profile functions, on the files of
// one folder, and prints one result line per operation. Cross-built for 64-bit Windows and run
// under Wine by the conformance test: profile_harness SCRIPT FOLDER (Windows paths).
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "script.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: profile_harness SCRIPT FOLDER\n", stderr);
    return 2;
  }
  std::ifstream script(argv[1], std::ios::binary);
  if (!script) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 2;
  }
  // The first line tells the test that Wine started the harness at all.
  std::puts("harness started");
  using quillmere::conformance::Hex;
  for (std::string line; std::getline(script, line);) {
    const quillmere::conformance::Operation op = quillmere::conformance::ParseOperation(line);
    const std::string path = std::string(argv[2]) + "\\" + op.name;
    const char* section = op.section.c_str();
    const char* key = op.key.c_str();
    if (op.verb == "file") {
      std::FILE* file = std::fopen(path.c_str(), "wb");
      const bool written =
          file != nullptr && std::fwrite(op.text.data(), 1, op.text.size(), file) == op.text.size();
      std::puts(file != nullptr && std::fclose(file) == 0 && written ? "ok" : "file failed");
    } else if (op.verb == "read") {
      char buffer[260] = {};
      GetPrivateProfileStringA(section, key, op.text.c_str(), buffer, sizeof buffer, path.c_str());
      std::puts(Hex(buffer).c_str());
    } else if (op.verb == "int") {
      const UINT value = GetPrivateProfileIntA(section, key, op.number, path.c_str());
      std::printf("%d\n", static_cast<int>(value));
    } else {
      std::puts(WritePrivateProfileStringA(section, key, op.text.c_str(), path.c_str()) ? "1"
                                                                                        : "0");
      // Windows reads the file anew on every call; Wine keeps its parsed copy, which may differ
      // from the file it just saved, once the file is two seconds old. The flush call drops it.
      WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    }
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}
