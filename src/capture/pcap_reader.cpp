#include "capture/pcap_reader.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

#if QUILLMERE_HAVE_PCAP
#include <dlfcn.h>
#include <pcap/pcap.h>
#endif

namespace quillmere::capture {
namespace {

#if QUILLMERE_HAVE_PCAP
// The libpcap functions the reader calls, looked up when the first packet capture is read.
struct Libpcap {
  decltype(&pcap_fopen_offline) fopenOffline = nullptr;
  decltype(&pcap_datalink) datalink = nullptr;
  decltype(&pcap_next_ex) nextEx = nullptr;
  decltype(&pcap_geterr) geterr = nullptr;
  decltype(&pcap_close) close = nullptr;
};

template <typename Function>
bool LookUp(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  return function != nullptr;
}

// The loaded library, or why it could not be loaded; loaded once, kept for the process.
const std::variant<Libpcap, PcapError>& LoadedLibpcap() {
  static const std::variant<Libpcap, PcapError> loaded = []() -> std::variant<Libpcap, PcapError> {
    void* library = dlopen(QUILLMERE_PCAP_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
      return PcapError{"packet captures need libpcap, which cannot be loaded: " +
                       std::string(dlerror())};
    }
    Libpcap pcap;
    if (!LookUp(library, "pcap_fopen_offline", pcap.fopenOffline) ||
        !LookUp(library, "pcap_datalink", pcap.datalink) ||
        !LookUp(library, "pcap_next_ex", pcap.nextEx) ||
        !LookUp(library, "pcap_geterr", pcap.geterr) ||
        !LookUp(library, "pcap_close", pcap.close)) {
      return PcapError{"the libpcap found (" QUILLMERE_PCAP_SONAME ") lacks a function it needs"};
    }
    return pcap;
  }();
  return loaded;
}

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
  const auto& loaded = LoadedLibpcap();
  if (const auto* failure = std::get_if<PcapError>(&loaded)) {
    return *failure;
  }
  const Libpcap& library = std::get<Libpcap>(loaded);
  // libpcap reads from a stream; the capture is in memory already.
  std::FILE* stream = fmemopen(const_cast<std::uint8_t*>(file.data()), file.size(), "rb");
  if (stream == nullptr) {
    return PcapError{"the packet capture cannot be opened"};
  }
  std::array<char, PCAP_ERRBUF_SIZE> error{};
  pcap_t* pcap = library.fopenOffline(stream, error.data());
  if (pcap == nullptr) {
    std::fclose(stream);
    return PcapError{std::string("not a packet capture libpcap can read: ") + error.data()};
  }
  const int datalink = library.datalink(pcap);
  const std::optional<LinkLayer> link = LinkOf(datalink);
  if (!link) {
    library.close(pcap);
    return PcapError{"the packet capture's link layer (" + std::to_string(datalink) +
                     ") is not Ethernet, raw IP, loopback or Linux cooked"};
  }
  std::vector<TcpSegment> segments;
  pcap_pkthdr* header = nullptr;
  const u_char* data = nullptr;
  int status = 0;
  while ((status = library.nextEx(pcap, &header, &data)) == 1) {
    if (auto segment = ReadTcpSegment(*link, std::span(data, header->caplen))) {
      segments.push_back(std::move(*segment));
    }
  }
  const std::string failure = status == PCAP_ERROR ? library.geterr(pcap) : "";
  library.close(pcap);
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
