// Packet captures (pcap and pcapng) of a raw printing connection, read with libpcap. A build
// made without libpcap reads none and says so.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "capture/tcp_stream.h"

namespace quillmere::capture {

struct PcapError {
  std::string message;
};

// True when `file` starts like a pcap or pcapng file.
[[nodiscard]] bool LooksLikePcap(std::span<const std::uint8_t> file);

// The host-to-printer bytes of every connection to a printer port in the capture.
[[nodiscard]] std::variant<PrinterStream, PcapError> ReadPcap(std::span<const std::uint8_t> file);

}  // namespace quillmere::capture
