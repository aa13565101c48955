#include "cli/inspect_text.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ostream>

#include "cli/terminal_text.h"

namespace quillmere::cli {
namespace {

std::string HexByte(std::uint8_t byte) {
  std::array<char, 4> digits{};
  std::snprintf(digits.data(), digits.size(), "%02X", static_cast<unsigned>(byte));
  return digits.data();
}

std::string HexBytes(std::span<const std::uint8_t> bytes) {
  std::string text;
  for (const std::uint8_t byte : bytes) {
    text += text.empty() ? "" : " ";
    text += HexByte(byte);
  }
  return text.empty() ? "(no bytes)" : text;
}

void PrintRecord(std::ostream& out, std::string_view indent, const CommandRecord& record) {
  out << indent << record.key << ": " << HexBytes(record.bytes.Span()) << "  kind " << record.kind;
  if (record.kind == 1) {
    out << " parameter " << record.parameter;
  }
  if (record.function) {
    out << " function " << TerminalText(*record.function);
  }
  if (record.text) {
    out << "  text \"" << TerminalText(*record.text) << '"';
  }
  if (record.event != TransactionEvent::kNone) {
    out << "  " << EventName(record.event);
  }
  out << '\n';
}

void PrintRecords(std::ostream& out, std::string_view title,
                  const std::vector<CommandRecord>& records) {
  out << title << (records.empty() ? ": none\n" : ":\n");
  for (const CommandRecord& record : records) {
    PrintRecord(out, "  ", record);
  }
}

void PrintHeading(std::ostream& out, const PrinterCommandModule& module) {
  out << "Module \"" << TerminalText(module.moduleName) << "\" in "
      << TerminalPath(module.modulePath) << '\n';
}

void PrintWarnings(std::ostream& out, const Inspection& inspection) {
  if (inspection.byteOrderMark) {
    out << "Warning: " << kByteOrderMarkWarning << '\n';
  }
  if (inspection.utf16) {
    out << "Warning: " << kUtf16Warning << '\n';
  }
}

void PrintCounts(std::ostream& out, const Inspection& inspection) {
  const PrinterCommandModule& module = inspection.module;
  out << "Counts: C-Num " << inspection.changeLineCount << ", S-Num " << inspection.singleCount
      << ", M-Num " << inspection.multiCount << "; WaitTime " << module.waitTime << '\n';
  out << "Tags seen: start " << (module.noStartTag ? "no" : "yes") << ", stop "
      << (module.noStopTag ? "no" : "yes") << '\n';
}

void PrintLibrary(std::ostream& out, const PrinterCommandModule& module) {
  out << "Library: UseDll \"" << TerminalText(module.librarySetting) << "\"";
  if (!module.useLibrary) {
    out << ", none used\n";
  } else if (module.libraryFoundAt.empty()) {
    out << ", not found\n";
  } else {
    out << ", " << TerminalPath(module.libraryFoundAt)
        << (module.library ? ", loaded\n" : ", did not load\n");
  }
}

void PrintLists(std::ostream& out, const PrinterCommandModule& module) {
  PrintRecords(out, "Change-line commands", module.changeLineCommands);
  PrintRecords(out, "Single commands", module.singleCommands);
  out << (module.multiCommands.empty() ? "Multi-commands: none\n" : "Multi-commands:\n");
  for (const MultiCommand& multi : module.multiCommands) {
    out << "  " << multi.key << ": [" << TerminalText(multi.section) << "] trigger "
        << HexByte(multi.trigger) << '\n';
    for (const CommandRecord& record : multi.records) {
      PrintRecord(out, "    ", record);
    }
  }
}

void PrintBarcode(std::ostream& out, const PrinterCommandModule& module) {
  out << "Barcode command: " << (module.barcodeCommand ? "" : "none\n");
  if (module.barcodeCommand) {
    PrintRecord(out, "", *module.barcodeCommand);
  }
  out << "Barcode analyser: " << TerminalText(module.barcodeAnalyzer.value_or("none")) << '\n';
}

void PrintTriggerHolder(std::ostream& out, std::string_view title,
                        const std::optional<std::int32_t>& key, bool atEnd) {
  out << "  " << title;
  if (!key) {
    out << "none\n";
    return;
  }
  out << "Mutli-Command " << *key
      << (atEnd ? " (at the end: replaced by the new triggers)\n"
                : " (inside the list: kept, the new triggers go after it)\n");
}

void PrintDerivationPlaces(std::ostream& out, const Inspection& inspection) {
  out << "A derivation would touch:\n";
  out << "  Form Feed command: ";
  if (inspection.formFeed != nullptr) {
    out << "Single-Command " << inspection.formFeed->key << '\n';
  } else {
    out << "none (the Form Feed option appends one)\n";
  }
  out << "  cut-paper command: ";
  if (inspection.cutPaper) {
    out << '[' << TerminalText(inspection.cutPaper->holder->section) << "] "
        << inspection.cutPaper->record->key << '\n';
  } else {
    out << "none\n";
  }
  const TriggerHolders& holders = inspection.holders;
  PrintTriggerHolder(out, "void trigger: ", holders.voidHolder, holders.voidAtEnd);
  PrintTriggerHolder(out, "stop trigger: ", holders.stopHolder, holders.stopAtEnd);
}

void PrintLeftOutRecord(std::ostream& out, const LeftOutRecord& left) {
  out << "  [" << TerminalText(left.section) << "] " << left.key << " = "
      << TerminalText(left.value) << ": " << TerminalText(DescribeParseError(left.error)) << '\n';
}

void PrintMissingKeys(std::ostream& out, const MissingKeys& missing) {
  out << "  [" << TerminalText(missing.section) << "] holds " << missing.keysPresent << " of the "
      << missing.count << " keys its count names\n";
}

void PrintLeftOut(std::ostream& out, const Inspection& inspection) {
  const PrinterCommandModule& module = inspection.module;
  out << (inspection.SomethingLeftOut() ? "Left out:\n" : "Left out: nothing\n");
  for (const LeftOutRecord& left : module.leftOut) {
    PrintLeftOutRecord(out, left);
  }
  for (const MissingKeys& missing : module.missingKeys) {
    PrintMissingKeys(out, missing);
  }
}

}  // namespace

void PrintInspection(std::ostream& out, const Inspection& inspection) {
  const PrinterCommandModule& module = inspection.module;
  PrintHeading(out, module);
  PrintWarnings(out, inspection);
  PrintCounts(out, inspection);
  PrintLibrary(out, module);
  PrintLists(out, module);
  PrintBarcode(out, module);
  PrintDerivationPlaces(out, inspection);
  PrintLeftOut(out, inspection);
}

void PrintBaseProblems(std::ostream& out, std::string_view prefix, const Inspection& inspection) {
  const PrinterCommandModule& module = inspection.module;
  if (inspection.byteOrderMark) {
    out << prefix << kByteOrderMarkWarning << '\n';
  }
  const auto leftWithLibrary = [](const LeftOutRecord& left) {
    return left.error.failure == ParseFailure::kLibraryNotLoaded;
  };
  if (module.useLibrary && !module.library) {
    out << prefix << "its module library \""
        << TerminalText(ParseLibrarySetting(module.librarySetting).path) << "\" "
        << (module.libraryFoundAt.empty() ? "was not found" : "did not load");
    const bool leavesOut =
        std::any_of(module.leftOut.begin(), module.leftOut.end(), leftWithLibrary);
    out << (leavesOut ? ", which leaves out:\n" : "\n");
    for (const LeftOutRecord& left : module.leftOut) {
      if (leftWithLibrary(left)) {
        PrintLeftOutRecord(out, left);
      }
    }
  }
  const bool othersLeftOut =
      !module.missingKeys.empty() ||
      !std::all_of(module.leftOut.begin(), module.leftOut.end(), leftWithLibrary);
  if (othersLeftOut) {
    out << prefix << "records left out:\n";
    for (const LeftOutRecord& left : module.leftOut) {
      if (!leftWithLibrary(left)) {
        PrintLeftOutRecord(out, left);
      }
    }
    for (const MissingKeys& missing : module.missingKeys) {
      PrintMissingKeys(out, missing);
    }
  }
}

}  // namespace quillmere::cli
