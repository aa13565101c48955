#include "cli/match_command.h"

#include <array>
#include <ostream>

#include "capture/receipt_text.h"
#include "capture/trigger_finder.h"
#include "cli/capture_input.h"
#include "cli/match_json.h"
#include "cli/match_text.h"
#include "cli/terminal_text.h"
#include "module/printer_command_module.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/machine_services.h"

namespace quillmere::cli {
namespace {

constexpr std::array kMatchOptions{
    kFormatOption,
    CommandOption{"json", OptionKind::kFlag, "", "print JSON instead of text"},
};

// A keyword typed on a UTF-8 machine, as the register prints it in the shop's code page.
std::optional<std::string> KeywordInShopCodePage(std::string_view utf8) {
  codepage::Converted converted = codepage::FromUtf8(utf8, codepage::ActiveCodePage());
  auto* bytes = std::get_if<std::string>(&converted);
  return bytes != nullptr ? std::optional(std::move(*bytes)) : std::nullopt;
}

bool SomeVerdictFalse(const capture::Verdict& verdict) {
  return verdict.voidSeen == false || verdict.stopSeen == false;
}

CommandResult RunMatch(const ParsedArguments& arguments, CommandContext& context) {
  if (arguments.positional().size() != 2) {
    return UsageError{"takes a module file and a capture file"};
  }
  const std::string modulePath = PathFromTerminal(arguments.positional()[0]);
  const MachineServices machine;
  const PlatformServices& services = machine.services();
  // The loader reads a missing file as an empty module; a match against nothing would mislead.
  if (services.files.IsFolder(modulePath) || !services.files.ReadFile(modulePath)) {
    context.err << kProgramName << " match: cannot read the module file '"
                << TerminalPath(modulePath) << "'\n";
    return ExitStatus::kUsage;
  }
  CaptureRead read =
      ReadCaptureInput("match", PathFromTerminal(arguments.positional()[1]), arguments, context);
  if (!read.input) {
    return read.failure;
  }
  PrinterCommandModule module(services);
  module.Load(modulePath);
  const capture::DecodedCapture& decoded = read.input->decoded;
  const capture::MatchReport report =
      capture::MatchTriggers(decoded, capture::TaggedRecords(module), KeywordInShopCodePage);
  std::vector<capture::TracedText> texts = capture::TracedReceiptTexts(decoded);
  if (arguments.Has("json")) {
    std::vector<std::string> plain;
    plain.reserve(texts.size());
    for (capture::TracedText& text : texts) {
      plain.push_back(std::move(text.text));
    }
    WriteMatchJson(context.out, *read.input, plain, report);
  } else {
    PrintMatch(context.out, *read.input, module, texts, report);
  }
  return SomeVerdictFalse(report.capture) ? ExitStatus::kRefused : ExitStatus::kOk;
}

}  // namespace

const Command& MatchCommand() {
  static const Command command{
      "match",
      "match MODULE CAPTURE [--format raw|hex|pcap] [--code-page N] [--json]",
      "Shows where the records of a module file that carry an event tag occur in a capture of\n"
      "what the register sent to its printer: for each place, what the printer makes of the\n"
      "bytes there (text, command, parameter, image or barcode data), the receipt, and the\n"
      "bytes around it; near misses of a keyword (another case, split by a command or a line\n"
      "break, blanks made by positioning, typed in UTF-8); and for each receipt and the whole\n"
      "capture whether a void and a stop trigger occur as printed text or as a whole command.\n"
      "It says where bytes occur, not how the POS system matches them. Exit status: 0 no\n"
      "verdict is no, 1 a void or stop verdict is no, 2 usage or a file that cannot be read.",
      kMatchOptions,
      RunMatch,
  };
  return command;
}

}  // namespace quillmere::cli
