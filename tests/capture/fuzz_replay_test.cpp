// The fuzz target's seed corpus (the sample captures, with every prefix of each, so that each
// command is also cut short) replayed under the compiler of the build.
#include <gtest/gtest.h>

#include "capture/capture_files.h"
#include "capture/decoder_invariants.h"

namespace quillmere::testing {
namespace {

TEST(FuzzReplayTest, SampleCapturesAndTheirPrefixesKeepEveryRule) {
  for (const std::string extension : {".bin", ".pcap", ".hex"}) {
    for (const std::string& name : SampleNames(extension)) {
      const std::vector<std::uint8_t> bytes = SampleCapture(name + extension);
      ASSERT_FALSE(bytes.empty()) << name << extension;
      for (std::size_t size = 0; size <= bytes.size(); ++size) {
        ASSERT_EQ(BrokenCaptureRule(std::span(bytes).first(size)), "")
            << name << extension << " cut to " << size << " bytes";
      }
    }
  }
}

}  // namespace
}  // namespace quillmere::testing
