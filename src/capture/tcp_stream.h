// The bytes a register sent to a network printer, taken back out of captured packets: each
// packet's link, IP and TCP headers are read, and the segments sent to the printer's raw port are
// put back in sequence order, one connection after another.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quillmere::capture {

// The link layers a capture of a printing connection comes in.
enum class LinkLayer : std::uint8_t { kEthernet, kRawIp, kLoopback, kLinuxCooked, kLinuxCooked2 };

struct TcpSegment {
  std::string source;       // address bytes and port
  std::string destination;  // address bytes and port
  std::uint16_t destinationPort = 0;
  std::uint32_t sequence = 0;  // of the first payload byte
  bool syn = false;
  std::vector<std::uint8_t> payload;
};

// The TCP segment a packet carries; none for anything else (ARP, UDP, an IP fragment).
[[nodiscard]] std::optional<TcpSegment> ReadTcpSegment(LinkLayer link,
                                                       std::span<const std::uint8_t> packet);

// The ports of raw printing: 9100 and the two after it that print servers give further printers.
[[nodiscard]] bool IsPrinterPort(std::uint16_t port);

struct PrinterStream {
  std::vector<std::uint8_t> bytes;
  std::size_t connections = 0;
  std::vector<std::string> gaps;  // where bytes the capture missed would have been
};

// The payload of the segments sent to a printer port, each connection in sequence order (a
// retransmitted byte counted once), the connections in the order they began.
[[nodiscard]] PrinterStream ReassemblePrinterStream(const std::vector<TcpSegment>& segments);

}  // namespace quillmere::capture
