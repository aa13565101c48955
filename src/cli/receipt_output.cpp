#include "cli/receipt_output.h"

#include <algorithm>
#include <ostream>

#include "cli/terminal_text.h"
#include "platform/code_page.h"

namespace quillmere::cli {

std::string ReceiptHeading(const capture::Receipt& receipt) {
  std::string heading = "--- receipt " + std::to_string(receipt.index) + " [" +
                        std::to_string(receipt.start) + ", " + std::to_string(receipt.end) + ") ";
  if (!receipt.cut) {
    return heading + "not cut";
  }
  heading += "cut by " + receipt.cut->name;
  if (receipt.cut->placement == capture::CutPlacement::kMidLine) {
    heading += ", amid a line (printers ignore it in standard mode)";
  }
  return heading;
}

void PrintReceiptText(std::ostream& out, std::string_view text) {
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    out << codepage::ToUtf8ForDisplay(text.substr(start, end - start), codepage::ActiveCodePage())
        << '\n';
    start = end + 1;
  }
}

void WriteCaptureJson(JsonWriter& json, const CaptureInput& input) {
  json.Key("capture");
  json.BeginObject();
  json.StringMember("path", JsonPath(input.path));
  json.StringMember("format", capture::FormatName(input.format));
  json.NumberMember("bytes", static_cast<std::int64_t>(input.decoded.bytes.size()));
  json.EndObject();
}

void WriteReceiptsJson(JsonWriter& json, const capture::DecodedCapture& decoded,
                       const std::vector<std::string>& texts) {
  json.Key("receipts");
  json.BeginArray();
  for (const capture::Receipt& receipt : decoded.receipts) {
    json.BeginObject();
    json.NumberMember("index", static_cast<std::int64_t>(receipt.index));
    json.NumberMember("start", static_cast<std::int64_t>(receipt.start));
    json.NumberMember("end", static_cast<std::int64_t>(receipt.end));
    json.Key("cut");
    receipt.cut ? json.String(receipt.cut->name) : json.Null();
    json.StringMember("text", JsonText(texts[receipt.index - 1]));
    json.EndObject();
  }
  json.EndArray();
}

}  // namespace quillmere::cli
