// Builds Windows library images (PE32 and PE32+ DLLs) byte by byte in memory with a chosen list
// of exported names, so the library stand-in's tests need no cross compiler. One option at a
// time breaks a built image the way a damaged or hostile module library would be broken.
//
// The image has a code section and an export section; the export section's bytes come first in
// the file, followed by the code section's zeros, so a reader that bounds a name by the file
// instead of by its section finds a NUL there and shows the fault.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillmere::testing {

enum class PeWidth { kPe32, kPe32Plus };

enum class PeBreak {
  kNone,
  kNoExportDirectory,                 // data directory 0 empty: a library that exports nothing
  kNoDataDirectories,                 // NumberOfRvaAndSizes 0
  kHugeDirectoryCount,                // NumberOfRvaAndSizes 0xFFFFFFFF, header holds 16
  kBadMzSignature,                    // "MX" instead of "MZ"
  kBadPeSignature,                    // "PE\0\1"
  kNewHeaderBeyondFile,               // e_lfanew 0xFFFFFFF0
  kNotExecutableImage,                // COFF characteristics without IMAGE_FILE_EXECUTABLE_IMAGE
  kBadOptionalMagic,                  // 0x107 (a ROM image)
  kOptionalHeaderTooSmall,            // SizeOfOptionalHeader too small for the directory count
  kOptionalHeaderBeyondFile,          // SizeOfOptionalHeader 0xFFFF
  kSectionTableBeyondFile,            // NumberOfSections 0xFFFF
  kRawDataBeyondFile,                 // export section's PointerToRawData past the end
  kSectionPastAddressSpace,           // export section at RVA 0xFFFFFFE0: tables wrap past 4 GiB
  kExportDirectoryOutsideSections,    // directory RVA 0x9000
  kExportDirectoryCrossesSectionEnd,  // directory starts 8 bytes before its section ends
  kNameTableOutsideSections,          // AddressOfNames 0x9000
  kOrdinalTableOutsideSections,       // AddressOfNameOrdinals 0x9000
  kFunctionTableOutsideSections,      // AddressOfFunctions 0x9000
  kNameOutsideSections,               // the first name's RVA 0x9000
  kNameNotTerminated,                 // the last name runs to its section's end without a NUL
  kHugeNumberOfNames,                 // NumberOfNames 0xFFFFFFFF
  kHugeNumberOfFunctions,             // NumberOfFunctions 0xFFFFFFFF
  kOrdinalPastFunctions,              // the first name's ordinal lies past the function table
};

struct PeImageOptions {
  PeWidth width = PeWidth::kPe32;
  std::vector<std::string> exports{};     // names of functions in the code section
  std::vector<std::string> forwarders{};  // names forwarded to "OTHERLIB.<name>"
  bool dll = true;                        // false: an EXE image with the same export table
  PeBreak brokenBy = PeBreak::kNone;
};

// The image's bytes; names are written in the sorted order GetProcAddress expects.
[[nodiscard]] std::vector<std::uint8_t> BuildPeImage(const PeImageOptions& options);

}  // namespace quillmere::testing
