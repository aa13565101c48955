// What must hold for any bytes at all given to the capture library: the decoder accounts for
// every byte once, in order, and splits the whole stream into receipts; the text, the triggers
// and the readers come back without reading outside the stream. Shared by the fuzz target and
// the replay of its seed corpus.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace quillmere::testing {

// Empty when every rule holds; otherwise the first rule broken.
[[nodiscard]] std::string BrokenCaptureRule(std::span<const std::uint8_t> bytes);

}  // namespace quillmere::testing
