#include "capture/capture_reader.h"

#include <algorithm>
#include <array>

#include "capture/hex_dump.h"
#include "capture/pcap_reader.h"

namespace quillmere::capture {
namespace {

using namespace std::string_view_literals;

constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kLf = 0x0A;
constexpr std::size_t kSignatureWindow = 256;  // how far into the stream a language shows

std::string_view Head(std::span<const std::uint8_t> bytes, std::size_t size) {
  return {reinterpret_cast<const char*>(bytes.data()), std::min(size, bytes.size())};
}

bool IsDumpText(std::span<const std::uint8_t> file) {
  return !file.empty() && std::all_of(file.begin(), file.end(), [](std::uint8_t b) {
    return b == '\t' || b == '\n' || b == '\r' || (b >= 0x20 && b < 0x7F);
  });
}

std::variant<Capture, CaptureError> ReadHex(std::span<const std::uint8_t> file) {
  auto parsed = ParseHexDump(Head(file, file.size()));
  if (const auto* error = std::get_if<HexDumpError>(&parsed)) {
    return CaptureError{"not a hex dump: line " + std::to_string(error->line) + ": " +
                        error->message};
  }
  return Capture{CaptureFormat::kHex, std::move(std::get<0>(parsed)), {}};
}

std::variant<Capture, CaptureError> ReadPackets(std::span<const std::uint8_t> file) {
  auto read = ReadPcap(file);
  if (const auto* error = std::get_if<PcapError>(&read)) {
    return CaptureError{error->message};
  }
  auto& stream = std::get<PrinterStream>(read);
  Capture capture{CaptureFormat::kPcap, std::move(stream.bytes), {}};
  for (std::string& gap : stream.gaps) {
    capture.warnings.push_back({WarningKind::kMissingBytes, std::move(gap)});
  }
  return capture;
}

// The language a stream's first bytes show, when it is not ESC/POS.
std::optional<CaptureWarning> Signature(std::span<const std::uint8_t> bytes) {
  const std::string_view head = Head(bytes, kSignatureWindow);
  const auto other = [](std::string_view language) {
    return CaptureWarning{WarningKind::kOtherLanguage,
                          "the capture holds " + std::string(language) +
                              ", not ESC/POS: this register prints through another "
                              "printer language"};
  };
  constexpr std::size_t kEmfSignatureAt = 40;
  if (head.starts_with("\x01\x00\x00\x00"sv) && head.size() > kEmfSignatureAt &&
      head.substr(kEmfSignatureAt, 4) == " EMF") {
    return CaptureWarning{WarningKind::kNotEscPos,
                          "an EMF file: the printer driver drew the receipt as a picture, and "
                          "it holds no ESC/POS; capture the RAW data sent to the printer"};
  }
  if (head.starts_with("\x00\x00\x01\x00"sv) && head.find(" EMF") != std::string_view::npos) {
    return CaptureWarning{WarningKind::kNotEscPos,
                          "an EMF spool file: the printer driver drew the receipt as a "
                          "picture, and it holds no ESC/POS; capture the RAW data sent to the "
                          "printer"};
  }
  if (head.starts_with("PK\x03\x04"sv)) {
    return CaptureWarning{WarningKind::kNotEscPos,
                          "an XPS spool file (a ZIP archive): the printer driver drew the "
                          "receipt, and it holds no ESC/POS; capture the RAW data sent to the "
                          "printer"};
  }
  if (head.starts_with("\x1b%-12345X"sv)) {
    return other("PJL (a job for a PCL or PostScript printer)");
  }
  if (head.starts_with("\x1b"
                       "E\x1b"sv) ||
      head.find("\x1b&l"sv) != std::string_view::npos) {
    return other("PCL");
  }
  if (head.starts_with("%!")) {
    return other("PostScript");
  }
  if (head.starts_with("%PDF-")) {
    return other("PDF");
  }
  if (head.find("^XA") != std::string_view::npos) {
    return other("ZPL (a label printer's language)");
  }
  return std::nullopt;
}

// A text capture that turned LF into CR LF leaves every LF behind a CR, and puts a CR into the
// parameters where a command's parameter was 10, with the LF then read as a line feed.
bool LineEndsTranslated(const DecodedCapture& decoded) {
  const std::vector<std::uint8_t>& bytes = decoded.bytes;
  bool anyLf = false;
  bool crInParameters = false;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != kLf) {
      continue;
    }
    if (i == 0 || bytes[i - 1] != kCr) {
      return false;
    }
    anyLf = true;
    crInParameters = crInParameters || decoded.info[i - 1].role != ByteRole::kCommand;
  }
  return anyLf && (crInParameters || !decoded.problems.empty());
}

}  // namespace

std::string_view FormatName(CaptureFormat format) {
  switch (format) {
    case CaptureFormat::kRaw:
      return "raw";
    case CaptureFormat::kHex:
      return "hex";
    case CaptureFormat::kPcap:
      return "pcap";
  }
  return "raw";
}

std::optional<CaptureFormat> FormatNamed(std::string_view name) {
  for (const CaptureFormat format :
       {CaptureFormat::kRaw, CaptureFormat::kHex, CaptureFormat::kPcap}) {
    if (FormatName(format) == name) {
      return format;
    }
  }
  return std::nullopt;
}

std::variant<Capture, CaptureError> ReadCapture(std::span<const std::uint8_t> file,
                                                std::optional<CaptureFormat> forced) {
  const CaptureFormat format = forced                ? *forced
                               : LooksLikePcap(file) ? CaptureFormat::kPcap
                                                     : CaptureFormat::kRaw;
  if (format == CaptureFormat::kPcap) {
    return ReadPackets(file);
  }
  if (format == CaptureFormat::kHex) {
    return ReadHex(file);
  }
  if (!forced && IsDumpText(file)) {
    auto hex = ReadHex(file);
    if (std::holds_alternative<Capture>(hex)) {
      return hex;
    }
  }
  return Capture{CaptureFormat::kRaw, {file.begin(), file.end()}, {}};
}

std::vector<CaptureWarning> ContentWarnings(const DecodedCapture& decoded) {
  std::vector<CaptureWarning> warnings;
  if (auto signature = Signature(decoded.bytes)) {
    warnings.push_back(std::move(*signature));
    return warnings;
  }
  if (!decoded.bytes.empty() &&
      std::find(decoded.bytes.begin(), decoded.bytes.end(), kEsc) == decoded.bytes.end()) {
    warnings.push_back({WarningKind::kNoEscape,
                        "not one ESC byte: an ESC/POS stream starts with one, so this looks "
                        "like the text a text capture kept, with the printer commands lost"});
  }
  if (LineEndsTranslated(decoded)) {
    warnings.push_back({WarningKind::kLineEndsTranslated,
                        "every LF follows a CR, and CR LF stands where a command's parameter "
                        "was: the capture seems saved as text with its line ends translated, "
                        "which changes the bytes"});
  }
  return warnings;
}

}  // namespace quillmere::capture
