// What `receipts` and `match` both show of a capture: the heading of a receipt for people, and
// the capture and its receipts in JSON.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "capture/decoder.h"
#include "cli/capture_input.h"
#include "cli/json_writer.h"

namespace quillmere::cli {

// "--- receipt 2 [145, 190) cut by GS V 66 0"; a cut amid a line and a receipt no cut ends
// are said so.
[[nodiscard]] std::string ReceiptHeading(const capture::Receipt& receipt);

// A receipt's text on the terminal, line by line, each byte of the shop's code page a character
// (U+FFFD for a byte it leaves undefined), so that its columns stay as printed.
void PrintReceiptText(std::ostream& out, std::string_view text);

// "capture": {"path", "format", "bytes"}.
void WriteCaptureJson(JsonWriter& json, const CaptureInput& input);

// "receipts": [{"index", "start", "end", "cut", "text"}], `texts` one for each receipt, in the
// shop's code page.
void WriteReceiptsJson(JsonWriter& json, const capture::DecodedCapture& decoded,
                       const std::vector<std::string>& texts);

}  // namespace quillmere::cli
