// The export table of a Windows image (PE/COFF, 32- and 64-bit): the names GetProcAddress would
// find in a module library. Every header field is untrusted; a field that points outside the
// file or outside the section it names makes the image one that does not load.
//
// An image need not be marked as a DLL: LoadLibraryA maps an EXE image too and GetProcAddress
// answers from its export directory, so a module whose UseDll names an EXE binds on Windows the
// same records it binds here. The machine type is not checked either: both 32- and 64-bit
// module libraries are in use, and the question asked is only which names they export.
#include <algorithm>
#include <vector>

#include "platform/byte_reader.h"
#include "platform/export_readers.h"

namespace quillmere::binary {
namespace {

constexpr std::uint16_t kMzSignature = 0x5A4D;      // "MZ"
constexpr std::uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr std::uint64_t kNewHeaderOffsetField = 0x3C;
constexpr std::uint16_t kExecutableImage = 0x0002;  // COFF characteristics: linked, loadable

// The COFF file header, right after the "PE\0\0" signature.
struct CoffHeaderLayout {
  std::uint64_t size = 20;
  std::uint64_t sectionCountField = 2;
  std::uint64_t optionalHeaderSizeField = 16;
  std::uint64_t characteristicsField = 18;
};
constexpr CoffHeaderLayout kCoffHeader;

// The optional header: its magic, at its start, says the width, and the width where the count of
// data directories lies; data directory 0, the export directory's address and size, follows it.
constexpr std::uint64_t kOptionalMagicField = 0;
struct OptionalHeaderLayout {
  std::uint16_t magic = 0;
  std::uint64_t directoryCountField = 0;
};
constexpr OptionalHeaderLayout kPe32{.magic = 0x10B, .directoryCountField = 92};
constexpr OptionalHeaderLayout kPe32Plus{.magic = 0x20B, .directoryCountField = 108};
constexpr std::uint64_t kDataDirectorySize = 8;

// One entry of the section table.
struct SectionHeaderLayout {
  std::uint64_t size = 40;
  std::uint64_t virtualSizeField = 8;
  std::uint64_t virtualAddressField = 12;
  std::uint64_t rawSizeField = 16;
  std::uint64_t rawOffsetField = 20;
};
constexpr SectionHeaderLayout kSectionHeader;

// The export directory: its counts and the addresses of its three tables.
struct ExportDirectoryLayout {
  std::uint64_t size = 40;
  std::uint64_t functionCountField = 20;
  std::uint64_t nameCountField = 24;
  std::uint64_t functionsField = 28;
  std::uint64_t namesField = 32;
  std::uint64_t ordinalsField = 36;
  // One entry of each table: a function's address, a name's address, a name's ordinal.
  std::uint64_t functionEntrySize = 4;
  std::uint64_t nameEntrySize = 4;
  std::uint64_t ordinalEntrySize = 2;
};
constexpr ExportDirectoryLayout kExportDirectory;

// One section's bytes as they lie in the file, and where the image places them.
struct Section {
  std::uint32_t virtualAddress = 0;
  ByteReader data;
};

// Turns addresses in the loaded image (RVAs) into the file bytes behind them. Export data lies
// in sections in every image a linker makes, so only section data is mapped; an RVA into the
// headers or into the zero-filled tail of a section maps to nothing.
class ImageMap {
 public:
  explicit ImageMap(std::vector<Section> sections) : sections_(std::move(sections)) {}

  // The bytes [rva, rva + length), when they lie inside one section's data.
  [[nodiscard]] std::optional<ByteReader> At(std::uint32_t rva, std::uint64_t length) const {
    const Section* section = Find(rva);
    if (section == nullptr) {
      return std::nullopt;
    }
    return section->data.Slice(rva - section->virtualAddress, length);
  }

  // The NUL-terminated text at `rva`; it must end inside the section it starts in.
  [[nodiscard]] std::optional<std::string_view> NulTerminatedText(std::uint32_t rva) const {
    const Section* section = Find(rva);
    if (section == nullptr) {
      return std::nullopt;
    }
    return section->data.NulTerminatedText(rva - section->virtualAddress);
  }

 private:
  [[nodiscard]] const Section* Find(std::uint32_t rva) const {
    const auto found = std::find_if(sections_.begin(), sections_.end(), [rva](const Section& s) {
      return rva >= s.virtualAddress && rva - s.virtualAddress < s.data.size();
    });
    return found == sections_.end() ? nullptr : &*found;
  }

  std::vector<Section> sections_;
};

// The section table, each section cut to the bytes the file really holds: a truncated file
// keeps what is left of its sections, and a section's padding beyond its virtual size, which
// the loader does not map, is not part of it.
std::optional<std::vector<Section>> ReadSections(const ByteReader& file, std::uint64_t tableOffset,
                                                 std::uint16_t count) {
  const std::optional<ByteReader> table = file.Slice(tableOffset, count * kSectionHeader.size);
  if (!table) {
    return std::nullopt;
  }
  std::vector<Section> sections;
  sections.reserve(count);
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint64_t at = i * kSectionHeader.size;
    const std::uint32_t virtualSize = *table->U32(at + kSectionHeader.virtualSizeField);
    const std::uint32_t virtualAddress = *table->U32(at + kSectionHeader.virtualAddressField);
    const std::uint32_t rawSize = *table->U32(at + kSectionHeader.rawSizeField);
    const std::uint32_t rawOffset = *table->U32(at + kSectionHeader.rawOffsetField);
    std::uint64_t extent = virtualSize == 0 ? rawSize : std::min(virtualSize, rawSize);
    const std::uint64_t inFile = rawOffset < file.size() ? file.size() - rawOffset : 0;
    extent = std::min(extent, inFile);
    // A section that wraps past the top of the 32-bit address space maps nothing beyond it.
    extent = std::min<std::uint64_t>(extent, 0x1'0000'0000ULL - virtualAddress);
    sections.push_back({virtualAddress, *file.Slice(extent == 0 ? 0 : rawOffset, extent)});
  }
  return sections;
}

// The export directory's RVA from data directory 0, 0 when the image has none.
std::optional<std::uint32_t> ExportDirectoryRva(const ByteReader& optionalHeader) {
  const std::optional<std::uint16_t> magic = optionalHeader.U16(kOptionalMagicField);
  std::uint64_t countField = 0;
  if (magic == kPe32.magic) {
    countField = kPe32.directoryCountField;
  } else if (magic == kPe32Plus.magic) {
    countField = kPe32Plus.directoryCountField;
  } else {
    return std::nullopt;
  }
  const std::optional<std::uint32_t> directoryCount = optionalHeader.U32(countField);
  if (!directoryCount) {
    return std::nullopt;
  }
  // The count may claim more directories than the header holds; only those inside it exist.
  const std::uint64_t firstDirectory = countField + sizeof(std::uint32_t);
  if (*directoryCount == 0 || !optionalHeader.Contains(firstDirectory, kDataDirectorySize)) {
    return 0;
  }
  return *optionalHeader.U32(firstDirectory);
}

std::optional<std::vector<std::string>> ReadNames(const ImageMap& image, std::uint32_t rva) {
  const std::optional<ByteReader> directory = image.At(rva, kExportDirectory.size);
  if (!directory) {
    return std::nullopt;
  }
  const std::uint32_t functionCount = *directory->U32(kExportDirectory.functionCountField);
  const std::uint32_t nameCount = *directory->U32(kExportDirectory.nameCountField);
  const std::uint32_t functionsRva = *directory->U32(kExportDirectory.functionsField);
  const std::uint32_t namesRva = *directory->U32(kExportDirectory.namesField);
  const std::uint32_t ordinalsRva = *directory->U32(kExportDirectory.ordinalsField);
  std::vector<std::string> names;
  if (nameCount == 0) {
    return names;
  }
  // Each table must lie whole inside the image before its count is trusted for anything.
  const std::optional<ByteReader> nameTable =
      image.At(namesRva, nameCount * kExportDirectory.nameEntrySize);
  const std::optional<ByteReader> ordinalTable =
      image.At(ordinalsRva, nameCount * kExportDirectory.ordinalEntrySize);
  if (!nameTable || !ordinalTable ||
      (functionCount != 0 &&
       !image.At(functionsRva, functionCount * kExportDirectory.functionEntrySize))) {
    return std::nullopt;
  }
  names.reserve(nameCount);
  for (std::uint64_t i = 0; i < nameCount; ++i) {
    const std::optional<std::string_view> name =
        image.NulTerminatedText(*nameTable->U32(i * kExportDirectory.nameEntrySize));
    if (!name) {
      return std::nullopt;
    }
    // GetProcAddress finds no function for a name whose ordinal lies past the function table.
    if (*ordinalTable->U16(i * kExportDirectory.ordinalEntrySize) < functionCount &&
        !name->empty()) {
      names.emplace_back(*name);
    }
  }
  return names;
}

}  // namespace

ExportReading ReadPeExports(std::span<const std::uint8_t> bytes) {
  const ByteReader file(bytes);
  if (file.U16(0) != kMzSignature) {
    return {};
  }
  ExportReading reading{.recognised = true, .names = std::nullopt};
  const std::optional<std::uint32_t> peOffset = file.U32(kNewHeaderOffsetField);
  if (!peOffset || file.U32(*peOffset) != kPeSignature) {
    return reading;
  }
  const std::uint64_t coff = std::uint64_t{*peOffset} + sizeof kPeSignature;
  const std::optional<ByteReader> coffHeader = file.Slice(coff, kCoffHeader.size);
  if (!coffHeader) {
    return reading;
  }
  const std::uint16_t sectionCount = *coffHeader->U16(kCoffHeader.sectionCountField);
  const std::uint16_t optionalHeaderSize = *coffHeader->U16(kCoffHeader.optionalHeaderSizeField);
  const std::uint16_t characteristics = *coffHeader->U16(kCoffHeader.characteristicsField);
  if ((characteristics & kExecutableImage) == 0) {
    return reading;
  }
  const std::uint64_t optionalOffset = coff + kCoffHeader.size;
  const std::optional<ByteReader> optionalHeader = file.Slice(optionalOffset, optionalHeaderSize);
  if (!optionalHeader) {
    return reading;
  }
  std::optional<std::vector<Section>> sections =
      ReadSections(file, optionalOffset + optionalHeaderSize, sectionCount);
  const std::optional<std::uint32_t> exportRva = ExportDirectoryRva(*optionalHeader);
  if (!sections || !exportRva) {
    return reading;
  }
  if (*exportRva == 0) {
    reading.names.emplace();
    return reading;
  }
  reading.names = ReadNames(ImageMap(std::move(*sections)), *exportRva);
  return reading;
}

}  // namespace quillmere::binary
