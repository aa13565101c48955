// Capture files as installers bring them: each form of hex dump, the recognition of a format and
// a forced one, the warnings of a capture that is not ESC/POS or that a text capture damaged,
// and the printer's side of a packet capture put back in sequence order.
#include "capture/capture_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "capture/capture_files.h"
#include "capture/hex_dump.h"
#include "capture/tcp_stream.h"
#include "support/case_name.h"

namespace quillmere::capture {
namespace {

using namespace std::string_literals;
using testing::Bytes;

struct Row {
  std::string_view name;
  std::string input;
  std::string expected;
};
QUILLMERE_PRINT_ROW_AS_NAME(Row)

const std::string kDumped =
    "\x1b@Hello\n\x1dVB\x00"
    "ABCDEF"s;

class HexDumpTest : public ::testing::TestWithParam<Row> {};

// Every form gives back the dumped bytes; a '*' repeats the line before up to the next offset.
TEST_P(HexDumpTest, GivesTheDumpedBytes) {
  const auto read = ReadCapture(Bytes(GetParam().input));
  ASSERT_TRUE(std::holds_alternative<Capture>(read));
  EXPECT_EQ(std::get<Capture>(read).format, CaptureFormat::kHex);
  const auto& bytes = std::get<Capture>(read).bytes;
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), GetParam().expected);
}

const Row kDumps[] = {
    {"xxd",
     "00000000: 1b40 4865 6c6c 6f0a 1d56 4200 4142 4344  .@Hello..VB.ABCD\n"
     "00000010: 4546                                     EF\n",
     kDumped},
    {"hexdump_canonical",
     "00000000  1b 40 48 65 6c 6c 6f 0a  1d 56 42 00 41 42 43 44  |.@Hello..VB.ABCD|\n"
     "00000010  45 46                                             |EF|\n00000012\n",
     kDumped},
    {"hexdump_repeated_lines",
     "00000000  41 41 41 41 41 41 41 41  41 41 41 41 41 41 41 41  |AAAAAAAAAAAAAAAA|\n*\n"
     "00000030  42                                                |B|\n00000031\n",
     std::string(48, 'A') + "B"},
    {"od", " 1b 40 48 65 6c 6c 6f 0a 1d 56 42 00 41 42 43 44\r\n 45 46\r\n", kDumped},
    {"bare_packed", "1b4048656c6c6f0a1d564200\n414243444546\n", kDumped},
    {"bare_spaced", "1B 40 48 65 6C 6C 6F 0A 1D 56 42 00 41 42 43 44 45 46", kDumped},
    {"c_array",
     "0x1b, 0x40, 0x48, 0x65, 0x6c, 0x6c, 0x6f, 0x0a,\n0x1d, 0x56, 0x42, 0x00, "
     "0x41, 0x42, 0x43, 0x44, 0x45, 0x46\n",
     kDumped},
};
INSTANTIATE_TEST_SUITE_P(Forms, HexDumpTest, ::testing::ValuesIn(kDumps), testing::CaseName{});

TEST(HexDumpTest, NamesTheLineItCannotRead) {
  const auto error = [](std::string_view text) {
    const auto parsed = ParseHexDump(text);
    const auto* failed = std::get_if<HexDumpError>(&parsed);
    return failed ? std::to_string(failed->line) + ": " + failed->message : "read";
  };
  EXPECT_EQ(error(" 41 41\n*\n 42\n"),
            "2: a '*' stands for repeated lines the dump left out, and a dump without offsets "
            "cannot say how many: dump again with od -v");
  EXPECT_EQ(error("00000000: 4141  AA\n00000004: 4242  BB\n"),
            "2: the offset does not follow the bytes of the lines before");
  EXPECT_EQ(error("41 4g\n"), "1: not a line of hex bytes");
}

// A capture is raw unless it is a packet capture or wholly a hex dump; a forced format is kept.
TEST(ReadCaptureTest, RecognisesOrKeepsTheFormat) {
  const auto format = [](const std::string& file, std::optional<CaptureFormat> forced) {
    const auto read = ReadCapture(Bytes(file), forced);
    if (const auto* error = std::get_if<CaptureError>(&read)) {
      return error->message.substr(0, error->message.find(':'));
    }
    const auto& capture = std::get<Capture>(read);
    return std::string(FormatName(capture.format)) + " " + std::to_string(capture.bytes.size());
  };
  EXPECT_EQ(format("\x1b@Hi\n", std::nullopt), "raw 5");
  EXPECT_EQ(format("Total 12\n", std::nullopt), "raw 9");
  EXPECT_EQ(format("cafe 12\n", std::nullopt), "hex 3");
  EXPECT_EQ(format("cafe 12\n", CaptureFormat::kRaw), "raw 8");
  EXPECT_EQ(format("Total 12\n", CaptureFormat::kHex), "not a hex dump");
  EXPECT_EQ(format("\x1b@Hi\n", CaptureFormat::kPcap), "not a packet capture libpcap can read");
  EXPECT_EQ(FormatNamed("pcap"), CaptureFormat::kPcap);
  EXPECT_EQ(FormatNamed("PCAP"), std::nullopt);
}

class WarningTest : public ::testing::TestWithParam<Row> {};

TEST_P(WarningTest, WarnsOfWhatIsNotEscPos) {
  std::string kinds;
  for (const CaptureWarning& warning : ContentWarnings(Decode(Bytes(GetParam().input)))) {
    kinds += std::to_string(static_cast<int>(warning.kind));
  }
  EXPECT_EQ(kinds, GetParam().expected);  // the WarningKind numbers, in order
}

const Row kWarnings[] = {
    {"escpos_with_crlf_lines",
     "\x1b@Total\r\n\x1b"
     "d\x03\x1dV\x00"s,
     ""},
    {"emf", "\x01\x00\x00\x00"s + std::string(36, '\0') + " EMF", "0"},
    {"emf_header_cut_short",
     "\x01\x00\x00\x00\x00\x00\x00\x00"
     "1"s,
     "2"},
    {"emf_spool_file", "\x00\x00\x01\x00"s + std::string(12, '\0') + " EMF", "0"},
    {"xps", "PK\x03\x04\x14\x00"s, "0"},
    {"pjl", "\x1b%-12345X@PJL ENTER LANGUAGE=PCL\r\n", "1"},
    {"pcl",
     "\x1b"
     "E\x1b&l0O",
     "1"},
    {"postscript", "%!PS-Adobe-3.0\n", "1"},
    {"pdf", "%PDF-1.4\n", "1"},
    {"zpl", "^XA^FO50,50^FDHello^FS^XZ", "1"},
    {"text_capture", "Total 5.00\r\nCash\r\n", "2"},
    {"line_ends_translated",
     "\x1b@\x1b"
     "3\r\nHello\r\n"s,
     "3"},
};
INSTANTIATE_TEST_SUITE_P(Captures, WarningTest, ::testing::ValuesIn(kWarnings),
                         testing::CaseName{});

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
