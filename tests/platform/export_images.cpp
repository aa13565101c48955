#include "platform/export_images.h"

#include <algorithm>
#include <map>
#include <string_view>
#include <utility>

namespace quillmere::testing {
namespace {

// An image written at fixed offsets in either byte order, growing with zeros as needed. Named
// fields keep their place and width, so that a table row sets them by name.
struct Built {
  Image bytes;
  bool big = false;
  std::map<std::string, std::pair<std::size_t, std::size_t>, std::less<>> fields;

  void Put(std::size_t at, std::uint64_t value, std::size_t width, const std::string& name = {}) {
    bytes.resize(std::max(bytes.size(), at + width), 0);
    for (std::size_t i = 0; i < width; ++i) {
      bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * (big ? width - 1 - i : i)));
    }
    if (!name.empty()) {
      fields[name] = {at, width};
    }
  }
  void Text(std::size_t at, std::string_view text) {  // NUL-terminated
    bytes.resize(std::max(bytes.size(), at + text.size() + 1), 0);
    std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
  }
};

// The name table's names, in its order; Beep is forwarded to another library.
const std::vector<std::string> kPeNames = {"AnalyzeBarcode", "Beep", "CutPaper", "Schneide\xDF"};

// A Windows image: headers; the export section at file offset 0x200, address 0x2000 (directory,
// function, name and ordinal tables, Beep's forwarder text, then the names, last); then a code
// section of zeros, so a name bounded by the file instead of by its section finds a NUL there.
Built BuildPe(bool wide) {
  Built pe;
  constexpr std::size_t kAt = 0x200;
  constexpr std::uint32_t kRva = 0x2000;
  const std::size_t count = kPeNames.size(), functions = 40, names = functions + 4 * count;
  const std::size_t ordinals = names + 4 * count, forwarder = ordinals + 2 * count;
  pe.Put(kAt + 20, count, 4, "function_count");
  pe.Put(kAt + 24, count, 4, "name_count");
  pe.Put(kAt + 28, kRva + functions, 4, "functions");
  pe.Put(kAt + 32, kRva + names, 4, "names");
  pe.Put(kAt + 36, kRva + ordinals, 4, "ordinals");
  pe.Text(kAt + forwarder, "KERNEL32.Beep");
  std::size_t next = forwarder + 14;
  for (std::size_t i = 0; i < count; ++i) {
    const bool forwarded = kPeNames[i] == "Beep";
    pe.Put(kAt + functions + 4 * i, forwarded ? kRva + forwarder : 0x1000 + 0x10 * i, 4);
    pe.Put(kAt + ordinals + 2 * i, i, 2, i == 0 ? "first_ordinal" : "");
    pe.Put(kAt + names + 4 * i, kRva + next, 4, i == 0 ? "first_name" : "");
    pe.Text(kAt + next, kPeNames[i]);
    next += kPeNames[i].size() + 1;
  }
  pe.fields["last_nul"] = {kAt + next - 1, 1};
  const std::size_t optionalSize = (wide ? 112 : 96) + 16 * 8;
  const std::size_t directories = 0x98 + (wide ? 108 : 92), sectionTable = 0x98 + optionalSize;
  pe.Put(0, 0x5A4D, 2, "mz");
  pe.Put(0x3C, 0x80, 4, "new_header");
  pe.Put(0x80, 0x4550, 4, "pe");
  pe.Put(0x84, wide ? 0x8664 : 0x14C, 2);  // machine
  pe.Put(0x86, 2, 2, "section_count");
  pe.Put(0x94, optionalSize, 2, "optional_size");
  pe.Put(0x96, 0x2002 | (wide ? 0x20 : 0x100), 2, "characteristics");  // an executable DLL
  pe.Put(0x98, wide ? 0x20B : 0x10B, 2, "magic");
  pe.Put(directories, 16, 4, "directory_count");
  pe.Put(directories + 4, kRva, 4, "export_rva");
  pe.Put(directories + 8, next, 4);
  // The section table: virtual size and address, raw size and offset; code, then export data.
  const std::uint64_t code[] = {0x100, 0x1000, 0x200, 0x400}, data[] = {next, kRva, 0x200, kAt};
  const char* const dataFields[] = {"data_size", "data_rva", "data_raw_size", "data_raw_offset"};
  for (std::size_t i = 0; i < 4; ++i) {
    pe.Put(sectionTable + 8 + 4 * i, code[i], 4);
    pe.Put(sectionTable + 48 + 4 * i, data[i], 4, dataFields[i]);
  }
  pe.Put(0x5FF, 0, 1);  // the code section's last byte
  return pe;
}

// An ELF shared object: header, .dynstr, .dynsym (its null first entry after the last name, so a
// name bounded by the file instead of by its section finds a NUL there), .dynamic, the section
// headers. Its symbols: CutPaper, the object CutterModel, and AnalyzeBarcode, which rows change.
Built BuildElf(bool wide, bool big) {
  Built elf;
  elf.big = big;
  const std::size_t header = wide ? 64 : 52, symbolSize = wide ? 24 : 16, word = wide ? 8 : 4;
  const std::string_view names[] = {"CutPaper", "CutterModel", "AnalyzeBarcode"};
  std::size_t strings = 1;  // .dynstr starts with a NUL
  for (const std::string_view name : names) {
    strings += name.size() + 1;
  }
  const std::size_t symbols = header + strings;
  for (std::size_t i = 0, name = 1; i < 3; name += names[i++].size() + 1) {
    const std::size_t symbol = symbols + (i + 1) * symbolSize, info = symbol + (wide ? 4 : 12);
    elf.Text(header + name, names[i]);
    elf.Put(symbol, name, 4, i == 0 ? "first_name" : "");
    elf.Put(info, i == 1 ? 0x11 : 0x12, 1, i == 2 ? "info" : "");  // global object or function
    elf.Put(info + 1, 0, 1, i == 2 ? "other" : "");                // default visibility
    elf.Put(info + 2, 1, 2, i == 2 ? "section_index" : "");        // defined
  }
  elf.fields["last_nul"] = {symbols - 1, 1};
  const std::size_t dynamic = (symbols + 4 * symbolSize + 7) / 8 * 8, table = dynamic + 4 * word;
  elf.Put(dynamic, 0x6ffffffb, word);  // DT_FLAGS_1, then DT_NULL
  elf.Put(dynamic + word, 1, word, "flags_1");
  const auto section = [&](std::size_t index, const std::string& name, std::uint32_t type,
                           std::uint64_t offset, std::uint64_t size, std::uint32_t link,
                           std::uint64_t entrySize) {
    const std::size_t at = table + index * (wide ? 64 : 40);
    elf.Put(at + 4, type, 4, name + "_type");
    elf.Put(at + (wide ? 24 : 16), offset, word, name + "_offset");
    elf.Put(at + (wide ? 32 : 20), size, word, name + "_size");
    elf.Put(at + (wide ? 40 : 24), link, 4, name + "_link");
    elf.Put(at + (wide ? 56 : 36), entrySize, word, name + "_entry_size");
  };
  section(0, "null", 0, 0, 0, 0, 0);
  section(1, "dynsym", 11, symbols, 4 * symbolSize, 2, symbolSize);
  section(2, "dynstr", 3, header, strings, 0, 0);
  section(3, "dynamic", 6, dynamic, 4 * word, 0, 2 * word);
  elf.Text(0, "\177ELF");
  elf.Put(4, wide ? 2 : 1, 1, "class");
  elf.Put(5, big ? 2 : 1, 1, "byte_order");
  elf.Put(6, 1, 1, "version");
  elf.Put(16, 3, 2, "type");  // a shared object
  elf.Put(wide ? 40 : 32, table, word, "section_table");
  elf.Put(wide ? 58 : 46, wide ? 64 : 40, 2, "section_entry_size");
  elf.Put(wide ? 60 : 48, 4, 2, "section_count");
  return elf;
}

}  // namespace

std::optional<Image> BuildImage(std::string_view layout, const std::vector<std::string>& patches) {
  const bool wide = layout.ends_with("64") || layout.starts_with("elf64");
  if (std::find(std::begin(kLayouts), std::end(kLayouts), layout) == std::end(kLayouts)) {
    return std::nullopt;
  }
  Built built = layout.starts_with("pe") ? BuildPe(wide) : BuildElf(wide, layout.ends_with("be"));
  for (const std::string& patch : patches) {
    const std::size_t equals = patch.find('=');
    const auto field = built.fields.find(std::string_view(patch).substr(0, equals));
    if (equals == std::string::npos || field == built.fields.end()) {
      return std::nullopt;
    }
    built.Put(field->second.first, std::stoull(patch.substr(equals + 1), nullptr, 0),
              field->second.second);
  }
  return std::move(built.bytes);
}

}  // namespace quillmere::testing
