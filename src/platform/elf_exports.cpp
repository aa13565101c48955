// The exported names of an ELF shared object (32- or 64-bit, either byte order): the dynamic
// symbols dlsym would find, so that a module library built on this machine binds as a Windows
// DLL does. Every header field is untrusted; one that points outside the file makes the object
// one that does not load.
//
// The symbols are found through the section headers (.dynsym and its string table). A shared
// object stripped of its section headers does not load here, though the dynamic loader would
// take it: no linker makes such a file, and a module library is a Windows DLL in the field.
//
// Only shared objects count. An executable, fixed-address or position-independent, is no
// library: dlopen refuses both, so a module naming one binds nothing on this system either.
#include <algorithm>
#include <iterator>
#include <vector>

#include "platform/byte_reader.h"
#include "platform/export_readers.h"

namespace quillmere::binary {
namespace {

constexpr std::uint8_t kClass32 = 1;
constexpr std::uint8_t kClass64 = 2;
constexpr std::uint8_t kLittleEndian = 1;
constexpr std::uint8_t kBigEndian = 2;
constexpr std::uint16_t kSharedObject = 3;        // ET_DYN
constexpr std::uint32_t kDynamicSymbols = 11;     // SHT_DYNSYM
constexpr std::uint32_t kStringTable = 3;         // SHT_STRTAB
constexpr std::uint32_t kDynamicSection = 6;      // SHT_DYNAMIC
constexpr std::uint16_t kUndefinedSection = 0;    // SHN_UNDEF
constexpr std::uint64_t kFlags1Tag = 0x6ffffffb;  // DT_FLAGS_1
constexpr std::uint64_t kPieFlag = 0x08000000;    // DF_1_PIE

// The offsets that differ between the 32- and the 64-bit layout.
struct Layout {
  bool wide = false;
  std::uint64_t headerSize = 0;
  std::uint64_t sectionTableField = 0;
  std::uint64_t sectionEntrySizeField = 0;
  std::uint64_t sectionHeaderSize = 0;
  std::uint64_t symbolSize = 0;
  std::uint64_t symbolInfoField = 0;
  std::uint64_t dynamicEntrySize = 0;
};

constexpr Layout kLayout32{.wide = false,
                           .headerSize = 52,
                           .sectionTableField = 32,
                           .sectionEntrySizeField = 46,
                           .sectionHeaderSize = 40,
                           .symbolSize = 16,
                           .symbolInfoField = 12,
                           .dynamicEntrySize = 8};
constexpr Layout kLayout64{.wide = true,
                           .headerSize = 64,
                           .sectionTableField = 40,
                           .sectionEntrySizeField = 58,
                           .sectionHeaderSize = 64,
                           .symbolSize = 24,
                           .symbolInfoField = 4,
                           .dynamicEntrySize = 16};

struct SectionHeader {
  std::uint32_t type = 0;
  std::uint64_t offset = 0;
  std::uint64_t size = 0;
  std::uint32_t link = 0;
  std::uint64_t entrySize = 0;
};

// A field that is a word in 32-bit objects and a double word in 64-bit ones.
std::optional<std::uint64_t> Address(const ByteReader& bytes, const Layout& layout,
                                     std::uint64_t offset) {
  if (layout.wide) {
    return bytes.U64(offset);
  }
  const std::optional<std::uint32_t> value = bytes.U32(offset);
  return value ? std::optional<std::uint64_t>(*value) : std::nullopt;
}

SectionHeader ReadSectionHeader(const ByteReader& entry, const Layout& layout) {
  // `entry` holds at least sectionHeaderSize bytes, so every read below succeeds.
  if (layout.wide) {
    return {*entry.U32(4), *entry.U64(24), *entry.U64(32), *entry.U32(40), *entry.U64(56)};
  }
  return {*entry.U32(4), *entry.U32(16), *entry.U32(20), *entry.U32(24), *entry.U32(36)};
}

class SectionTable {
 public:
  SectionTable(ByteReader table, std::uint64_t entrySize, const Layout& layout)
      : table_(table), entrySize_(entrySize), layout_(layout) {}

  [[nodiscard]] std::uint64_t count() const { return table_.size() / entrySize_; }

  [[nodiscard]] SectionHeader At(std::uint64_t index) const {
    return ReadSectionHeader(*table_.Slice(index * entrySize_, layout_.sectionHeaderSize), layout_);
  }

  [[nodiscard]] std::optional<SectionHeader> FirstOfType(std::uint32_t type) const {
    for (std::uint64_t i = 0; i < count(); ++i) {
      if (const SectionHeader header = At(i); header.type == type) {
        return header;
      }
    }
    return std::nullopt;
  }

 private:
  ByteReader table_;
  std::uint64_t entrySize_;
  const Layout& layout_;
};

std::optional<SectionTable> ReadSectionTable(const ByteReader& file, const Layout& layout) {
  const std::optional<std::uint64_t> tableOffset = Address(file, layout, layout.sectionTableField);
  const std::optional<std::uint16_t> entrySize = file.U16(layout.sectionEntrySizeField);
  const std::optional<std::uint16_t> shortCount = file.U16(layout.sectionEntrySizeField + 2);
  if (!tableOffset || !entrySize || !shortCount || *tableOffset == 0 ||
      *entrySize < layout.sectionHeaderSize) {
    return std::nullopt;
  }
  // With 0xff00 sections or more, the header's count is 0 and section 0's size holds it.
  std::uint64_t count = *shortCount;
  if (count == 0) {
    const std::optional<ByteReader> first = file.Slice(*tableOffset, layout.sectionHeaderSize);
    if (!first) {
      return std::nullopt;
    }
    count = ReadSectionHeader(*first, layout).size;
  }
  if (count == 0 || count > file.size() / *entrySize) {
    return std::nullopt;
  }
  const std::optional<ByteReader> table = file.Slice(*tableOffset, count * *entrySize);
  if (!table) {
    return std::nullopt;
  }
  return SectionTable(*table, *entrySize, layout);
}

// True when the object's dynamic section marks it as a position-independent executable.
std::optional<bool> IsExecutable(const ByteReader& file, const SectionTable& sections,
                                 const Layout& layout) {
  const std::optional<SectionHeader> dynamic = sections.FirstOfType(kDynamicSection);
  if (!dynamic) {
    return false;
  }
  const std::optional<ByteReader> entries = file.Slice(dynamic->offset, dynamic->size);
  if (!entries) {
    return std::nullopt;
  }
  const std::uint64_t half = layout.dynamicEntrySize / 2;
  for (std::uint64_t at = 0; entries->Contains(at, layout.dynamicEntrySize);
       at += layout.dynamicEntrySize) {
    const std::uint64_t tag = *Address(*entries, layout, at);
    if (tag == 0) {
      break;
    }
    if (tag == kFlags1Tag) {
      return (*Address(*entries, layout, at + half) & kPieFlag) != 0;
    }
  }
  return false;
}

// What dlsym finds: defined, global or weak (or GNU unique), a function, an object or an
// indirect function, and not hidden from other objects.
bool IsExported(std::uint8_t info, std::uint8_t other, std::uint16_t sectionIndex) {
  const unsigned binding = info >> 4U;
  const unsigned type = info & 0xFU;
  const unsigned visibility = other & 0x3U;
  const bool bound = binding == 1 || binding == 2 || binding == 10;
  const bool callableOrData = type == 1 || type == 2 || type == 10;
  const bool visible = visibility == 0 || visibility == 3;
  return sectionIndex != kUndefinedSection && bound && callableOrData && visible;
}

std::optional<std::vector<std::string>> ReadSymbols(const ByteReader& file,
                                                    const SectionTable& sections,
                                                    const Layout& layout) {
  std::vector<std::string> names;
  const std::optional<SectionHeader> symbols = sections.FirstOfType(kDynamicSymbols);
  if (!symbols) {
    return names;
  }
  if (symbols->entrySize < layout.symbolSize || symbols->link >= sections.count()) {
    return std::nullopt;
  }
  const SectionHeader strings = sections.At(symbols->link);
  const std::optional<ByteReader> symbolData = file.Slice(symbols->offset, symbols->size);
  const std::optional<ByteReader> stringData = file.Slice(strings.offset, strings.size);
  if (strings.type != kStringTable || !symbolData || !stringData) {
    return std::nullopt;
  }
  for (std::uint64_t at = 0; symbolData->Contains(at, layout.symbolSize);
       at += symbols->entrySize) {
    const std::uint32_t nameOffset = *symbolData->U32(at);
    const std::uint8_t info = *symbolData->U8(at + layout.symbolInfoField);
    const std::uint8_t other = *symbolData->U8(at + layout.symbolInfoField + 1);
    const std::uint16_t sectionIndex = *symbolData->U16(at + layout.symbolInfoField + 2);
    if (!IsExported(info, other, sectionIndex)) {
      continue;
    }
    const std::optional<std::string_view> name = stringData->NulTerminatedText(nameOffset);
    if (!name) {
      return std::nullopt;
    }
    if (!name->empty()) {
      names.emplace_back(*name);
    }
  }
  return names;
}

}  // namespace

ExportReading ReadElfExports(std::span<const std::uint8_t> bytes) {
  static constexpr std::uint8_t kMagic[] = {0x7F, 'E', 'L', 'F'};
  if (bytes.size() < sizeof kMagic ||
      !std::equal(std::begin(kMagic), std::end(kMagic), bytes.begin())) {
    return {};
  }
  ExportReading reading{.recognised = true, .names = std::nullopt};
  const ByteReader ident(bytes);
  const std::optional<std::uint8_t> fileClass = ident.U8(4);
  const std::optional<std::uint8_t> byteOrder = ident.U8(5);
  if ((fileClass != kClass32 && fileClass != kClass64) ||
      (byteOrder != kLittleEndian && byteOrder != kBigEndian) || ident.U8(6) != 1) {
    return reading;
  }
  const Layout& layout = fileClass == kClass64 ? kLayout64 : kLayout32;
  const ByteReader file(bytes, byteOrder == kBigEndian ? Endian::kBig : Endian::kLittle);
  if (!file.Contains(0, layout.headerSize) || file.U16(16) != kSharedObject) {
    return reading;
  }
  const std::optional<SectionTable> sections = ReadSectionTable(file, layout);
  if (!sections) {
    return reading;
  }
  const std::optional<bool> executable = IsExecutable(file, *sections, layout);
  if (!executable || *executable) {
    return reading;
  }
  reading.names = ReadSymbols(file, *sections, layout);
  return reading;
}

}  // namespace quillmere::binary
