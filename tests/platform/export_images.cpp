#include "platform/export_images.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <utility>

namespace quillmere::testing {
namespace {

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

const Names kElfNames = {"AnalyzeBarcode", "CutPaper", "CutterModel"};
const std::vector<ElfSymbol> kElfSymbols = {
    {"CutPaper"}, {"CutterModel", 1, 1}, {"AnalyzeBarcode"}};

template <typename Built>
struct Row {
  const char* name;
  std::function<void(Built&)> change;
  std::optional<Names> names = std::nullopt;  // does not load
};

// Each image the PE builder makes, then each way of breaking one: it does not load, unless what
// is left is an image Windows loads too (then what it exports is given).
const Row<Pe> kPeRows[] = {
    {"exports",
     [](Pe& p) {
       p = BuildPe(p.wide, {"OpenDrawer", "CutPaper", "AnalyzeBarcode"});
     },
     kPeNames},
    // LoadLibraryA maps an EXE image too, and GetProcAddress finds its exports.
    {"exe_image", [](Pe& p) { p = BuildPe(p.wide, {"CutPaper"}, {}, false); }, Names{"CutPaper"}},
    // A forwarded name resolves through another library, but it is exported all the same.
    {"forwarded",
     [](Pe& p) {
       p = BuildPe(p.wide, {"CutPaper"}, {"Beep", "AnalyzeBarcode"});
     },
     Names{"AnalyzeBarcode", "Beep", "CutPaper"}},
    {"no_names", [](Pe& p) { p = BuildPe(p.wide, {}); }, Names{}},
    {"high_bytes",
     [](Pe& p) {
       p = BuildPe(p.wide, {"Schneide\xDF", "_Cut@8", "?Cut@@YAXXZ"});
     },
     Names{"?Cut@@YAXXZ", "Schneide\xDF", "_Cut@8"}},
    {"no_export_directory", [](Pe& p) { p.Put(p.dirCount + 4, 0, 4); }, Names{}},
    {"no_data_directories", [](Pe& p) { p.Put(p.dirCount, 0, 4); }, Names{}},
    {"huge_directory_count", [](Pe& p) { p.Put(p.dirCount, 0xFFFFFFFF, 4); }, kPeNames},
    {"ordinal_past_functions", [](Pe& p) { p.Put(p.firstOrdinal, 9, 2); },
     Names{"CutPaper", "OpenDrawer"}},
    {"bad_mz_signature", [](Pe& p) { p.Put(1, 'X', 1); }},
    {"bad_pe_signature", [](Pe& p) { p.Put(0x83, 1, 1); }},
    {"new_header_beyond_file", [](Pe& p) { p.Put(0x3C, 0xFFFFFFF0, 4); }},
    {"not_an_executable_image", [](Pe& p) { p.Put(0x96, 0x2000, 2); }},
    {"bad_optional_magic", [](Pe& p) { p.Put(0x98, 0x107, 2); }},
    {"optional_header_too_small", [](Pe& p) { p.Put(0x94, 64, 2); }},
    {"optional_header_beyond_file", [](Pe& p) { p.Put(0x94, 0xFFFF, 2); }},
    {"section_table_beyond_file", [](Pe& p) { p.Put(0x86, 0xFFFF, 2); }},
    {"raw_data_beyond_file", [](Pe& p) { p.Put(p.sectionTable + 60, kPastTheEnd, 4); }},
    {"section_past_address_space",
     [](Pe& p) { p = BuildPe(p.wide, kPeNames, {}, true, 0xFFFFFFE0); }},
    {"directory_outside_sections", [](Pe& p) { p.Put(p.dirCount + 4, kOutside, 4); }},
    {"directory_crosses_section_end", [](Pe& p) { p.Put(p.dirCount + 4, 0x1FF8 + p.used, 4); }},
    {"function_table_outside", [](Pe& p) { p.Put(kExports + 28, kOutside, 4); }},
    {"name_table_outside", [](Pe& p) { p.Put(kExports + 32, kOutside, 4); }},
    {"ordinal_table_outside", [](Pe& p) { p.Put(kExports + 36, kOutside, 4); }},
    {"name_outside_sections", [](Pe& p) { p.Put(p.firstName, kOutside, 4); }},
    {"name_not_terminated", [](Pe& p) { p.Put(p.lastNul, 'A', 1); }},
    {"huge_number_of_functions", [](Pe& p) { p.Put(kExports + 20, 0xFFFFFFFF, 4); }},
    {"huge_number_of_names", [](Pe& p) { p.Put(kExports + 24, 0xFFFFFFFF, 4); }}};

// A shared object with one plain exported function and the symbol under test: what dlsym finds.
Row<Elf> Symbol(const char* name, const ElfSymbol& symbol, bool exported) {
  return {name,
          [symbol](Elf& e) {
            e = BuildElf(e.wide, e.big, {{"CutPaper"}, symbol});
          },
          exported ? Names{"CutPaper", symbol.name} : Names{"CutPaper"}};
}

const Row<Elf> kElfRows[] = {
    {"exports", [](Elf&) {}, kElfNames},
    Symbol("weak_function", {"WeakFunction", 2}, true),
    Symbol("global_object", {"GlobalObject", 1, 1}, true),
    Symbol("unique_object", {"UniqueObject", 10, 1}, true),
    Symbol("indirect_function", {"IndirectFunction", 1, 10}, true),
    Symbol("protected", {"Protected", 1, 2, 3}, true),
    Symbol("hidden", {"Hidden", 1, 2, 2}, false),
    Symbol("internal", {"Internal", 1, 2, 1}, false),
    Symbol("local", {"Local", 0}, false),
    Symbol("import", {"Import", 1, 2, 0, false}, false),
    Symbol("thread_local", {"ThreadLocal", 1, 6}, false),
    Symbol("untyped", {"Untyped", 1, 0}, false),
    {"extended_section_count",
     [](Elf& e) {
       e.Put(e.EntrySizeField() + 2, 0, 2);
       e.Set(0, Elf::kSize, 4);
     },
     kElfNames},
    {"no_dynamic_symbols", [](Elf& e) { e.Put(e.Section(1) + 4, 1, 4); }, Names{}},
    // dlopen refuses executables, fixed-address and position-independent alike.
    {"executable", [](Elf& e) { e.Put(16, 2, 2); }},
    {"position_independent", [](Elf& e) { e.Address(e.flags, 0x08000001); }},
    {"relocatable", [](Elf& e) { e.Put(16, 1, 2); }},
    {"bad_class", [](Elf& e) { e.Put(4, 3, 1); }},
    {"bad_byte_order", [](Elf& e) { e.Put(5, 0, 1); }},
    {"bad_version", [](Elf& e) { e.Put(6, 0, 1); }},
    {"no_section_headers", [](Elf& e) { e.Address(e.SectionTableField(), 0); }},
    {"section_table_beyond_file", [](Elf& e) { e.Address(e.SectionTableField(), kPastTheEnd); }},
    {"section_entry_too_small", [](Elf& e) { e.Put(e.EntrySizeField(), 16, 2); }},
    {"huge_section_count", [](Elf& e) { e.Put(e.EntrySizeField() + 2, 0xFEFF, 2); }},
    {"symbols_beyond_file", [](Elf& e) { e.Set(1, Elf::kOffset, kPastTheEnd); }},
    {"huge_symbol_table", [](Elf& e) { e.Set(1, Elf::kSize, 0x80000000); }},
    {"symbol_entry_too_small", [](Elf& e) { e.Set(1, Elf::kEntrySize, 4); }},
    {"strings_beyond_file", [](Elf& e) { e.Set(2, Elf::kOffset, kPastTheEnd); }},
    {"string_link_out_of_range", [](Elf& e) { e.Set(1, Elf::kLink, 99); }},
    {"string_link_not_strings", [](Elf& e) { e.Set(1, Elf::kLink, 3); }},
    {"name_past_strings", [](Elf& e) { e.Put(e.firstSymbol, 1000, 4); }},
    {"name_not_terminated", [](Elf& e) { e.Put(e.lastNul, 'A', 1); }},
    {"dynamic_beyond_file", [](Elf& e) { e.Set(3, Elf::kOffset, kPastTheEnd); }}};

}  // namespace

std::vector<ImageCase> BuiltImageCases() {
  std::vector<ImageCase> cases;
  for (const bool wide : {false, true}) {
    for (const Row<Pe>& row : kPeRows) {
      Pe pe = BuildPe(wide, kPeNames);
      row.change(pe);
      cases.push_back({std::string(wide ? "pe32plus_" : "pe32_") + row.name, pe.bytes, row.names});
    }
  }
  for (const bool wide : {false, true}) {
    for (const bool big : {false, true}) {
      for (const Row<Elf>& row : kElfRows) {
        Elf elf = BuildElf(wide, big, kElfSymbols);
        row.change(elf);
        const std::string layout = std::string(wide ? "elf64" : "elf32") + (big ? "be_" : "le_");
        cases.push_back({layout + row.name, elf.bytes, row.names});
      }
    }
  }
  return cases;
}

Image WellFormedPe(bool wide) {
  return BuildPe(wide, kPeNames, {"Beep"}).bytes;
}

Image WellFormedElf(bool wide, bool bigEndian) {
  return BuildElf(wide, bigEndian, kElfSymbols).bytes;
}

}  // namespace quillmere::testing
