// A receipt's text traced back to the stream: each printed byte names the offset it came from,
// and the blanks, placeholders and line ends the printer makes name none.
#include <gtest/gtest.h>

#include "capture/capture_files.h"
#include "capture/receipt_text.h"

namespace quillmere::capture {
namespace {

using namespace std::string_literals;

TEST(ReceiptTraceTest, PrintedBytesNameTheirOffsets) {
  // ESC @, "ab", HT to column 8, "c", LF; ESC @ drops the unfinished "x"; "d", GS V 0.
  const DecodedCapture decoded = Decode(testing::Bytes("\x1b@ab\tc\nx\x1b@d\n\x1dV\x00"s));
  const std::vector<TracedText> texts = TracedReceiptTexts(decoded);
  ASSERT_EQ(texts.size(), 1U);
  EXPECT_EQ(texts[0].text, "ab      c\nd\n");
  constexpr std::size_t kNone = kMadeByPrinter;
  EXPECT_EQ(texts[0].sources, (std::vector<std::size_t>{2, 3, kNone, kNone, kNone, kNone, kNone,
                                                        kNone, 5, kNone, 10, kNone}));
}

}  // namespace
}  // namespace quillmere::capture
