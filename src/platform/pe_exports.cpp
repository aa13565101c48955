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
constexpr std::uint64_t kCoffHeaderSize = 20;
constexpr std::uint16_t kExecutableImage = 0x0002;  // COFF characteristics: linked, loadable
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint64_t kSectionHeaderSize = 40;
constexpr std::uint64_t kExportDirectorySize = 40;

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
  [[nodiscard]] std::optional<std::string_view> CString(std::uint32_t rva) const {
    const Section* section = Find(rva);
    if (section == nullptr) {
      return std::nullopt;
    }
    return section->data.CString(rva - section->virtualAddress);
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
  const std::optional<ByteReader> table = file.Slice(tableOffset, count * kSectionHeaderSize);
  if (!table) {
    return std::nullopt;
  }
  std::vector<Section> sections;
  sections.reserve(count);
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint64_t at = i * kSectionHeaderSize;
    const std::uint32_t virtualSize = *table->U32(at + 8);
    const std::uint32_t virtualAddress = *table->U32(at + 12);
    const std::uint32_t rawSize = *table->U32(at + 16);
    const std::uint32_t rawOffset = *table->U32(at + 20);
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
  const std::optional<std::uint16_t> magic = optionalHeader.U16(0);
  std::uint64_t countField = 0;
  if (magic == kPe32Magic) {
    countField = 92;
  } else if (magic == kPe32PlusMagic) {
    countField = 108;
  } else {
    return std::nullopt;
  }
  const std::optional<std::uint32_t> directoryCount = optionalHeader.U32(countField);
  if (!directoryCount) {
    return std::nullopt;
  }
  // The count may claim more directories than the header holds; only those inside it exist.
  const std::uint64_t firstDirectory = countField + 4;
  if (*directoryCount == 0 || !optionalHeader.Contains(firstDirectory, 8)) {
    return 0;
  }
  return *optionalHeader.U32(firstDirectory);
}

std::optional<std::vector<std::string>> ReadNames(const ImageMap& image, std::uint32_t rva) {
  const std::optional<ByteReader> directory = image.At(rva, kExportDirectorySize);
  if (!directory) {
    return std::nullopt;
  }
  const std::uint32_t functionCount = *directory->U32(20);
  const std::uint32_t nameCount = *directory->U32(24);
  const std::uint32_t functionsRva = *directory->U32(28);
  const std::uint32_t namesRva = *directory->U32(32);
  const std::uint32_t ordinalsRva = *directory->U32(36);
  std::vector<std::string> names;
  if (nameCount == 0) {
    return names;
  }
  // Each table must lie whole inside the image before its count is trusted for anything.
  const std::optional<ByteReader> nameTable = image.At(namesRva, std::uint64_t{nameCount} * 4);
  const std::optional<ByteReader> ordinalTable =
      image.At(ordinalsRva, std::uint64_t{nameCount} * 2);
  if (!nameTable || !ordinalTable ||
      (functionCount != 0 && !image.At(functionsRva, std::uint64_t{functionCount} * 4))) {
    return std::nullopt;
  }
  names.reserve(nameCount);
  for (std::uint64_t i = 0; i < nameCount; ++i) {
    const std::optional<std::string_view> name = image.CString(*nameTable->U32(i * 4));
    if (!name) {
      return std::nullopt;
    }
    // GetProcAddress finds no function for a name whose ordinal lies past the function table.
    if (*ordinalTable->U16(i * 2) < functionCount && !name->empty()) {
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
  const std::uint64_t coff = std::uint64_t{*peOffset} + 4;
  const std::optional<ByteReader> coffHeader = file.Slice(coff, kCoffHeaderSize);
  if (!coffHeader) {
    return reading;
  }
  const std::uint16_t sectionCount = *coffHeader->U16(2);
  const std::uint16_t optionalHeaderSize = *coffHeader->U16(16);
  const std::uint16_t characteristics = *coffHeader->U16(18);
  if ((characteristics & kExecutableImage) == 0) {
    return reading;
  }
  const std::uint64_t optionalOffset = coff + kCoffHeaderSize;
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
