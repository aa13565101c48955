// The capture file of a capture command: read in the format --format names or the one its bytes
// show, decoded, and what is doubtful about it (a capture that cannot be ESC/POS, one a text
// capture damaged, bytes the decoder could not place) told on standard error.
#pragma once

#include <optional>
#include <string>

#include "capture/capture_reader.h"
#include "capture/decoder.h"
#include "cli/command.h"

namespace quillmere::cli {

inline constexpr CommandOption kFormatOption{
    "format", OptionKind::kValue, "raw|hex|pcap",
    "read the capture as this format (default: what the file shows)"};

struct CaptureInput {
  std::string path;
  capture::CaptureFormat format = capture::CaptureFormat::kRaw;
  capture::DecodedCapture decoded;
};

// The capture at `path`, or the result the command ends with: a usage error for a format
// --format does not name, exit status 2 for a file that cannot be read as a capture.
struct CaptureRead {
  std::optional<CaptureInput> input;
  CommandResult failure = ExitStatus::kUsage;
};

[[nodiscard]] CaptureRead ReadCaptureInput(std::string_view commandName, const std::string& path,
                                           const ParsedArguments& arguments,
                                           CommandContext& context);

}  // namespace quillmere::cli
