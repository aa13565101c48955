#include "capture/pcap_reader.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

#if QUILLMERE_HAVE_PCAP
#include <pcap/pcap.h>
#endif

namespace quillmere::capture {
namespace {

#if QUILLMERE_HAVE_PCAP
std::optional<LinkLayer> LinkOf(int datalink) {
  switch (datalink) {
    case DLT_EN10MB:
      return LinkLayer::kEthernet;
    case DLT_RAW:
#ifdef DLT_IPV4
    case DLT_IPV4:
    case DLT_IPV6:
#endif
      return LinkLayer::kRawIp;
    case DLT_NULL:
    case DLT_LOOP:
      return LinkLayer::kLoopback;
    case DLT_LINUX_SLL:
      return LinkLayer::kLinuxCooked;
#ifdef DLT_LINUX_SLL2
    case DLT_LINUX_SLL2:
      return LinkLayer::kLinuxCooked2;
#endif
    default:
      return std::nullopt;
  }
}
#endif

}  // namespace

bool LooksLikePcap(std::span<const std::uint8_t> file) {
  constexpr std::array<std::array<std::uint8_t, 4>, 5> kMagics{{
      {0xD4, 0xC3, 0xB2, 0xA1},  // pcap, microseconds, little-endian
      {0xA1, 0xB2, 0xC3, 0xD4},  // pcap, microseconds, big-endian
      {0x4D, 0x3C, 0xB2, 0xA1},  // pcap, nanoseconds, little-endian
      {0xA1, 0xB2, 0x3C, 0x4D},  // pcap, nanoseconds, big-endian
      {0x0A, 0x0D, 0x0D, 0x0A},  // pcapng section header block
  }};
  for (const auto& magic : kMagics) {
    if (file.size() >= magic.size() && std::equal(magic.begin(), magic.end(), file.begin())) {
      return true;
    }
  }
  return false;
}

#if QUILLMERE_HAVE_PCAP
std::variant<PrinterStream, PcapError> ReadPcap(std::span<const std::uint8_t> file) {
  if (file.empty()) {
    return PcapError{"the packet capture is empty"};
  }
  // libpcap reads from a stream; the capture is in memory already.
  std::FILE* stream = fmemopen(const_cast<std::uint8_t*>(file.data()), file.size(), "rb");
  if (stream == nullptr) {
    return PcapError{"the packet capture cannot be opened"};
  }
  std::array<char, PCAP_ERRBUF_SIZE> error{};
  pcap_t* pcap = pcap_fopen_offline(stream, error.data());
  if (pcap == nullptr) {
    std::fclose(stream);
    return PcapError{std::string("not a packet capture libpcap can read: ") + error.data()};
  }
  const int datalink = pcap_datalink(pcap);
  const std::optional<LinkLayer> link = LinkOf(datalink);
  if (!link) {
    pcap_close(pcap);
    return PcapError{"the packet capture's link layer (" + std::to_string(datalink) +
                     ") is not Ethernet, raw IP, loopback or Linux cooked"};
  }
  std::vector<TcpSegment> segments;
  pcap_pkthdr* header = nullptr;
  const u_char* data = nullptr;
  int status = 0;
  while ((status = pcap_next_ex(pcap, &header, &data)) == 1) {
    if (auto segment = ReadTcpSegment(*link, std::span(data, header->caplen))) {
      segments.push_back(std::move(*segment));
    }
  }
  const std::string failure = status == PCAP_ERROR ? pcap_geterr(pcap) : "";
  pcap_close(pcap);
  PrinterStream printed = ReassemblePrinterStream(segments);
  if (!failure.empty()) {
    printed.gaps.push_back("the capture ends in a damaged packet: " + failure);
  }
  if (printed.connections == 0) {
    return PcapError{"the packet capture holds no TCP data sent to a printer port (9100 to 9102)"};
  }
  return printed;
}
#else
std::variant<PrinterStream, PcapError> ReadPcap(std::span<const std::uint8_t> /*file*/) {
  return PcapError{"this build reads no packet captures: libpcap was not found when it was built"};
}
#endif

}  // namespace quillmere::capture
