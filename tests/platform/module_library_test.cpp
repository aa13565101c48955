// The module library stand-in: the export tables of Windows images (32- and 64-bit) and of ELF
// shared objects, read without running anything, and damaged or hostile files that do not load
// and never make a read outside the file. Images are built here byte by byte; the libraries
// the build makes from cutpaper_library.c are read too.
#include "platform/module_library.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "support/faulty_file_system.h"
#include "support/temp_folder.h"

namespace quillmere {
namespace {

using testing::FaultyFileSystem;
using testing::TempFolder;
using Names = std::vector<std::string>;
using Image = std::vector<std::uint8_t>;

constexpr std::uint64_t kPastTheEnd = 0x7FFFFFF0;
constexpr std::size_t kExports = 0x200;     // the file offset of a built image's export directory
constexpr std::uint32_t kOutside = 0x9000;  // an address in no section of a built image

// Writes at fixed offsets in either byte order, the image growing with zeros as needed.
struct Builder {
  Image bytes;
  bool big = false;
  void Put(std::size_t at, std::uint64_t value, std::size_t width) {
    bytes.resize(std::max(bytes.size(), at + width), 0);
    for (std::size_t i = 0; i < width; ++i) {
      bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * (big ? width - 1 - i : i)));
    }
  }
  void Text(std::size_t at, std::string_view text) {  // NUL-terminated
    for (std::size_t i = 0; i <= text.size(); ++i) {
      Put(at + i, i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0, 1);
    }
  }
};

// A Windows image: headers, the export section at file offset 0x200 (directory, function, name
// and ordinal tables, forwarder texts, then the names, last), then a code section of zeros, so a
// name bounded by the file instead of by its section finds a NUL there.
struct Pe : Builder {
  bool wide = false;
  std::size_t dirCount = 0;  // NumberOfRvaAndSizes; the export directory's address follows
  std::size_t sectionTable = 0, firstName = 0, firstOrdinal = 0, lastNul = 0;
  std::size_t used = 0;  // bytes of the export section in use, its virtual size
};

Pe BuildPe(bool wide, const Names& exports, const Names& forwarded = {}, bool dll = true,
           std::uint32_t rva = 0x2000) {
  std::vector<std::pair<std::string, bool>> entries;
  for (const std::string& name : exports) {
    entries.emplace_back(name, false);
  }
  for (const std::string& name : forwarded) {
    entries.emplace_back(name, true);
  }
  std::sort(entries.begin(), entries.end());
  const std::size_t count = entries.size();
  Pe pe;
  pe.wide = wide;
  const std::size_t e = kExports;
  const std::size_t functions = 40, names = functions + 4 * count, ordinals = names + 4 * count;
  std::size_t next = ordinals + 2 * count;
  const std::uint64_t directory[] = {1, count, count, rva + functions, rva + names, rva + ordinals};
  for (std::size_t i = 0; i < 6; ++i) {
    pe.Put(e + 16 + 4 * i, directory[i], 4);  // ordinal base, counts, the tables' addresses
  }
  for (std::size_t i = 0; i < count; ++i) {
    std::size_t target = 0x1000 + 0x10 * i;
    if (entries[i].second) {
      target = rva + next;
      pe.Text(e + next, "OTHERLIB." + entries[i].first);
      next += entries[i].first.size() + 10;
    }
    pe.Put(e + functions + 4 * i, target, 4);
    pe.Put(e + ordinals + 2 * i, i, 2);
  }
  for (std::size_t i = 0; i < count; ++i) {
    pe.Put(e + names + 4 * i, rva + next, 4);
    pe.Text(e + next, entries[i].first);
    next += entries[i].first.size() + 1;
  }
  pe.firstName = e + names;
  pe.firstOrdinal = e + ordinals;
  pe.lastNul = e + next - 1;
  pe.used = next;
  const std::size_t exportRaw = (next + 0x1FF) / 0x200 * 0x200;
  pe.Text(0, "MZ");
  pe.Put(0x3C, 0x80, 4);
  pe.Text(0x80, "PE");
  pe.Put(0x84, wide ? 0x8664 : 0x14C, 2);  // machine
  pe.Put(0x86, 2, 2);                      // sections
  const std::size_t optionalSize = (wide ? 112 : 96) + 16 * 8;
  pe.Put(0x94, optionalSize, 2);
  pe.Put(0x96, 0x0002 | (dll ? 0x2000 : 0) | (wide ? 0x20 : 0x100), 2);  // executable image
  pe.Put(0x98, wide ? 0x20B : 0x10B, 2);
  pe.dirCount = 0x98 + (wide ? 108 : 92);
  pe.Put(pe.dirCount, 16, 4);
  pe.Put(pe.dirCount + 4, rva, 4);
  pe.Put(pe.dirCount + 8, next, 4);
  pe.sectionTable = 0x98 + optionalSize;
  const std::uint64_t code[] = {0x100, 0x1000, 0x200, 0x200 + exportRaw};  // size, rva, raw, at
  const std::uint64_t data[] = {next, rva, exportRaw, 0x200};
  for (std::size_t i = 0; i < 4; ++i) {
    pe.Put(pe.sectionTable + 8 + 4 * i, code[i], 4);
    pe.Put(pe.sectionTable + 48 + 4 * i, data[i], 4);
  }
  pe.Put(0x3FF + exportRaw, 0, 1);
  return pe;
}

const Names kPeNames = {"AnalyzeBarcode", "CutPaper", "OpenDrawer"};

// The export table gives every name, sorted, whatever the width or the kind of image.
TEST(PeImage, GivesEveryExportedName) {
  const Names odd = {"Schneide\xDF", "_Cut@8", "?Cut@@YAXXZ"};
  const struct {
    const char* name;
    Pe image;
    Names expected;
  } rows[] = {
      {"PE32 DLL", BuildPe(false, {"OpenDrawer", "CutPaper", "AnalyzeBarcode"}), kPeNames},
      {"PE32+ DLL", BuildPe(true, {"OpenDrawer", "CutPaper", "AnalyzeBarcode"}), kPeNames},
      // LoadLibraryA maps an EXE image too, and GetProcAddress finds its exports.
      {"EXE image", BuildPe(false, {"CutPaper"}, {}, false), {"CutPaper"}},
      // A forwarded name resolves through another library, but it is exported all the same.
      {"forwarded",
       BuildPe(false, {"CutPaper"}, {"Beep", "AnalyzeBarcode"}),
       {"AnalyzeBarcode", "Beep", "CutPaper"}},
      {"no names loads empty", BuildPe(false, {}), {}},
      {"names with high bytes", BuildPe(false, odd), {"?Cut@@YAXXZ", "Schneide\xDF", "_Cut@8"}}};
  for (const auto& row : rows) {
    EXPECT_EQ(ReadExportNames(row.image.bytes), row.expected) << row.name;
  }
}

// Each way of breaking an image, in both widths: it does not load, unless what is left is a
// library Windows loads too (then what it exports is given).
TEST(PeImage, BrokenImageDoesNotLoadOrGivesWhatWindowsFinds) {
  const struct {
    const char* name;
    std::function<void(Pe&)> breakIt;
    std::optional<Names> expected = std::nullopt;  // does not load
  } rows[] = {
      {"no export directory", [](Pe& p) { p.Put(p.dirCount + 4, 0, 4); }, Names{}},
      {"no data directories", [](Pe& p) { p.Put(p.dirCount, 0, 4); }, Names{}},
      {"huge directory count", [](Pe& p) { p.Put(p.dirCount, 0xFFFFFFFF, 4); }, kPeNames},
      {"ordinal past functions", [](Pe& p) { p.Put(p.firstOrdinal, 9, 2); },
       Names{"CutPaper", "OpenDrawer"}},
      {"bad MZ signature", [](Pe& p) { p.Put(1, 'X', 1); }},
      {"bad PE signature", [](Pe& p) { p.Put(0x83, 1, 1); }},
      {"new header beyond file", [](Pe& p) { p.Put(0x3C, 0xFFFFFFF0, 4); }},
      {"not an executable image", [](Pe& p) { p.Put(0x96, 0x2000, 2); }},
      {"bad optional magic", [](Pe& p) { p.Put(0x98, 0x107, 2); }},
      {"optional header too small", [](Pe& p) { p.Put(0x94, 64, 2); }},
      {"optional header beyond file", [](Pe& p) { p.Put(0x94, 0xFFFF, 2); }},
      {"section table beyond file", [](Pe& p) { p.Put(0x86, 0xFFFF, 2); }},
      {"raw data beyond file", [](Pe& p) { p.Put(p.sectionTable + 60, kPastTheEnd, 4); }},
      {"section past address space",
       [](Pe& p) { p = BuildPe(p.wide, kPeNames, {}, true, 0xFFFFFFE0); }},
      {"directory outside sections", [](Pe& p) { p.Put(p.dirCount + 4, kOutside, 4); }},
      {"directory crosses section end", [](Pe& p) { p.Put(p.dirCount + 4, 0x1FF8 + p.used, 4); }},
      {"function table outside", [](Pe& p) { p.Put(kExports + 28, kOutside, 4); }},
      {"name table outside", [](Pe& p) { p.Put(kExports + 32, kOutside, 4); }},
      {"ordinal table outside", [](Pe& p) { p.Put(kExports + 36, kOutside, 4); }},
      {"name outside sections", [](Pe& p) { p.Put(p.firstName, kOutside, 4); }},
      {"name not terminated", [](Pe& p) { p.Put(p.lastNul, 'A', 1); }},
      {"huge number of functions", [](Pe& p) { p.Put(kExports + 20, 0xFFFFFFFF, 4); }},
      {"huge number of names", [](Pe& p) { p.Put(kExports + 24, 0xFFFFFFFF, 4); }}};
  for (const bool wide : {false, true}) {
    for (const auto& row : rows) {
      Pe image = BuildPe(wide, kPeNames);
      row.breakIt(image);
      EXPECT_EQ(ReadExportNames(image.bytes), row.expected) << row.name << (wide ? " PE32+" : "");
    }
  }
}

struct ElfSymbol {
  std::string name;
  std::uint8_t binding = 1;     // STB_GLOBAL; 0 local, 2 weak, 10 GNU unique
  std::uint8_t type = 2;        // STT_FUNC; 0 no type, 1 object, 6 TLS, 10 indirect function
  std::uint8_t visibility = 0;  // STV_DEFAULT; 1 internal, 2 hidden, 3 protected
  bool defined = true;          // false: an import
};

// An ELF shared object: header, .dynstr, .dynsym right behind it (its null first entry follows
// the last name, so a name bounded by the file instead of by its section finds a NUL there),
// .dynamic with DT_FLAGS_1, then the section headers: null, .dynsym, .dynstr, .dynamic.
struct Elf : Builder {
  enum Field : std::size_t { kOffset, kSize, kLink, kEntrySize };
  bool wide = false;
  std::size_t table = 0, firstSymbol = 0, lastNul = 0, flags = 0;
  [[nodiscard]] std::size_t SectionTableField() const { return wide ? 40 : 32; }
  [[nodiscard]] std::size_t EntrySizeField() const { return wide ? 58 : 46; }  // count follows
  [[nodiscard]] std::size_t Section(std::size_t index) const {
    return table + index * (wide ? 64 : 40);
  }
  void Address(std::size_t at, std::uint64_t value) { Put(at, value, wide ? 8 : 4); }
  void Set(std::size_t section, Field field, std::uint64_t value) {
    static constexpr std::size_t kAt32[] = {16, 20, 24, 36}, kAt64[] = {24, 32, 40, 56};
    Put(Section(section) + (wide ? kAt64 : kAt32)[field], value, field == kLink || !wide ? 4 : 8);
  }
};

Elf BuildElf(bool wide, bool big, const std::vector<ElfSymbol>& symbols) {
  Elf elf;
  elf.wide = wide;
  elf.big = big;
  const std::size_t header = wide ? 64 : 52, symbolSize = wide ? 24 : 16, entry = wide ? 16 : 8;
  std::size_t at = header + 1;  // .dynstr starts with a NUL
  std::vector<std::size_t> nameAt;
  for (const ElfSymbol& symbol : symbols) {
    nameAt.push_back(at - header);
    elf.Text(at, symbol.name);
    at += symbol.name.size() + 1;
  }
  elf.lastNul = at - 1;
  const std::size_t stringsSize = at - header, symbolsAt = at;
  elf.firstSymbol = symbolsAt + symbolSize;
  for (std::size_t i = 0; i < symbols.size(); ++i) {
    const std::size_t symbol = elf.firstSymbol + i * symbolSize, info = symbol + (wide ? 4 : 12);
    elf.Put(symbol, nameAt[i], 4);
    elf.Put(info, (unsigned{symbols[i].binding} << 4U) | symbols[i].type, 1);
    elf.Put(info + 1, symbols[i].visibility, 1);
    elf.Put(info + 2, symbols[i].defined ? 1 : 0, 2);
  }
  const std::size_t symbolsSize = (symbols.size() + 1) * symbolSize;
  const std::size_t dynamic = (symbolsAt + symbolsSize + 7) / 8 * 8;
  elf.Address(dynamic, 0x6ffffffb);
  elf.flags = dynamic + entry / 2;
  elf.Address(elf.flags, 1);
  elf.table = dynamic + 2 * entry;
  elf.Put(elf.Section(4) - 1, 0, 1);
  const std::uint64_t sections[][5] = {// type, offset, size, link, entry size
                                       {11, symbolsAt, symbolsSize, 2, symbolSize},
                                       {3, header, stringsSize, 0, 0},
                                       {6, dynamic, 2 * entry, 2, entry}};
  for (std::size_t i = 1; i <= 3; ++i) {
    elf.Put(elf.Section(i) + 4, sections[i - 1][0], 4);
    for (std::size_t field = 0; field < 4; ++field) {
      elf.Set(i, static_cast<Elf::Field>(field), sections[i - 1][field + 1]);
    }
  }
  elf.Text(0, "\177ELF");
  elf.Put(4, wide ? 2 : 1, 1);
  elf.Put(5, big ? 2 : 1, 1);
  elf.Put(6, 1, 1);
  elf.Put(16, 3, 2);  // a shared object
  elf.Address(elf.SectionTableField(), elf.table);
  elf.Put(elf.EntrySizeField(), wide ? 64 : 40, 2);
  elf.Put(elf.EntrySizeField() + 2, 4, 2);
  return elf;
}

const Names kLibraryNames = {"AnalyzeBarcode", "CutPaper", "CutterModel"};
const std::vector<ElfSymbol> kElfSymbols = {
    {"CutPaper"}, {"CutterModel", 1, 1}, {"AnalyzeBarcode"}};
constexpr bool kLayouts[][2] = {{false, false}, {false, true}, {true, false}, {true, true}};

// Which dynamic symbols count, in every layout: what dlsym would find.
TEST(ElfImage, ExportsWhatDlsymWouldFind) {
  const struct {
    ElfSymbol symbol;
    bool exported;
  } rows[] = {{{"WeakFunction", 2}, true},         {{"GlobalObject", 1, 1}, true},
              {{"UniqueObject", 10, 1}, true},     {{"IndirectFunction", 1, 10}, true},
              {{"Protected", 1, 2, 3}, true},      {{"Hidden", 1, 2, 2}, false},
              {{"Internal", 1, 2, 1}, false},      {{"Local", 0}, false},
              {{"Import", 1, 2, 0, false}, false}, {{"ThreadLocal", 1, 6}, false},
              {{"Untyped", 1, 0}, false}};
  for (const auto& layout : kLayouts) {
    for (const auto& row : rows) {
      // A plain exported function beside the symbol under test shows the object loads; every
      // name under test sorts after it.
      const Elf elf = BuildElf(layout[0], layout[1], {{"CutPaper"}, row.symbol});
      const Names expected = row.exported ? Names{"CutPaper", row.symbol.name} : Names{"CutPaper"};
      EXPECT_EQ(ReadExportNames(elf.bytes), expected) << row.symbol.name << layout[0] << layout[1];
    }
  }
}

// Each way of breaking a shared object, in every layout.
TEST(ElfImage, BrokenObjectDoesNotLoadOrGivesWhatDlsymFinds) {
  const struct {
    const char* name;
    std::function<void(Elf&)> breakIt;
    std::optional<Names> expected = std::nullopt;  // does not load
  } rows[] = {
      {"well formed", [](Elf&) {}, kLibraryNames},
      {"extended section count",
       [](Elf& e) {
         e.Put(e.EntrySizeField() + 2, 0, 2);
         e.Set(0, Elf::kSize, 4);
       },
       kLibraryNames},
      {"no dynamic symbols", [](Elf& e) { e.Put(e.Section(1) + 4, 1, 4); }, Names{}},
      // dlopen refuses executables, fixed-address and position-independent alike.
      {"executable", [](Elf& e) { e.Put(16, 2, 2); }},
      {"position-independent", [](Elf& e) { e.Address(e.flags, 0x08000001); }},
      {"relocatable", [](Elf& e) { e.Put(16, 1, 2); }},
      {"bad class", [](Elf& e) { e.Put(4, 3, 1); }},
      {"bad byte order", [](Elf& e) { e.Put(5, 0, 1); }},
      {"bad version", [](Elf& e) { e.Put(6, 0, 1); }},
      {"no section headers", [](Elf& e) { e.Address(e.SectionTableField(), 0); }},
      {"section table beyond file", [](Elf& e) { e.Address(e.SectionTableField(), kPastTheEnd); }},
      {"section entry too small", [](Elf& e) { e.Put(e.EntrySizeField(), 16, 2); }},
      {"huge section count", [](Elf& e) { e.Put(e.EntrySizeField() + 2, 0xFEFF, 2); }},
      {"symbols beyond file", [](Elf& e) { e.Set(1, Elf::kOffset, kPastTheEnd); }},
      {"huge symbol table", [](Elf& e) { e.Set(1, Elf::kSize, 0x80000000); }},
      {"symbol entry too small", [](Elf& e) { e.Set(1, Elf::kEntrySize, 4); }},
      {"strings beyond file", [](Elf& e) { e.Set(2, Elf::kOffset, kPastTheEnd); }},
      {"string link out of range", [](Elf& e) { e.Set(1, Elf::kLink, 99); }},
      {"string link not strings", [](Elf& e) { e.Set(1, Elf::kLink, 3); }},
      {"name past strings", [](Elf& e) { e.Put(e.firstSymbol, 1000, 4); }},
      {"name not terminated", [](Elf& e) { e.Put(e.lastNul, 'A', 1); }},
      {"dynamic beyond file", [](Elf& e) { e.Set(3, Elf::kOffset, kPastTheEnd); }}};
  for (const auto& layout : kLayouts) {
    for (const auto& row : rows) {
      Elf elf = BuildElf(layout[0], layout[1], kElfSymbols);
      row.breakIt(elf);
      EXPECT_EQ(ReadExportNames(elf.bytes), row.expected) << row.name << layout[0] << layout[1];
    }
  }
}

// The bytes of a library the build made; none when it made none there (no MinGW compiler).
Image FileBytes(const std::string& path) {
  const std::optional<std::string> bytes = RealFileSystem().ReadFile(path);
  EXPECT_TRUE(path.empty() || bytes.has_value()) << path;
  return bytes ? Image(bytes->begin(), bytes->end()) : Image();
}

// Every cut of a library gives nothing or some of its names, never a read past the cut (each
// prefix is a buffer of its own, for the address sanitizer). A shared object keeps its section
// headers at its end, so every cut of one loses them.
TEST(TruncatedLibrary, GivesNothingOrSomeOfTheNames) {
  const struct {
    const char* name;
    Image whole;
    bool elf;
  } rows[] = {{"PE32", BuildPe(false, kPeNames, {"Beep"}).bytes, false},
              {"PE32+", BuildPe(true, kPeNames, {"Beep"}).bytes, false},
              {"ELF32 big-endian", BuildElf(false, true, kElfSymbols).bytes, true},
              {"ELF64", BuildElf(true, false, kElfSymbols).bytes, true},
              {"host shared object", FileBytes(QUILLMERE_TEST_ELF_LIBRARY), true},
              {"32-bit DLL", FileBytes(QUILLMERE_TEST_PE32_LIBRARY), false},
              {"64-bit DLL", FileBytes(QUILLMERE_TEST_PE64_LIBRARY), false}};
  for (const auto& row : rows) {
    const std::optional<Names> all = ReadExportNames(row.whole);
    ASSERT_TRUE(row.whole.empty() || (all && !all->empty())) << row.name;
    for (std::size_t length = 0; length < row.whole.size(); length += length < 4096 ? 1 : 7) {
      const Image prefix(row.whole.begin(),
                         row.whole.begin() + static_cast<std::ptrdiff_t>(length));
      const std::optional<Names> names = ReadExportNames(prefix);
      if (length < 64 || row.elf) {
        ASSERT_EQ(names, std::nullopt) << row.name << " cut at " << length;
      } else if (names) {
        ASSERT_TRUE(std::includes(all->begin(), all->end(), names->begin(), names->end()))
            << row.name << " cut at " << length << " gave a name the library lacks";
      }
    }
  }
}

TEST(NoLibrary, GarbageDoesNotLoad) {
  Image dosHeader(64, 0);
  dosHeader[0] = 'M';
  dosHeader[1] = 'Z';
  const std::string moduleFile = "[Main]\r\nModule_Name=Epson\r\nUseDll=1,EscPosCut.dll\r\n";
  for (const Image& bytes :
       {Image(), Image{'M'}, Image{'M', 'Z'}, dosHeader, Image{0x7F, 'E', 'L', 'F'},
        Image(moduleFile.begin(), moduleFile.end()), Image(1'000'000, 0), Image(1'000'000, 'M')}) {
    EXPECT_EQ(ReadExportNames(bytes), std::nullopt) << bytes.size() << " bytes";
  }
}

// Random bytes behind real headers reach the deeper readers: whatever they give, every name is
// a NUL-terminated string of the image itself.
TEST(NoLibrary, ScrambledLibraryGivesOnlyItsOwnStrings) {
  std::mt19937 random(77);
  for (const Image& valid :
       {BuildPe(false, kPeNames).bytes, BuildElf(true, false, kElfSymbols).bytes}) {
    for (int round = 0; round < 300; ++round) {
      Image bytes = valid;
      for (int flips = 0; flips < 8; ++flips) {  // the signature kept
        bytes[4 + random() % (bytes.size() - 4)] = static_cast<std::uint8_t>(random());
      }
      for (const std::string& name : ReadExportNames(bytes).value_or(Names{})) {
        const Image terminated(name.c_str(), name.c_str() + name.size() + 1);
        EXPECT_NE(std::search(bytes.begin(), bytes.end(), terminated.begin(), terminated.end()),
                  bytes.end())
            << "round " << round << ": \"" << name << "\" is not a string of the image";
      }
    }
  }
}

// The libraries the build makes: the loader answers for the names they export, case counting
// as GetProcAddress compares, and for nothing kept to the library itself.
TEST(ExportTableLoader, AnswersForTheLibrariesBuiltHere) {
  const std::unique_ptr<LibraryLoader> loader = MakeExportTableLoader(RealFileSystem());
  for (const std::string path :
       {QUILLMERE_TEST_ELF_LIBRARY, QUILLMERE_TEST_PE32_LIBRARY, QUILLMERE_TEST_PE64_LIBRARY}) {
    if (path.empty()) {
      continue;  // no MinGW cross compiler, so no such DLL was built
    }
    const std::unique_ptr<ModuleLibrary> library = loader->Load(path);
    ASSERT_NE(library, nullptr) << path;
    for (const char* name : {"AnalyzeBarcode", "CutPaper", "CutterModel"}) {
      EXPECT_TRUE(library->Exports(name)) << path << " " << name;
    }
    for (const char* name : {"cutpaper", "CUTPAPER", "CutPaper ", "CutPape", "CutPaperX",
                             "HiddenCutHelper", "CountCutBytes", ""}) {
      EXPECT_FALSE(library->Exports(name)) << path << " \"" << name << '"';
    }
    if (path.ends_with(".dll")) {
      EXPECT_EQ(ReadExportNames(FileBytes(path)), kLibraryNames) << "exactly those: " << path;
    }
  }
}

TEST(ExportTableLoader, LoadsOnlyReadableWellFormedLibraries) {
  TempFolder folder;
  FaultyFileSystem files;
  const std::unique_ptr<LibraryLoader> loader = MakeExportTableLoader(files);
  const Image image = BuildPe(false, {"CutPaper", "AnalyzeBarcode"}).bytes;
  const std::string dll = folder.Write("EscPosCut.dll", std::string(image.begin(), image.end()));
  const std::unique_ptr<ModuleLibrary> library = loader->Load(dll);
  ASSERT_NE(library, nullptr);
  EXPECT_TRUE(library->Exports("AnalyzeBarcode"));
  EXPECT_FALSE(library->Exports("analyzebarcode"));
  const Image plain = BuildPe(false, {}).bytes;
  EXPECT_NE(loader->Load(folder.Write("Plain.dll", std::string(plain.begin(), plain.end()))),
            nullptr);
  for (const std::string& path :
       {folder.PathOf("absent.dll"), folder.MakeFolder("Folder.dll"), folder.Write("Empty.dll", ""),
        folder.Write("Module.dll", "[Main]\r\nModule_Name=Epson\r\n"),
        folder.Write("Cut.dll", std::string(image.begin(), image.begin() + 0x180)),
        std::string()}) {
    EXPECT_EQ(loader->Load(path), nullptr) << path;
  }
  // CI runs as root, which reads any file whatever its permission bits: the failure is injected.
  files.FailOn(FaultyFileSystem::Operation::kRead);
  EXPECT_EQ(loader->Load(dll), nullptr);
  EXPECT_NE(loader->Load(dll), nullptr);
  // A sparse file one byte past the size limit, the valid library at its start, is not read.
  std::filesystem::resize_file(dll, std::uint64_t{256} * 1024 * 1024 + 1);
  const int reads = files.Calls(FaultyFileSystem::Operation::kRead);
  EXPECT_EQ(loader->Load(dll), nullptr);
  EXPECT_EQ(files.Calls(FaultyFileSystem::Operation::kRead), reads);
}

}  // namespace
}  // namespace quillmere
