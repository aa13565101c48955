#include "module/module_dump.h"

#include <utility>

#include "module/printer_command_module.h"
#include "platform/file_system.h"

namespace quillmere::testing {
namespace {

std::string LibraryState(const PrinterCommandModule& module) {
  if (!module.useLibrary) {
    return "no library";
  }
  if (module.libraryFoundAt.empty()) {
    return "library not found";
  }
  std::string where = module.libraryFoundAt;
  const std::string folder = FolderOf(module.modulePath) + kPathSeparator;
  if (where.starts_with(folder)) {
    where.replace(0, folder.size(), "<module folder>/");
  }
  return "found at " + where + (module.library ? ", loaded" : ", did not load");
}

}  // namespace

std::string Hex(std::uint8_t byte) {
  constexpr const char* kDigits = "0123456789ABCDEF";
  return {kDigits[byte >> 4U], kDigits[byte & 0xFU]};
}

std::string RecordText(const CommandRecord& record) {
  std::string text = "[";
  for (const std::uint8_t byte : record.bytes) {
    text += (text.size() > 1 ? " " : "") + Hex(byte);
  }
  text += "] kind " + std::to_string(record.kind) + " param " + std::to_string(record.parameter);
  if (record.text) {
    text += " '" + *record.text + "'";
  }
  if (record.function) {
    text += " @" + *record.function;
  }
  const char* const events[] = {"", " start", " stop", " void"};
  text += events[static_cast<int>(record.event) + 1];
  if (std::cmp_not_equal(record.byteCount, record.bytes.size()) ||
      std::cmp_not_equal(record.textLength, record.text ? record.text->size() : 0U)) {
    text += " (counts disagree)";
  }
  return text;
}

std::string ModuleDump(const PrinterCommandModule& module) {
  std::string dump = "Module_Name '" + module.moduleName + "'\n";
  dump += "UseDll '" + module.librarySetting + "' -> " + LibraryState(module) + "\n";
  const auto& buffer = module.changeLineBuffer;
  dump += "changeLineBuffer: " + (buffer ? std::to_string(buffer->size()) + " bytes" : "none");
  dump += "\nwaitTime: " + std::to_string(module.waitTime) + "\n";
  dump += std::string("noStartTag: ") + (module.noStartTag ? "true" : "false") +
          ", noStopTag: " + (module.noStopTag ? "true" : "false") + "\n";
  const auto list = [&](std::string_view indent, std::string_view section,
                        const std::vector<CommandRecord>& records) {
    for (const CommandRecord& record : records) {
      dump += std::string(indent) + std::string(section) + " " + std::to_string(record.key) + ": " +
              RecordText(record) + "\n";
    }
  };
  list("", sections::kChangeLine, module.changeLineCommands);
  list("", sections::kSingle, module.singleCommands);
  for (const MultiCommand& multi : module.multiCommands) {
    dump += std::string(sections::kMulti) + " " + std::to_string(multi.key) + ": trigger " +
            Hex(multi.trigger) + ", section " + multi.section + "\n";
    list("  ", multi.section, multi.records);
  }
  if (module.barcodeCommand) {
    dump += "BARCODE 1: " + RecordText(*module.barcodeCommand) + "\n";
  }
  if (module.barcodeAnalyzer) {
    dump += "BARCODE_Analyze 1: @" + *module.barcodeAnalyzer + "\n";
  }
  for (const LeftOutRecord& out : module.leftOut) {
    dump += "left out: " + out.section + " " + std::to_string(out.key) + " '" + out.value +
            "': " + DescribeParseError(out.error) + "\n";
  }
  for (const MissingKeys& missing : module.missingKeys) {
    dump += "missing keys: " + missing.section + " holds " + std::to_string(missing.keysPresent) +
            " of " + std::to_string(missing.count) + "\n";
  }
  return dump;
}

}  // namespace quillmere::testing
