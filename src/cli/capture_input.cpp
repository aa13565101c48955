#include "cli/capture_input.h"

#include <ostream>
#include <span>

#include "cli/terminal_text.h"
#include "platform/file_system.h"

namespace quillmere::cli {
namespace {

// Enough to see what is wrong; a damaged capture could give one per byte.
constexpr std::size_t kProblemsShown = 10;

void TellProblems(std::ostream& err, std::string_view prefix,
                  const std::vector<capture::DecodeProblem>& problems) {
  for (std::size_t i = 0; i < problems.size() && i < kProblemsShown; ++i) {
    const capture::DecodeProblem& problem = problems[i];
    err << prefix << "byte " << problem.offset << ": " << capture::ProblemName(problem.kind) << " ("
        << problem.bytes << ")\n";
  }
  if (problems.size() > kProblemsShown) {
    err << prefix << (problems.size() - kProblemsShown) << " more bytes the decoder could not "
        << "place\n";
  }
}

}  // namespace

CaptureRead ReadCaptureInput(std::string_view commandName, const std::string& path,
                             const ParsedArguments& arguments, CommandContext& context) {
  std::optional<capture::CaptureFormat> forced;
  if (const std::optional<std::string> name = arguments.Value(kFormatOption.name)) {
    forced = capture::FormatNamed(*name);
    if (!forced) {
      return {std::nullopt, UsageError{"no capture format '" + *name + "' (raw, hex or pcap)"}};
    }
  }
  const std::string prefix = std::string(kProgramName) + " " + std::string(commandName) + ": ";
  FileSystem& files = RealFileSystem();
  const std::optional<std::string> bytes =
      files.IsFolder(path) ? std::nullopt : files.ReadFile(path);
  if (!bytes) {
    context.err << prefix << "cannot read the capture file '" << TerminalPath(path) << "'\n";
    return {};
  }
  const std::span<const std::uint8_t> file(reinterpret_cast<const std::uint8_t*>(bytes->data()),
                                           bytes->size());
  auto read = capture::ReadCapture(file, forced);
  if (const auto* error = std::get_if<capture::CaptureError>(&read)) {
    context.err << prefix << "cannot read the capture file '" << TerminalPath(path)
                << "': " << error->message << "\n";
    return {};
  }
  auto& capture = std::get<capture::Capture>(read);
  CaptureInput input{path, capture.format, capture::Decode(std::move(capture.bytes))};
  std::vector<capture::CaptureWarning> warnings = std::move(capture.warnings);
  for (capture::CaptureWarning& warning : capture::ContentWarnings(input.decoded)) {
    warnings.push_back(std::move(warning));
  }
  if (input.decoded.bytes.empty()) {
    context.err << prefix << "warning: the capture holds no bytes the printer received\n";
  }
  for (const capture::CaptureWarning& warning : warnings) {
    context.err << prefix << "warning: " << warning.message << "\n";
  }
  TellProblems(context.err, prefix + "warning: ", input.decoded.problems);
  return {std::move(input), ExitStatus::kOk};
}

}  // namespace quillmere::cli
