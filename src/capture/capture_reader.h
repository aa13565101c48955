// Captures of what a register sends to its printer, as installers bring them: raw bytes (.bin,
// .prn, a RAW spool file), hex dumps, and packet captures of a raw printing connection. The
// reader gives back the byte stream the printer received, and warns of a capture that cannot be
// ESC/POS, or that a text capture has damaged. Every offset elsewhere refers to this stream.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "capture/decoder.h"

namespace quillmere::capture {

enum class CaptureFormat : std::uint8_t { kRaw, kHex, kPcap };

// "raw", "hex", "pcap"; and back, for a format named on a command line.
[[nodiscard]] std::string_view FormatName(CaptureFormat format);
[[nodiscard]] std::optional<CaptureFormat> FormatNamed(std::string_view name);

enum class WarningKind : std::uint8_t {
  kNotEscPos,           // an EMF or XPS spool file: the driver drew the receipt
  kOtherLanguage,       // PCL, PostScript, PDF, ZPL ...
  kNoEscape,            // not one ESC: text saved by a text capture, commands lost
  kLineEndsTranslated,  // LF turned into CR LF by a text capture
  kMissingBytes,        // a packet capture missed some of the connection
};

struct CaptureWarning {
  WarningKind kind = WarningKind::kNotEscPos;
  std::string message;
};

struct Capture {
  CaptureFormat format = CaptureFormat::kRaw;
  std::vector<std::uint8_t> bytes;  // the stream the printer received
  std::vector<CaptureWarning> warnings;
};

struct CaptureError {
  std::string message;
};

// The stream a capture file holds. `forced` reads the file as that format; otherwise a packet
// capture is known by its header, a hex dump by being nothing but a dump, and anything else is
// raw bytes.
[[nodiscard]] std::variant<Capture, CaptureError> ReadCapture(
    std::span<const std::uint8_t> file, std::optional<CaptureFormat> forced = std::nullopt);

// What the decoded stream says of the capture: another language or a spool file of pictures,
// or the marks a text capture leaves (no ESC at all, line ends translated).
[[nodiscard]] std::vector<CaptureWarning> ContentWarnings(const DecodedCapture& decoded);

}  // namespace quillmere::capture
