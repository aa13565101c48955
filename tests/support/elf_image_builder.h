// Builds ELF shared objects byte by byte in memory, 32- or 64-bit, in either byte order, with a
// chosen table of dynamic symbols, so the library stand-in's tests cover the layouts this
// machine's compiler does not make. One option at a time breaks the built object.
//
// The string table's bytes are followed by the symbol table, whose first entry is all zeros, so
// a reader that bounds a name by the file instead of by its section finds a NUL there and shows
// the fault.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillmere::testing {

enum class ElfClass { k32, k64 };
enum class ElfByteOrder { kLittle, kBig };

struct ElfSymbol {
  std::string name;
  std::uint8_t binding = 1;     // STB_GLOBAL; 0 local, 2 weak, 10 GNU unique
  std::uint8_t type = 2;        // STT_FUNC; 0 no type, 1 object, 6 TLS, 10 indirect function
  std::uint8_t visibility = 0;  // STV_DEFAULT; 1 internal, 2 hidden, 3 protected
  bool defined = true;          // false: SHN_UNDEF, a symbol the object imports
};

enum class ElfBreak {
  kNone,
  kNoDynamicSymbols,               // no .dynsym section: a library that exports nothing
  kExtendedSectionCount,           // e_shnum 0, the count in section 0 (still well formed)
  kExecutable,                     // ET_EXEC
  kPositionIndependentExecutable,  // ET_DYN with DF_1_PIE in DT_FLAGS_1
  kRelocatable,                    // ET_REL
  kBadClass,                       // EI_CLASS 3
  kBadByteOrder,                   // EI_DATA 0
  kBadVersion,                     // EI_VERSION 0
  kNoSectionHeaders,               // e_shoff 0
  kSectionEntrySizeTooSmall,       // e_shentsize 16
  kSectionTableBeyondFile,         // e_shoff past the end
  kHugeSectionCount,               // e_shnum 0xFEFF
  kSymbolsBeyondFile,              // .dynsym's sh_offset past the end
  kHugeSymbolTable,                // .dynsym's sh_size 2^31
  kSymbolEntrySizeTooSmall,        // .dynsym's sh_entsize 4
  kStringsBeyondFile,              // .dynstr's sh_offset past the end
  kStringLinkOutOfRange,           // .dynsym's sh_link 99
  kStringLinkNotStringTable,       // .dynsym's sh_link names .dynamic
  kNameOffsetPastStrings,          // the first symbol's st_name past .dynstr
  kNameNotTerminated,              // the last name runs to .dynstr's end without a NUL
  kDynamicBeyondFile,              // .dynamic's sh_offset past the end
};

struct ElfImageOptions {
  ElfClass fileClass = ElfClass::k64;
  ElfByteOrder byteOrder = ElfByteOrder::kLittle;
  std::vector<ElfSymbol> symbols{};
  ElfBreak brokenBy = ElfBreak::kNone;
};

[[nodiscard]] std::vector<std::uint8_t> BuildElfImage(const ElfImageOptions& options);

}  // namespace quillmere::testing
