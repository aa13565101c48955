#include "capture/tcp_stream.h"

#include <algorithm>

namespace quillmere::capture {
namespace {

constexpr std::uint16_t kIpv4 = 0x0800;
constexpr std::uint16_t kIpv6 = 0x86DD;
constexpr std::uint16_t kVlan = 0x8100;
constexpr std::uint8_t kTcp = 6;
constexpr std::uint8_t kSynFlag = 0x02;
constexpr std::uint16_t kFirstPrinterPort = 9100;
constexpr std::uint16_t kPrinterPorts = 3;

std::uint16_t Big16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] << 8U | b[at + 1]);
}
std::uint32_t Big32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(Big16(b, at)) << 16U | Big16(b, at + 2);
}

std::string Endpoint(std::span<const std::uint8_t> address, std::uint16_t port) {
  std::string text(address.begin(), address.end());
  text += static_cast<char>(port >> 8U);
  text += static_cast<char>(port & 0xFFU);
  return text;
}

std::optional<TcpSegment> ReadTcp(std::span<const std::uint8_t> source,
                                  std::span<const std::uint8_t> destination,
                                  std::span<const std::uint8_t> tcp) {
  constexpr std::size_t kMinHeader = 20;
  if (tcp.size() < kMinHeader) {
    return std::nullopt;
  }
  const std::size_t header = std::size_t{4} * (tcp[12] >> 4U);
  if (header < kMinHeader || header > tcp.size()) {
    return std::nullopt;
  }
  TcpSegment segment;
  segment.destinationPort = Big16(tcp, 2);
  segment.source = Endpoint(source, Big16(tcp, 0));
  segment.destination = Endpoint(destination, segment.destinationPort);
  segment.syn = (tcp[13] & kSynFlag) != 0;
  // A SYN takes one sequence number before its payload.
  segment.sequence = Big32(tcp, 4) + (segment.syn ? 1U : 0U);
  segment.payload.assign(tcp.begin() + static_cast<std::ptrdiff_t>(header), tcp.end());
  return segment;
}

std::optional<TcpSegment> ReadIp(std::span<const std::uint8_t> ip) {
  if (ip.empty()) {
    return std::nullopt;
  }
  if (ip[0] >> 4U == 4) {
    constexpr std::uint16_t kFragmentMask = 0x3FFF;  // more fragments, or an offset
    if (ip.size() < 20 || ip[9] != kTcp || (Big16(ip, 6) & kFragmentMask) != 0) {
      return std::nullopt;
    }
    const std::size_t header = std::size_t{4} * (ip[0] & 0x0FU);
    const std::size_t total = Big16(ip, 2);  // the frame may carry padding after it
    if (header < 20 || total < header || total > ip.size()) {
      return std::nullopt;
    }
    return ReadTcp(ip.subspan(12, 4), ip.subspan(16, 4), ip.subspan(header, total - header));
  }
  if (ip[0] >> 4U == 6) {
    constexpr std::size_t kHeader = 40;
    if (ip.size() < kHeader || ip[6] != kTcp || kHeader + Big16(ip, 4) > ip.size()) {
      return std::nullopt;
    }
    return ReadTcp(ip.subspan(8, 16), ip.subspan(24, 16), ip.subspan(kHeader, Big16(ip, 4)));
  }
  return std::nullopt;
}

// The IP packet behind a link header that names its protocol at `typeAt`.
std::optional<TcpSegment> ReadTyped(std::span<const std::uint8_t> packet, std::size_t typeAt,
                                    std::size_t header) {
  if (packet.size() < header) {
    return std::nullopt;
  }
  const std::uint16_t type = Big16(packet, typeAt);
  return type == kIpv4 || type == kIpv6 ? ReadIp(packet.subspan(header)) : std::nullopt;
}

struct Connection {
  std::string key;
  std::uint32_t base = 0;
  bool synSeen = false;
  std::vector<const TcpSegment*> segments;
};

}  // namespace

std::optional<TcpSegment> ReadTcpSegment(LinkLayer link, std::span<const std::uint8_t> packet) {
  switch (link) {
    case LinkLayer::kEthernet:
      if (packet.size() >= 18 && Big16(packet, 12) == kVlan) {
        return ReadTyped(packet, 16, 18);
      }
      return ReadTyped(packet, 12, 14);
    case LinkLayer::kRawIp:
      return ReadIp(packet);
    case LinkLayer::kLoopback:
      return packet.size() > 4 ? ReadIp(packet.subspan(4)) : std::nullopt;
    case LinkLayer::kLinuxCooked:
      return ReadTyped(packet, 14, 16);
    case LinkLayer::kLinuxCooked2:
      return ReadTyped(packet, 0, 20);
  }
  return std::nullopt;
}

bool IsPrinterPort(std::uint16_t port) {
  return port >= kFirstPrinterPort && port < kFirstPrinterPort + kPrinterPorts;
}

PrinterStream ReassemblePrinterStream(const std::vector<TcpSegment>& segments) {
  std::vector<Connection> connections;
  for (const TcpSegment& segment : segments) {
    if (!IsPrinterPort(segment.destinationPort)) {
      continue;
    }
    const std::string key = segment.source + segment.destination;
    // A SYN on a connection that already began is a new connection on the same ports.
    auto found = std::find_if(connections.rbegin(), connections.rend(),
                              [&](const Connection& c) { return c.key == key; });
    if (found == connections.rend() ||
        (segment.syn && found->synSeen && found->base != segment.sequence)) {
      connections.push_back({key, segment.sequence, false, {}});
      found = connections.rbegin();
    }
    Connection& connection = *found;
    if (segment.syn && !connection.synSeen) {
      connection.synSeen = true;
      connection.base = segment.sequence;
    } else if (!connection.synSeen &&
               static_cast<std::int32_t>(segment.sequence - connection.base) < 0) {
      connection.base = segment.sequence;  // no SYN captured: the lowest sequence starts it
    }
    connection.segments.push_back(&segment);
  }

  PrinterStream stream;
  stream.connections = connections.size();
  for (Connection& connection : connections) {
    const auto relative = [&](const TcpSegment* s) {
      return static_cast<std::uint32_t>(s->sequence - connection.base);
    };
    std::stable_sort(
        connection.segments.begin(), connection.segments.end(),
        [&](const TcpSegment* a, const TcpSegment* b) { return relative(a) < relative(b); });
    std::uint64_t next = 0;
    for (const TcpSegment* segment : connection.segments) {
      const std::uint64_t at = relative(segment);
      const std::uint64_t end = at + segment->payload.size();
      if (at > next) {
        stream.gaps.push_back(std::to_string(at - next) + " bytes missing before offset " +
                              std::to_string(stream.bytes.size()));
        next = at;
      }
      if (end > next) {
        stream.bytes.insert(stream.bytes.end(),
                            segment->payload.end() - static_cast<std::ptrdiff_t>(end - next),
                            segment->payload.end());
        next = end;
      }
    }
  }
  return stream;
}

}  // namespace quillmere::capture
