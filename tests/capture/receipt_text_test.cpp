// The printed text of a receipt: styles and sizes left out, columns kept from tabs and print
// positions, feeds, and placeholders for what is not text.
#include "capture/receipt_text.h"

#include <gtest/gtest.h>

#include <string>

#include "capture/capture_files.h"
#include "support/case_name.h"

namespace quillmere::capture {
namespace {

using namespace std::string_literals;

struct Row {
  std::string_view name;
  std::string bytes;
  std::string text;
};
QUILLMERE_PRINT_ROW_AS_NAME(Row)

class ReceiptTextTest : public ::testing::TestWithParam<Row> {};

TEST_P(ReceiptTextTest, PrintsAsThePrinterDoes) {
  const auto texts = ReceiptTexts(Decode(testing::Bytes(GetParam().bytes)));
  ASSERT_EQ(texts.size(), 1U);
  EXPECT_EQ(texts.front(), GetParam().text);
}

const Row kRows[] = {
    {"styles_and_sizes_dropped",
     "\x1d!\x11"
     "Big\x1b"
     "E\x01"
     "bold\x1b-\x01"
     "u\n"s,
     "Bigboldu\n"},
    {"tab_every_eight_columns", "a\tb\tc\n", "a       b       c\n"},
    {"tab_stops_set",
     "\x1b"
     "D\x04\x0a\x00"
     "a\tb\tc\n"s,
     "a   b     c\n"},
    {"tab_past_the_last_stop",
     "\x1b"
     "D\x02\x00"
     "abc\td\n"s,
     "abcd\n"},
    {"absolute_position_font_a",
     "a\x1b$\x78\x00"
     "b\n"s,
     "a         b\n"},
    {"absolute_position_font_b",
     "\x1bM\x01"
     "a\x1b$\x5a\x00"
     "b\n"s,
     "a         b\n"},
    {"relative_position",
     "a\x1b\\\x18\x00"
     "b\n"s,
     "a  b\n"},
    {"double_byte_is_two_columns", "\x1c&\xa4\xa7\tx\n"s, "\xa4\xa7      x\n"},
    {"feed_lines",
     "a\x1b"
     "d\x03"
     "b\n"s,
     "a\n\n\nb\n"},
    {"carriage_return_alone_ends_the_line", "a\rb\r\n", "a\nb\n"},
    {"blank_lines_before_the_cut_dropped",
     "a\n\n\n\x1b"
     "d\x05\x1dV\x00"s,
     "a\n"},
    {"raster_image",
     "a\x1dv0\x00\x02\x00\x03\x00"
     "abcdef"s
     "b\n",
     "a\n[image 16x3]\nb\n"},
    {"column_image_within_the_line",
     "a\x1b*\x00\x01\x00\xff"
     "b\n"s,
     "a[image]b\n"},
    {"barcode_with_its_data",
     "\x1dk\x49\x03"
     "123"s,
     "[barcode 123]\n"},
    {"barcode_of_control_bytes", "\x1dk\x49\x02\x01\x02"s, "[barcode]\n"},
    {"printed_graphics", "\x1d(L\x02\x00\x30\x32"s, "[image]\n"},
    {"printed_two_dimensional_code", "\x1d(k\x03\x00\x31\x51\x30"s, "[2D code]\n"},
    {"initialize_resets_tabs",
     "\x1b"
     "D\x02\x00\x1b@a\tb\n"s,
     "a       b\n"},
};
INSTANTIATE_TEST_SUITE_P(Receipts, ReceiptTextTest, ::testing::ValuesIn(kRows),
                         testing::CaseName{});

}  // namespace
}  // namespace quillmere::capture
