#include "support/elf_image_builder.h"

#include <cstddef>
#include <string_view>

namespace quillmere::testing {
namespace {

constexpr std::uint64_t kPastTheEnd = 0x7FFFFFF0;

// Writes of the object's byte order and word size, appended or at fixed offsets.
class Writer {
 public:
  Writer(bool wide, bool bigEndian) : wide_(wide), bigEndian_(bigEndian) {}

  void Put(std::size_t at, std::uint64_t value, std::size_t width) {
    if (bytes_.size() < at + width) {
      bytes_.resize(at + width, 0);
    }
    for (std::size_t i = 0; i < width; ++i) {
      const std::size_t shift = 8 * (bigEndian_ ? width - 1 - i : i);
      bytes_[at + i] = static_cast<std::uint8_t>(value >> shift);
    }
  }
  void Half(std::size_t at, std::uint64_t value) { Put(at, value, 2); }
  void Word(std::size_t at, std::uint64_t value) { Put(at, value, 4); }
  // A word in 32-bit objects, a double word in 64-bit ones (addresses, offsets, sizes).
  void Address(std::size_t at, std::uint64_t value) { Put(at, value, wide_ ? 8 : 4); }
  void Byte(std::size_t at, std::uint8_t value) { Put(at, value, 1); }
  void Append(std::string_view text) { bytes_.insert(bytes_.end(), text.begin(), text.end()); }
  void Pad(std::size_t size) { bytes_.resize(bytes_.size() + size, 0); }
  void AlignTo(std::size_t alignment) {
    bytes_.resize((bytes_.size() + alignment - 1) / alignment * alignment, 0);
  }
  [[nodiscard]] std::size_t size() const { return bytes_.size(); }
  [[nodiscard]] bool wide() const { return wide_; }
  [[nodiscard]] std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  bool wide_;
  bool bigEndian_;
  std::vector<std::uint8_t> bytes_;
};

struct SectionHeader {
  std::uint32_t name = 0;
  std::uint32_t type = 0;
  std::uint64_t offset = 0;
  std::uint64_t size = 0;
  std::uint32_t link = 0;
  std::uint64_t entrySize = 0;
};

void WriteSectionHeader(Writer& out, std::size_t at, const SectionHeader& header) {
  out.Word(at, header.name);
  out.Word(at + 4, header.type);
  if (out.wide()) {
    out.Address(at + 24, header.offset);
    out.Address(at + 32, header.size);
    out.Word(at + 40, header.link);
    out.Address(at + 56, header.entrySize);
  } else {
    out.Address(at + 16, header.offset);
    out.Address(at + 20, header.size);
    out.Word(at + 24, header.link);
    out.Address(at + 36, header.entrySize);
  }
}

}  // namespace

std::vector<std::uint8_t> BuildElfImage(const ElfImageOptions& options) {
  const bool wide = options.fileClass == ElfClass::k64;
  const ElfBreak brokenBy = options.brokenBy;
  Writer out(wide, options.byteOrder == ElfByteOrder::kBig);
  const std::size_t headerSize = wide ? 64 : 52;
  const std::size_t symbolSize = wide ? 24 : 16;
  const std::size_t sectionHeaderSize = wide ? 64 : 40;
  const std::size_t dynamicEntrySize = wide ? 16 : 8;
  out.Pad(headerSize);

  // .dynstr: a leading NUL, then each name; the last may be left unterminated.
  const std::size_t stringsOffset = out.size();
  std::vector<std::uint64_t> nameOffsets;
  out.Append(std::string_view("\0", 1));
  for (std::size_t i = 0; i < options.symbols.size(); ++i) {
    nameOffsets.push_back(out.size() - stringsOffset);
    out.Append(options.symbols[i].name);
    const bool last = i + 1 == options.symbols.size();
    if (!(last && brokenBy == ElfBreak::kNameNotTerminated)) {
      out.Append(std::string_view("\0", 1));
    }
  }
  const std::size_t stringsSize = out.size() - stringsOffset;

  // .dynsym right behind it (no alignment gap: its null first entry must follow the strings).
  const std::size_t symbolsOffset = out.size();
  out.Pad(symbolSize);
  for (std::size_t i = 0; i < options.symbols.size(); ++i) {
    const ElfSymbol& symbol = options.symbols[i];
    const std::size_t at = out.size();
    out.Pad(symbolSize);
    const std::uint64_t name =
        i == 0 && brokenBy == ElfBreak::kNameOffsetPastStrings ? stringsSize + 100 : nameOffsets[i];
    const std::size_t infoField = wide ? at + 4 : at + 12;
    out.Word(at, name);
    const unsigned info = (unsigned{symbol.binding} << 4U) | (unsigned{symbol.type} & 0xFU);
    out.Byte(infoField, static_cast<std::uint8_t>(info));
    out.Byte(infoField + 1, symbol.visibility);
    out.Half(infoField + 2, symbol.defined ? 1 : 0);
    if (wide) {
      out.Address(at + 8, 0x1000 + 0x10 * i);
    } else {
      out.Address(at + 4, 0x1000 + 0x10 * i);
    }
  }
  const std::size_t symbolsSize = out.size() - symbolsOffset;

  // .dynamic: DT_FLAGS_1, then DT_NULL.
  out.AlignTo(8);
  const std::size_t dynamicOffset = out.size();
  out.Pad(2 * dynamicEntrySize);
  out.Address(dynamicOffset, 0x6ffffffb);
  out.Address(dynamicOffset + dynamicEntrySize / 2,
              brokenBy == ElfBreak::kPositionIndependentExecutable ? 0x08000001 : 0x1);

  const std::size_t sectionNamesOffset = out.size();
  out.Append(std::string_view("\0.dynsym\0.dynstr\0.dynamic\0.shstrtab\0", 36));

  out.AlignTo(8);
  const std::size_t sectionTableOffset = out.size();
  const bool withSymbols = brokenBy != ElfBreak::kNoDynamicSymbols;
  const std::uint32_t stringsIndex = 2;
  const std::uint32_t dynamicIndex = 3;
  const std::uint32_t sectionCount = 5;

  SectionHeader null;
  if (brokenBy == ElfBreak::kExtendedSectionCount) {
    null.size = sectionCount;
  }
  SectionHeader symbols{1,           withSymbols ? 11U : 1U, symbolsOffset,
                        symbolsSize, stringsIndex,           symbolSize};
  if (brokenBy == ElfBreak::kSymbolsBeyondFile) {
    symbols.offset = kPastTheEnd;
  } else if (brokenBy == ElfBreak::kHugeSymbolTable) {
    symbols.size = 0x80000000ULL;
  } else if (brokenBy == ElfBreak::kSymbolEntrySizeTooSmall) {
    symbols.entrySize = 4;
  } else if (brokenBy == ElfBreak::kStringLinkOutOfRange) {
    symbols.link = 99;
  } else if (brokenBy == ElfBreak::kStringLinkNotStringTable) {
    symbols.link = dynamicIndex;
  }
  SectionHeader strings{9, 3, stringsOffset, stringsSize, 0, 0};
  if (brokenBy == ElfBreak::kStringsBeyondFile) {
    strings.offset = kPastTheEnd;
  }
  SectionHeader dynamic{17, 6, dynamicOffset, 2 * dynamicEntrySize, stringsIndex, dynamicEntrySize};
  if (brokenBy == ElfBreak::kDynamicBeyondFile) {
    dynamic.offset = kPastTheEnd;
  }
  const SectionHeader sectionNames{26, 3, sectionNamesOffset, 36, 0, 0};
  const SectionHeader headers[] = {null, symbols, strings, dynamic, sectionNames};
  out.Pad(sectionCount * sectionHeaderSize);
  for (std::size_t i = 0; i < sectionCount; ++i) {
    WriteSectionHeader(out, sectionTableOffset + i * sectionHeaderSize, headers[i]);
  }

  // The ELF header.
  out.Byte(0, 0x7F);
  out.Byte(1, 'E');
  out.Byte(2, 'L');
  out.Byte(3, 'F');
  out.Byte(4, brokenBy == ElfBreak::kBadClass ? 3 : (wide ? 2 : 1));
  std::uint8_t byteOrder = options.byteOrder == ElfByteOrder::kBig ? 2 : 1;
  if (brokenBy == ElfBreak::kBadByteOrder) {
    byteOrder = 0;
  }
  out.Byte(5, byteOrder);
  out.Byte(6, brokenBy == ElfBreak::kBadVersion ? 0 : 1);
  std::uint16_t type = 3;
  if (brokenBy == ElfBreak::kExecutable) {
    type = 2;
  } else if (brokenBy == ElfBreak::kRelocatable) {
    type = 1;
  }
  out.Half(16, type);
  out.Half(18, wide ? 62 : 3);  // x86-64 or i386
  out.Word(20, 1);
  std::uint64_t sectionTable = sectionTableOffset;
  if (brokenBy == ElfBreak::kNoSectionHeaders) {
    sectionTable = 0;
  } else if (brokenBy == ElfBreak::kSectionTableBeyondFile) {
    sectionTable = kPastTheEnd;
  }
  std::uint64_t declaredCount = sectionCount;
  if (brokenBy == ElfBreak::kExtendedSectionCount) {
    declaredCount = 0;
  } else if (brokenBy == ElfBreak::kHugeSectionCount) {
    declaredCount = 0xFEFF;
  }
  const std::size_t shoffField = wide ? 40 : 32;
  const std::size_t shentsizeField = wide ? 58 : 46;
  out.Address(shoffField, sectionTable);
  out.Half(shentsizeField - 6, headerSize);  // e_ehsize
  out.Half(shentsizeField,
           brokenBy == ElfBreak::kSectionEntrySizeTooSmall ? 16 : sectionHeaderSize);
  out.Half(shentsizeField + 2, declaredCount);
  out.Half(shentsizeField + 4, 4);  // e_shstrndx
  return out.Take();
}

}  // namespace quillmere::testing
