#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/module_library.h"
#include "support/case_name.h"
#include "support/elf_image_builder.h"
#include "support/pe_image_builder.h"

namespace quillmere {
namespace {

using testing::BuildElfImage;
using testing::BuildPeImage;
using testing::CaseName;
using testing::ElfBreak;
using testing::ElfByteOrder;
using testing::ElfClass;
using testing::ElfImageOptions;
using testing::ElfSymbol;
using testing::PeBreak;
using testing::PeImageOptions;
using testing::PeWidth;
using Names = std::vector<std::string>;

// Table rows print as their names in failure messages, not as bytes.
template <typename Row>
requires requires(const Row& row) {
  std::string_view(row.name);
}
void PrintTo(const Row& row, std::ostream* out) {
  *out << row.name;
}

std::vector<std::uint8_t> FileBytes(const std::string& path) {
  const std::optional<std::string> bytes = RealFileSystem().ReadFile(path);
  EXPECT_TRUE(bytes.has_value()) << "cannot read " << path;
  return bytes ? std::vector<std::uint8_t>(bytes->begin(), bytes->end())
               : std::vector<std::uint8_t>();
}

std::vector<std::uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

// The libraries the build makes from cutpaper_library.c.

struct BuiltLibraryCase {
  std::string_view name;
  std::string_view path;  // empty when this build made no such library
  Names exported;
  Names notExported;
  bool onlyThose;  // the export table holds exactly `exported`
};

class BuiltLibrary : public ::testing::TestWithParam<BuiltLibraryCase> {};

// Names a module file may ask for that the library must not answer: case counts, as
// GetProcAddress compares, and nothing kept to the library itself counts.
const Names kNotExported = {"cutpaper",  "CUTPAPER",        "Cutpaper",      "CutPaper ", "CutPape",
                            "CutPaperX", "HiddenCutHelper", "CountCutBytes", ""};

TEST_P(BuiltLibrary, ExportsTheFunctionsAndDataItMarksAndNothingElse) {
  const BuiltLibraryCase& row = GetParam();
  if (row.path.empty()) {
    GTEST_SKIP() << "the MinGW cross compiler was not found, so this DLL was not built";
  }
  const std::optional<Names> names = ReadExportNames(FileBytes(std::string(row.path)));
  ASSERT_TRUE(names.has_value()) << row.path << " did not load";
  for (const std::string& name : row.exported) {
    EXPECT_TRUE(std::binary_search(names->begin(), names->end(), name)) << name;
  }
  for (const std::string& name : row.notExported) {
    EXPECT_FALSE(std::binary_search(names->begin(), names->end(), name)) << name;
  }
  if (row.onlyThose) {
    EXPECT_EQ(*names, row.exported);
  }
}

INSTANTIATE_TEST_SUITE_P(
    ExportTable, BuiltLibrary,
    ::testing::Values(BuiltLibraryCase{"HostSharedObject",
                                       QUILLMERE_TEST_ELF_LIBRARY,
                                       {"AnalyzeBarcode", "CutPaper", "CutterModel"},
                                       kNotExported,
                                       false},
                      BuiltLibraryCase{"Windows32BitDll",
                                       QUILLMERE_TEST_PE32_LIBRARY,
                                       {"AnalyzeBarcode", "CutPaper", "CutterModel"},
                                       kNotExported,
                                       true},
                      BuiltLibraryCase{"Windows64BitDll",
                                       QUILLMERE_TEST_PE64_LIBRARY,
                                       {"AnalyzeBarcode", "CutPaper", "CutterModel"},
                                       kNotExported,
                                       true}),
    CaseName());

// Images built byte by byte: the export table gives every name, sorted, whatever the width.

struct PeImageCase {
  std::string_view name;
  PeImageOptions options;
  Names expected;
};

class PeImage : public ::testing::TestWithParam<PeImageCase> {};

TEST_P(PeImage, GivesEveryExportedName) {
  const PeImageCase& row = GetParam();
  EXPECT_EQ(ReadExportNames(BuildPeImage(row.options)), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    ExportTable, PeImage,
    ::testing::Values(
        PeImageCase{
            "Pe32Dll",
            {.width = PeWidth::kPe32, .exports = {"CutPaper", "AnalyzeBarcode", "OpenDrawer"}},
            {"AnalyzeBarcode", "CutPaper", "OpenDrawer"}},
        PeImageCase{
            "Pe32PlusDll",
            {.width = PeWidth::kPe32Plus, .exports = {"CutPaper", "AnalyzeBarcode", "OpenDrawer"}},
            {"AnalyzeBarcode", "CutPaper", "OpenDrawer"}},
        // LoadLibraryA maps an EXE image too, and GetProcAddress finds its exports.
        PeImageCase{"ExeImageWithExports",
                    {.width = PeWidth::kPe32, .exports = {"CutPaper"}, .dll = false},
                    {"CutPaper"}},
        // A forwarded name resolves through another library, but it is exported all the same.
        PeImageCase{"ForwardedNamesCount",
                    {.width = PeWidth::kPe32,
                     .exports = {"CutPaper"},
                     .forwarders = {"AnalyzeBarcode", "Beep"}},
                    {"AnalyzeBarcode", "Beep", "CutPaper"}},
        PeImageCase{"Pe32PlusForwarders",
                    {.width = PeWidth::kPe32Plus, .forwarders = {"CutPaper"}},
                    {"CutPaper"}},
        // A library exporting by ordinal only, or nothing at all, still loads.
        PeImageCase{"NoNamesLoadsEmpty", {.width = PeWidth::kPe32}, {}},
        PeImageCase{"NamesWithHighBytes",
                    {.width = PeWidth::kPe32, .exports = {"Schneide\xDF", "_Cut@8", "?Cut@@YAXXZ"}},
                    {"?Cut@@YAXXZ", "Schneide\xDF", "_Cut@8"}}),
    CaseName());

TEST(PeImage, AThousandNamesAllCount) {
  Names names;
  for (int i = 0; i < 1000; ++i) {
    names.push_back("Function" + std::to_string(10000 + i));
  }
  const std::optional<Names> read =
      ReadExportNames(BuildPeImage({.width = PeWidth::kPe32Plus, .exports = names}));
  ASSERT_TRUE(read.has_value());
  ASSERT_EQ(read->size(), 1000U);
  EXPECT_EQ(read->front(), "Function10000");
  EXPECT_EQ(read->back(), "Function10999");
}

// Each way of breaking an image, in both widths: the image does not load, unless the break
// leaves a library that Windows loads too (then what it exports is given).

const Names kPeExports = {"AnalyzeBarcode", "CutPaper", "OpenDrawer"};

struct PeBreakCase {
  std::string_view name;
  PeBreak brokenBy;
  std::optional<Names> expected;
};

class BrokenPeImage : public ::testing::TestWithParam<PeBreakCase> {};

TEST_P(BrokenPeImage, DoesNotLoadOrGivesWhatWindowsFinds) {
  const PeBreakCase& row = GetParam();
  for (const PeWidth width : {PeWidth::kPe32, PeWidth::kPe32Plus}) {
    SCOPED_TRACE(width == PeWidth::kPe32 ? "PE32" : "PE32+");
    EXPECT_EQ(ReadExportNames(
                  BuildPeImage({.width = width, .exports = kPeExports, .brokenBy = row.brokenBy})),
              row.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    ExportTable, BrokenPeImage,
    ::testing::Values(
        PeBreakCase{"NoExportDirectoryLoadsEmpty", PeBreak::kNoExportDirectory, Names{}},
        PeBreakCase{"NoDataDirectoriesLoadsEmpty", PeBreak::kNoDataDirectories, Names{}},
        PeBreakCase{"HugeDirectoryCountReadsOnlyTheHeader", PeBreak::kHugeDirectoryCount,
                    kPeExports},
        PeBreakCase{"NameWithOrdinalPastFunctionsIsNotExported", PeBreak::kOrdinalPastFunctions,
                    Names{"CutPaper", "OpenDrawer"}},
        PeBreakCase{"BadMzSignature", PeBreak::kBadMzSignature, std::nullopt},
        PeBreakCase{"BadPeSignature", PeBreak::kBadPeSignature, std::nullopt},
        PeBreakCase{"NewHeaderBeyondFile", PeBreak::kNewHeaderBeyondFile, std::nullopt},
        PeBreakCase{"NotExecutableImage", PeBreak::kNotExecutableImage, std::nullopt},
        PeBreakCase{"BadOptionalMagic", PeBreak::kBadOptionalMagic, std::nullopt},
        PeBreakCase{"OptionalHeaderTooSmall", PeBreak::kOptionalHeaderTooSmall, std::nullopt},
        PeBreakCase{"OptionalHeaderBeyondFile", PeBreak::kOptionalHeaderBeyondFile, std::nullopt},
        PeBreakCase{"SectionTableBeyondFile", PeBreak::kSectionTableBeyondFile, std::nullopt},
        PeBreakCase{"RawDataBeyondFile", PeBreak::kRawDataBeyondFile, std::nullopt},
        PeBreakCase{"SectionPastAddressSpace", PeBreak::kSectionPastAddressSpace, std::nullopt},
        PeBreakCase{"ExportDirectoryOutsideSections", PeBreak::kExportDirectoryOutsideSections,
                    std::nullopt},
        PeBreakCase{"ExportDirectoryCrossesSectionEnd", PeBreak::kExportDirectoryCrossesSectionEnd,
                    std::nullopt},
        PeBreakCase{"NameTableOutsideSections", PeBreak::kNameTableOutsideSections, std::nullopt},
        PeBreakCase{"OrdinalTableOutsideSections", PeBreak::kOrdinalTableOutsideSections,
                    std::nullopt},
        PeBreakCase{"FunctionTableOutsideSections", PeBreak::kFunctionTableOutsideSections,
                    std::nullopt},
        PeBreakCase{"NameOutsideSections", PeBreak::kNameOutsideSections, std::nullopt},
        PeBreakCase{"NameNotTerminated", PeBreak::kNameNotTerminated, std::nullopt},
        PeBreakCase{"HugeNumberOfNames", PeBreak::kHugeNumberOfNames, std::nullopt},
        PeBreakCase{"HugeNumberOfFunctions", PeBreak::kHugeNumberOfFunctions, std::nullopt}),
    CaseName());

// Which dynamic symbols of a shared object count: what dlsym would find, in every layout.

struct ElfLayout {
  const char* name;
  ElfClass fileClass;
  ElfByteOrder byteOrder;
};

constexpr ElfLayout kElfLayouts[] = {
    {"32-bit little-endian", ElfClass::k32, ElfByteOrder::kLittle},
    {"32-bit big-endian", ElfClass::k32, ElfByteOrder::kBig},
    {"64-bit little-endian", ElfClass::k64, ElfByteOrder::kLittle},
    {"64-bit big-endian", ElfClass::k64, ElfByteOrder::kBig},
};

struct ElfSymbolCase {
  std::string_view name;
  ElfSymbol symbol;
  bool exported;
};

class ElfSymbolRule : public ::testing::TestWithParam<ElfSymbolCase> {};

TEST_P(ElfSymbolRule, ExportedWhenDlsymWouldFindIt) {
  const ElfSymbolCase& row = GetParam();
  // A plain exported function beside the symbol under test shows the object itself loads.
  const ElfSymbol control{"CutPaper", 1, 2, 0, true};
  for (const ElfLayout& layout : kElfLayouts) {
    SCOPED_TRACE(layout.name);
    const std::optional<Names> names = ReadExportNames(BuildElfImage(
        {layout.fileClass, layout.byteOrder, {control, row.symbol}, ElfBreak::kNone}));
    Names expected = row.exported ? Names{"CutPaper", row.symbol.name} : Names{"CutPaper"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    ExportTable, ElfSymbolRule,
    ::testing::Values(
        ElfSymbolCase{"GlobalFunction", {"AnalyzeBarcode", 1, 2, 0, true}, true},
        ElfSymbolCase{"WeakFunction", {"AnalyzeBarcode", 2, 2, 0, true}, true},
        ElfSymbolCase{"GlobalObject", {"CutterModel", 1, 1, 0, true}, true},
        ElfSymbolCase{"GnuUniqueObject", {"CutterTable", 10, 1, 0, true}, true},
        ElfSymbolCase{"IndirectFunction", {"ResolveCut", 1, 10, 0, true}, true},
        ElfSymbolCase{"ProtectedFunction", {"ProtectedCut", 1, 2, 3, true}, true},
        ElfSymbolCase{"HiddenFunction", {"HiddenCutHelper", 1, 2, 2, true}, false},
        ElfSymbolCase{"InternalFunction", {"InternalCutHelper", 1, 2, 1, true}, false},
        ElfSymbolCase{"LocalFunction", {"CountCutBytes", 0, 2, 0, true}, false},
        ElfSymbolCase{"UndefinedImport", {"write", 1, 2, 0, false}, false},
        ElfSymbolCase{"WeakUndefinedImport", {"__gmon_start__", 2, 0, 0, false}, false},
        ElfSymbolCase{"ThreadLocalObject", {"CutState", 1, 6, 0, true}, false},
        ElfSymbolCase{"UntypedSymbol", {"CutMark", 1, 0, 0, true}, false}),
    CaseName());

const Names kElfExports = {"AnalyzeBarcode", "CutPaper", "CutterModel"};

ElfImageOptions ElfLibrary(const ElfLayout& layout, ElfBreak brokenBy = ElfBreak::kNone) {
  return {layout.fileClass,
          layout.byteOrder,
          {{"CutPaper", 1, 2, 0, true},
           {"CutterModel", 1, 1, 0, true},
           {"AnalyzeBarcode", 1, 2, 0, true}},
          brokenBy};
}

struct ElfBreakCase {
  std::string_view name;
  ElfBreak brokenBy;
  std::optional<Names> expected;
};

class BrokenElfImage : public ::testing::TestWithParam<ElfBreakCase> {};

TEST_P(BrokenElfImage, DoesNotLoadOrGivesWhatDlsymFinds) {
  const ElfBreakCase& row = GetParam();
  for (const ElfLayout& layout : kElfLayouts) {
    SCOPED_TRACE(layout.name);
    EXPECT_EQ(ReadExportNames(BuildElfImage(ElfLibrary(layout, row.brokenBy))), row.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    ExportTable, BrokenElfImage,
    ::testing::Values(
        ElfBreakCase{"WellFormed", ElfBreak::kNone, kElfExports},
        ElfBreakCase{"ExtendedSectionCount", ElfBreak::kExtendedSectionCount, kElfExports},
        ElfBreakCase{"NoDynamicSymbolsLoadsEmpty", ElfBreak::kNoDynamicSymbols, Names{}},
        // dlopen refuses executables, fixed-address and position-independent alike.
        ElfBreakCase{"Executable", ElfBreak::kExecutable, std::nullopt},
        ElfBreakCase{"PositionIndependentExecutable", ElfBreak::kPositionIndependentExecutable,
                     std::nullopt},
        ElfBreakCase{"Relocatable", ElfBreak::kRelocatable, std::nullopt},
        ElfBreakCase{"BadClass", ElfBreak::kBadClass, std::nullopt},
        ElfBreakCase{"BadByteOrder", ElfBreak::kBadByteOrder, std::nullopt},
        ElfBreakCase{"BadVersion", ElfBreak::kBadVersion, std::nullopt},
        ElfBreakCase{"NoSectionHeaders", ElfBreak::kNoSectionHeaders, std::nullopt},
        ElfBreakCase{"SectionEntrySizeTooSmall", ElfBreak::kSectionEntrySizeTooSmall, std::nullopt},
        ElfBreakCase{"SectionTableBeyondFile", ElfBreak::kSectionTableBeyondFile, std::nullopt},
        ElfBreakCase{"HugeSectionCount", ElfBreak::kHugeSectionCount, std::nullopt},
        ElfBreakCase{"SymbolsBeyondFile", ElfBreak::kSymbolsBeyondFile, std::nullopt},
        ElfBreakCase{"HugeSymbolTable", ElfBreak::kHugeSymbolTable, std::nullopt},
        ElfBreakCase{"SymbolEntrySizeTooSmall", ElfBreak::kSymbolEntrySizeTooSmall, std::nullopt},
        ElfBreakCase{"StringsBeyondFile", ElfBreak::kStringsBeyondFile, std::nullopt},
        ElfBreakCase{"StringLinkOutOfRange", ElfBreak::kStringLinkOutOfRange, std::nullopt},
        ElfBreakCase{"StringLinkNotStringTable", ElfBreak::kStringLinkNotStringTable, std::nullopt},
        ElfBreakCase{"NameOffsetPastStrings", ElfBreak::kNameOffsetPastStrings, std::nullopt},
        ElfBreakCase{"NameNotTerminated", ElfBreak::kNameNotTerminated, std::nullopt},
        ElfBreakCase{"DynamicBeyondFile", ElfBreak::kDynamicBeyondFile, std::nullopt}),
    CaseName());

// Truncated libraries: every cut gives nothing or some of the names, and never reads past the
// cut (each prefix is a buffer of its own, so the address sanitizer sees a read beyond it).

struct TruncationCase {
  std::string_view name;
  std::vector<std::uint8_t> (*image)();
  std::size_t step;  // 1: every prefix length
};

class TruncatedLibrary : public ::testing::TestWithParam<TruncationCase> {};

TEST_P(TruncatedLibrary, GivesNoneOrSomeOfTheNames) {
  const TruncationCase& row = GetParam();
  const std::vector<std::uint8_t> whole = row.image();
  if (whole.empty()) {
    GTEST_SKIP() << "this library was not built";
  }
  const std::optional<Names> all = ReadExportNames(whole);
  ASSERT_TRUE(all.has_value());
  ASSERT_FALSE(all->empty());
  for (std::size_t length = 0; length < whole.size(); length += length < 4096 ? 1 : row.step) {
    const std::vector<std::uint8_t> prefix(whole.begin(),
                                           whole.begin() + static_cast<std::ptrdiff_t>(length));
    const std::optional<Names> names = ReadExportNames(prefix);
    // The first 64 bytes hold no more than the file's signature and first header.
    if (length < 64) {
      EXPECT_EQ(names, std::nullopt) << "a cut at " << length << " bytes loaded";
    }
    if (names) {
      ASSERT_TRUE(std::includes(all->begin(), all->end(), names->begin(), names->end()))
          << "a cut at " << length << " bytes gave a name the whole library lacks";
    }
  }
}

std::vector<std::uint8_t> MaybeFile(std::string_view path) {
  return path.empty() ? std::vector<std::uint8_t>() : FileBytes(std::string(path));
}

INSTANTIATE_TEST_SUITE_P(
    ExportTable, TruncatedLibrary,
    ::testing::Values(
        TruncationCase{"BuiltPe32",
                       [] {
                         return BuildPeImage({.width = PeWidth::kPe32,
                                              .exports = kPeExports,
                                              .forwarders = {"Beep"}});
                       },
                       1},
        TruncationCase{"BuiltPe32Plus",
                       [] {
                         return BuildPeImage({.width = PeWidth::kPe32Plus,
                                              .exports = kPeExports,
                                              .forwarders = {"Beep"}});
                       },
                       1},
        TruncationCase{"BuiltElf32BigEndian",
                       [] { return BuildElfImage(ElfLibrary(kElfLayouts[1])); }, 1},
        TruncationCase{"BuiltElf64LittleEndian",
                       [] { return BuildElfImage(ElfLibrary(kElfLayouts[2])); }, 1},
        TruncationCase{"HostSharedObject", [] { return MaybeFile(QUILLMERE_TEST_ELF_LIBRARY); }, 1},
        TruncationCase{"Windows32BitDll", [] { return MaybeFile(QUILLMERE_TEST_PE32_LIBRARY); }, 7},
        TruncationCase{"Windows64BitDll", [] { return MaybeFile(QUILLMERE_TEST_PE64_LIBRARY); },
                       7}),
    CaseName());

// A shared object keeps its section headers at its end, so every cut loses them.
TEST(TruncatedLibrary, SharedObjectCutAnywhereDoesNotLoad) {
  const std::vector<std::uint8_t> whole = FileBytes(QUILLMERE_TEST_ELF_LIBRARY);
  ASSERT_TRUE(ReadExportNames(whole).has_value());
  for (const std::size_t length :
       {std::size_t{0}, std::size_t{4}, std::size_t{64}, whole.size() / 2, whole.size() - 1}) {
    const std::vector<std::uint8_t> prefix(whole.begin(),
                                           whole.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_EQ(ReadExportNames(prefix), std::nullopt) << "cut at " << length;
  }
}

// Files that are no library at all.

struct GarbageCase {
  std::string_view name;
  std::vector<std::uint8_t> bytes;
};

class NoLibrary : public ::testing::TestWithParam<GarbageCase> {};

TEST_P(NoLibrary, DoesNotLoad) {
  EXPECT_EQ(ReadExportNames(GetParam().bytes), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    ExportTable, NoLibrary,
    ::testing::Values(
        GarbageCase{"EmptyFile", {}}, GarbageCase{"OneByte", {0x4D}},
        GarbageCase{"MzAlone", Bytes("MZ")},
        GarbageCase{"DosHeaderOfZeros",
                    [] {
                      std::vector<std::uint8_t> bytes(64, 0);
                      bytes[0] = 'M';
                      bytes[1] = 'Z';
                      return bytes;
                    }()},
        GarbageCase{"ElfMagicAlone", Bytes("\x7F"
                                           "ELF")},
        GarbageCase{"ModuleFile",
                    Bytes("[Main]\r\nModule_Name=Epson TM-T88\r\nUseDll=1,EscPosCut.dll\r\n")},
        GarbageCase{"MillionZeros", std::vector<std::uint8_t>(1'000'000, 0)},
        GarbageCase{"MillionBytesOfMz", std::vector<std::uint8_t>(1'000'000, 'M')}),
    CaseName());

TEST(NoLibrary, RandomBytesDoNotLoad) {
  std::mt19937 random(20240607);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<std::size_t> length(0, 8192);
  for (int round = 0; round < 300; ++round) {
    std::vector<std::uint8_t> bytes(length(random));
    std::generate(bytes.begin(), bytes.end(),
                  [&] { return static_cast<std::uint8_t>(byte(random)); });
    EXPECT_EQ(ReadExportNames(bytes), std::nullopt) << "round " << round;
  }
}

// Random bytes behind real headers reach the deeper readers: whatever they give, every name is
// a NUL-terminated string of the image itself.
TEST(NoLibrary, RandomBytesBehindValidHeadersStayInside) {
  std::mt19937 random(77);
  std::uniform_int_distribution<int> byte(0, 255);
  const std::vector<std::uint8_t> pe =
      BuildPeImage({.width = PeWidth::kPe32, .exports = kPeExports});
  const std::vector<std::uint8_t> elf = BuildElfImage(ElfLibrary(kElfLayouts[2]));
  for (const std::vector<std::uint8_t>* valid : {&pe, &elf}) {
    for (int round = 0; round < 300; ++round) {
      std::vector<std::uint8_t> bytes = *valid;
      // Keep the signatures, scramble a handful of bytes anywhere else.
      for (int flips = 0; flips < 8; ++flips) {
        const std::size_t at = 4 + static_cast<std::size_t>(random()) % (bytes.size() - 4);
        bytes[at] = static_cast<std::uint8_t>(byte(random));
      }
      const std::optional<Names> names = ReadExportNames(bytes);
      for (const std::string& name : names.value_or(Names{})) {
        std::vector<std::uint8_t> terminated(name.begin(), name.end());
        terminated.push_back(0);
        EXPECT_NE(std::search(bytes.begin(), bytes.end(), terminated.begin(), terminated.end()),
                  bytes.end())
            << "round " << round << ": \"" << name << "\" is not a string of the image";
      }
    }
  }
}

}  // namespace
}  // namespace quillmere
