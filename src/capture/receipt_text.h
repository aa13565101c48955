// The text of each receipt as the printer prints it: plain lines with double size and styles
// left out, columns kept (tabs and print positions become blanks), images and barcodes shown as
// placeholders, in the capture's own 8-bit bytes. Converting them to the terminal's encoding is
// the front end's work.
#pragma once

#include <string>
#include <vector>

#include "capture/decoder.h"

namespace quillmere::capture {

// One text for each receipt of `decoded`, in order; each line ends with "\n", trailing blanks
// and the blank lines fed before the cut left out.
[[nodiscard]] std::vector<std::string> ReceiptTexts(const DecodedCapture& decoded);

}  // namespace quillmere::capture
