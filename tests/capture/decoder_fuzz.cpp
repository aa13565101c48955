// Feeds arbitrary bytes to the capture library: every rule of decoder_invariants.h must hold.
#include <cstddef>
#include <cstdint>
#include <span>

#include "capture/decoder_invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!quillmere::testing::BrokenCaptureRule(std::span(data, size)).empty()) {
    __builtin_trap();
  }
  return 0;
}
