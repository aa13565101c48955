#include "support/pe_image_builder.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace quillmere::testing {
namespace {

constexpr std::uint32_t kNewHeaderOffset = 0x80;
constexpr std::uint32_t kCoffOffset = kNewHeaderOffset + 4;
constexpr std::uint32_t kOptionalOffset = kCoffOffset + 20;
constexpr std::uint32_t kFileAlignment = 0x200;
constexpr std::uint32_t kSectionAlignment = 0x1000;
constexpr std::uint32_t kHeadersSize = 0x200;
constexpr std::uint32_t kCodeRva = 0x1000;
constexpr std::uint32_t kExportRva = 0x2000;
constexpr std::uint32_t kOutsideEverySection = 0x9000;
constexpr std::uint32_t kDirectoryCount = 16;
constexpr std::string_view kLibraryName = "CUTPAPER.DLL";

std::uint32_t AlignUp(std::uint32_t value, std::uint32_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

// Little-endian writes at fixed offsets, growing the buffer as needed.
class Bytes {
 public:
  void Put(std::size_t at, std::uint64_t value, std::size_t width) {
    Grow(at + width);
    for (std::size_t i = 0; i < width; ++i) {
      bytes_[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
  }
  void U16(std::size_t at, std::uint64_t value) { Put(at, value, 2); }
  void U32(std::size_t at, std::uint64_t value) { Put(at, value, 4); }
  void Text(std::size_t at, std::string_view text, bool terminated = true) {
    Grow(at + text.size() + (terminated ? 1 : 0));
    std::copy(text.begin(), text.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(at));
  }
  void Copy(std::size_t at, const std::vector<std::uint8_t>& from) {
    Grow(at + from.size());
    std::copy(from.begin(), from.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(at));
  }
  void Fill(std::size_t from, std::size_t to, std::uint8_t value) {
    Grow(to);
    std::fill(bytes_.begin() + static_cast<std::ptrdiff_t>(from),
              bytes_.begin() + static_cast<std::ptrdiff_t>(to), value);
  }
  void Grow(std::size_t size) {
    if (bytes_.size() < size) {
      bytes_.resize(size, 0);
    }
  }
  [[nodiscard]] std::size_t size() const { return bytes_.size(); }
  [[nodiscard]] std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

struct NamedEntry {
  std::string name;
  bool forwarded = false;
};

// The export section's contents, laid out from its start: directory, function table, name
// table, ordinal table, library name, forwarder strings, then the names themselves (last, so
// that the last name can be left unterminated at the section's end).
struct ExportSection {
  Bytes bytes;
  std::uint32_t size = 0;  // bytes in use (the section's virtual size)
};

ExportSection BuildExportSection(const PeImageOptions& options, std::uint32_t sectionRva) {
  std::vector<NamedEntry> entries;
  for (const std::string& name : options.exports) {
    entries.push_back({name, false});
  }
  for (const std::string& name : options.forwarders) {
    entries.push_back({name, true});
  }
  std::sort(entries.begin(), entries.end(),
            [](const NamedEntry& a, const NamedEntry& b) { return a.name < b.name; });
  const auto count = static_cast<std::uint32_t>(entries.size());
  const PeBreak brokenBy = options.brokenBy;

  const std::uint32_t functions = 40;
  const std::uint32_t names = functions + 4 * count;
  const std::uint32_t ordinals = names + 4 * count;
  const std::uint32_t libraryName = ordinals + 2 * count;
  std::uint32_t next = libraryName + static_cast<std::uint32_t>(kLibraryName.size()) + 1;
  const auto rva = [sectionRva](std::uint32_t offset) { return sectionRva + offset; };

  ExportSection section;
  Bytes& out = section.bytes;
  out.U32(12, rva(libraryName));
  out.U32(16, 1);  // ordinal base
  out.U32(20, brokenBy == PeBreak::kHugeNumberOfFunctions ? 0xFFFFFFFFU : count);
  out.U32(24, brokenBy == PeBreak::kHugeNumberOfNames ? 0xFFFFFFFFU : count);
  out.U32(28, brokenBy == PeBreak::kFunctionTableOutsideSections ? kOutsideEverySection
                                                                 : rva(functions));
  out.U32(32, brokenBy == PeBreak::kNameTableOutsideSections ? kOutsideEverySection : rva(names));
  out.U32(36,
          brokenBy == PeBreak::kOrdinalTableOutsideSections ? kOutsideEverySection : rva(ordinals));
  out.Text(libraryName, kLibraryName);

  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint32_t target = kCodeRva + 0x10 * i;
    if (entries[i].forwarded) {
      target = rva(next);
      const std::string forward = "OTHERLIB." + entries[i].name;
      out.Text(next, forward);
      next += static_cast<std::uint32_t>(forward.size()) + 1;
    }
    out.U32(functions + 4 * i, target);
    const bool pastFunctions = i == 0 && brokenBy == PeBreak::kOrdinalPastFunctions;
    out.U16(ordinals + 2 * i, pastFunctions ? count + 5 : i);
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    const bool outside = i == 0 && brokenBy == PeBreak::kNameOutsideSections;
    out.U32(names + 4 * i, outside ? kOutsideEverySection : rva(next));
    const bool unterminated = i + 1 == count && brokenBy == PeBreak::kNameNotTerminated;
    out.Text(next, entries[i].name, !unterminated);
    next += static_cast<std::uint32_t>(entries[i].name.size()) + (unterminated ? 0 : 1);
  }
  section.size = next;
  return section;
}

void WriteSectionHeader(Bytes& out, std::size_t at, std::string_view name,
                        std::uint32_t virtualSize, std::uint32_t rva, std::uint32_t rawSize,
                        std::uint32_t rawOffset, std::uint32_t characteristics) {
  out.Text(at, name, false);
  out.U32(at + 8, virtualSize);
  out.U32(at + 12, rva);
  out.U32(at + 16, rawSize);
  out.U32(at + 20, rawOffset);
  out.U32(at + 36, characteristics);
}

}  // namespace

std::vector<std::uint8_t> BuildPeImage(const PeImageOptions& options) {
  const bool wide = options.width == PeWidth::kPe32Plus;
  const PeBreak brokenBy = options.brokenBy;
  const std::uint32_t exportRva =
      brokenBy == PeBreak::kSectionPastAddressSpace ? 0xFFFFFFE0U : kExportRva;
  ExportSection exports = BuildExportSection(options, exportRva);
  const std::uint32_t exportRawSize = AlignUp(exports.size, kFileAlignment);
  const std::uint32_t exportRawOffset = kHeadersSize;
  const std::uint32_t codeRawOffset = exportRawOffset + exportRawSize;
  const std::uint32_t codeRawSize = kFileAlignment;
  const std::uint16_t optionalSize = wide ? 112 + 8 * kDirectoryCount : 96 + 8 * kDirectoryCount;
  const std::uint32_t sectionTable = kOptionalOffset + optionalSize;

  Bytes out;
  out.Grow(codeRawOffset + codeRawSize);
  out.Text(0, brokenBy == PeBreak::kBadMzSignature ? "MX" : "MZ", false);
  out.U32(0x3C, brokenBy == PeBreak::kNewHeaderBeyondFile ? 0xFFFFFFF0U : kNewHeaderOffset);
  out.Text(kNewHeaderOffset, "PE", false);
  out.U16(kNewHeaderOffset + 2, brokenBy == PeBreak::kBadPeSignature ? 0x0100 : 0);

  // COFF header: machine, two sections, optional header size, characteristics.
  out.U16(kCoffOffset, wide ? 0x8664 : 0x014C);
  out.U16(kCoffOffset + 2, brokenBy == PeBreak::kSectionTableBeyondFile ? 0xFFFF : 2);
  std::uint32_t declaredOptionalSize = optionalSize;
  if (brokenBy == PeBreak::kOptionalHeaderTooSmall) {
    declaredOptionalSize = 64;
  } else if (brokenBy == PeBreak::kOptionalHeaderBeyondFile) {
    declaredOptionalSize = 0xFFFF;
  }
  out.U16(kCoffOffset + 16, declaredOptionalSize);
  std::uint32_t characteristics = wide ? 0x0020 : 0x0100;  // large-address aware / 32-bit
  if (brokenBy != PeBreak::kNotExecutableImage) {
    characteristics |= 0x0002;
  }
  if (options.dll) {
    characteristics |= 0x2000;
  }
  out.U16(kCoffOffset + 18, characteristics);

  // Optional header: the fields a loader looks at, with the usual values of a small DLL.
  const std::size_t opt = kOptionalOffset;
  out.U16(opt, brokenBy == PeBreak::kBadOptionalMagic ? 0x107 : (wide ? 0x20B : 0x10B));
  out.U32(opt + 4, codeRawSize);
  out.U32(opt + 8, exportRawSize);
  out.U32(opt + 20, kCodeRva);
  if (wide) {
    out.Put(opt + 24, 0x180000000ULL, 8);
  } else {
    out.U32(opt + 24, kExportRva);
    out.U32(opt + 28, 0x10000000U);
  }
  out.U32(opt + 32, kSectionAlignment);
  out.U32(opt + 36, kFileAlignment);
  out.U16(opt + 40, 4);
  out.U16(opt + 48, 4);
  out.U32(opt + 56, AlignUp(kExportRva + exports.size, kSectionAlignment));
  out.U32(opt + 60, kHeadersSize);
  out.U16(opt + 68, 3);  // console subsystem
  const std::size_t countField = wide ? opt + 108 : opt + 92;
  std::uint32_t directoryCount = kDirectoryCount;
  if (brokenBy == PeBreak::kNoDataDirectories) {
    directoryCount = 0;
  } else if (brokenBy == PeBreak::kHugeDirectoryCount) {
    directoryCount = 0xFFFFFFFFU;
  }
  out.U32(countField, directoryCount);
  if (brokenBy != PeBreak::kNoExportDirectory) {
    std::uint32_t directoryRva = exportRva;
    if (brokenBy == PeBreak::kExportDirectoryOutsideSections) {
      directoryRva = kOutsideEverySection;
    } else if (brokenBy == PeBreak::kExportDirectoryCrossesSectionEnd) {
      directoryRva = exportRva + exports.size - 8;
    }
    out.U32(countField + 4, directoryRva);
    out.U32(countField + 8, exports.size);
  }

  // A name left unterminated runs on through padding that is not zero, to its section's end.
  std::uint32_t exportVirtualSize = exports.size;
  if (brokenBy == PeBreak::kNameNotTerminated) {
    exports.bytes.Fill(exports.size, exportRawSize, 'A');
    exportVirtualSize = exportRawSize;
  }
  WriteSectionHeader(out, sectionTable, ".text", 0x10 * 16, kCodeRva, codeRawSize, codeRawOffset,
                     0x60000020U);
  WriteSectionHeader(out, sectionTable + 40, ".edata", exportVirtualSize, exportRva, exportRawSize,
                     brokenBy == PeBreak::kRawDataBeyondFile ? 0x7FFFFFF0U : exportRawOffset,
                     0x40000040U);

  out.Copy(exportRawOffset, exports.bytes.Take());
  return out.Take();
}

}  // namespace quillmere::testing
