// The text of each receipt as the printer prints it: plain lines with double size and styles
// left out, columns kept (tabs and print positions become blanks), images and barcodes shown as
// placeholders, in the capture's own 8-bit bytes. Converting them to the terminal's encoding is
// the front end's work.
#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

#include "capture/decoder.h"

namespace quillmere::capture {

// One text for each receipt of `decoded`, in order; each line ends with "\n", trailing blanks
// and the blank lines fed before the cut left out.
[[nodiscard]] std::vector<std::string> ReceiptTexts(const DecodedCapture& decoded);

// The source of a byte of text the printer makes itself: a column's blank, a placeholder, a
// line end.
inline constexpr std::size_t kMadeByPrinter = std::numeric_limits<std::size_t>::max();

// A receipt's text with, for each of its bytes, the offset in the stream of the byte it prints,
// or kMadeByPrinter: so that a front end can point at the printed text a trigger lies in.
struct TracedText {
  std::string text;
  std::vector<std::size_t> sources;  // one for each byte of `text`
};

[[nodiscard]] std::vector<TracedText> TracedReceiptTexts(const DecodedCapture& decoded);

}  // namespace quillmere::capture
