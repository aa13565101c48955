// The printer's side of a packet capture put back in sequence order. The recognition of a format,
// the hex dump forms and the warnings are golden tables (capture_tables_test.cpp).
#include "capture/capture_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "capture/capture_files.h"
#include "capture/tcp_stream.h"

namespace quillmere::capture {
namespace {

using namespace std::string_literals;
using testing::Bytes;

TcpSegment Segment(std::string from, std::uint32_t sequence, const std::string& payload,
                   bool syn = false, std::uint16_t port = 9100) {
  return {std::move(from), "printer", port, sequence, syn, Bytes(payload)};
}

std::string Reassembled(const std::vector<TcpSegment>& segments) {
  const PrinterStream stream = ReassemblePrinterStream(segments);
  std::string text(stream.bytes.begin(), stream.bytes.end());
  for (const std::string& gap : stream.gaps) {
    text += " (" + gap + ")";
  }
  return text;
}

// Sequence order, each byte once; connections in the order they began; other ports left out.
TEST(TcpStreamTest, PutsThePrintersBytesBackInOrder) {
  EXPECT_EQ(
      Reassembled({Segment("a", 100, "", true), Segment("a", 100, "abc"), Segment("a", 106, "ghi"),
                   Segment("a", 103, "def"), Segment("a", 103, "def")}),
      "abcdefghi");
  EXPECT_EQ(Reassembled({Segment("a", 100, "abcd"), Segment("a", 102, "cdef")}), "abcdef");
  EXPECT_EQ(Reassembled({Segment("a", 0xFFFFFFFFU, "", true), Segment("a", 1, "cd"),
                         Segment("a", 0xFFFFFFFFU, "ab")}),
            "abcd");
  EXPECT_EQ(Reassembled({Segment("b", 5, "second"), Segment("a", 7, "web", false, 80),
                         Segment("c", 9, "third", false, 9102), Segment("b", 11, "!")}),
            "second!third");
  EXPECT_EQ(Reassembled({Segment("a", 100, "abc"), Segment("a", 110, "xyz")}),
            "abcxyz (7 bytes missing before offset 3)");
}

// Ethernet pads a short frame; the IP length says where the segment ends.
TEST(TcpStreamTest, LeavesOutTheFramesPadding) {
  std::string frame(12, '\x02');
  frame += "\x08\x00\x45\x00\x00\x29\x00\x00\x40\x00\x40\x06"s + std::string(10, 1);
  frame += "\xc0\x3a\x23\x8c"s + std::string(8, 0) + "\x50\x18"s + std::string(6, 0);
  frame += "\n"s + std::string(5, '\0');
  const auto segment = ReadTcpSegment(LinkLayer::kEthernet, Bytes(frame));
  ASSERT_TRUE(segment);
  EXPECT_EQ(segment->destinationPort, 9100);
  EXPECT_EQ(segment->payload, Bytes("\n"));
}

}  // namespace
}  // namespace quillmere::capture
