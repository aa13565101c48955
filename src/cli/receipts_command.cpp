#include "cli/receipts_command.h"

#include <array>
#include <ostream>

#include "capture/receipt_text.h"
#include "cli/capture_input.h"
#include "cli/json_writer.h"
#include "cli/receipt_output.h"
#include "cli/terminal_text.h"

namespace quillmere::cli {
namespace {

constexpr std::array kReceiptsOptions{
    kFormatOption,
    CommandOption{"json", OptionKind::kFlag, "", "print JSON instead of text"},
};

CommandResult RunReceipts(const ParsedArguments& arguments, CommandContext& context) {
  if (arguments.positional().size() != 1) {
    return UsageError{"takes one capture file"};
  }
  CaptureRead read = ReadCaptureInput("receipts", PathFromTerminal(arguments.positional().front()),
                                      arguments, context);
  if (!read.input) {
    return read.failure;
  }
  const capture::DecodedCapture& decoded = read.input->decoded;
  const std::vector<std::string> texts = capture::ReceiptTexts(decoded);
  if (arguments.Has("json")) {
    JsonWriter json(context.out);
    json.BeginObject();
    WriteCaptureJson(json, *read.input);
    WriteReceiptsJson(json, decoded, texts);
    json.EndObject();
    return ExitStatus::kOk;
  }
  for (const capture::Receipt& receipt : decoded.receipts) {
    context.out << ReceiptHeading(receipt) << "\n";
    PrintReceiptText(context.out, texts[receipt.index - 1]);
  }
  return ExitStatus::kOk;
}

}  // namespace

const Command& ReceiptsCommand() {
  static const Command command{
      "receipts",
      "receipts CAPTURE [--format raw|hex|pcap] [--code-page N] [--json]",
      "Shows a capture of what a register sent to its printer as the printer would print it,\n"
      "receipt by receipt: plain lines with sizes and styles left out, columns kept, images\n"
      "and barcodes as placeholders. Each receipt's heading gives its byte range and the cut\n"
      "that ends it. A capture is raw bytes, a hex dump (xxd, hexdump -C, od) or a pcap or\n"
      "pcapng of a raw printing connection (port 9100). Exit status: 0 shown, 2 usage or a\n"
      "capture that cannot be read.",
      kReceiptsOptions,
      RunReceipts,
  };
  return command;
}

}  // namespace quillmere::cli
