#include "cli/inspect_command.h"

#include <array>
#include <cstdio>
#include <optional>
#include <ostream>

#include "cli/json_writer.h"
#include "derive/keyword_triggers.h"
#include "derive/stop_patchers.h"
#include "derive/write_sequence.h"
#include "module/printer_command_module.h"
#include "platform/file_system.h"
#include "platform/machine_services.h"
#include "platform/module_library.h"
#include "platform/profile_store.h"

namespace quillmere::cli {
namespace {

constexpr std::array kInspectOptions{
    OptionSpec{"json", OptionKind::kFlag, "", "print JSON instead of text"},
};

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kBomWarning =
    "the file starts with a UTF-8 byte-order mark: its first line is no section header to the "
    "profile functions, and the keys of the first section cannot be read";

std::string_view EventName(TransactionEvent event) {
  switch (event) {
    case TransactionEvent::kStart:
      return "Start";
    case TransactionEvent::kStop:
      return "Stop";
    case TransactionEvent::kVoid:
      return "Void";
    case TransactionEvent::kNone:
      break;
  }
  return "None";
}

// Everything an inspection shows, gathered once for both forms.
struct Inspection {
  const PrinterCommandModule& module;
  std::int32_t changeLineCount;
  std::int32_t singleCount;
  std::int32_t multiCount;
  const CommandRecord* formFeed;
  std::optional<CutPaperCommand> cutPaper;
  TriggerHolders holders;
  bool byteOrderMark;

  [[nodiscard]] bool SomethingLeftOut() const {
    return !module.leftOut.empty() || !module.missingKeys.empty();
  }
};

// --- JSON ---------------------------------------------------------------------------------------

void WriteRecord(JsonWriter& json, const CommandRecord& record) {
  json.BeginObject();
  json.NumberMember("key", record.key);
  json.Key("bytes");
  json.Bytes(record.bytes);
  json.NumberMember("kind", record.kind);
  json.NumberMember("parameter", record.parameter);
  json.TextMember("text", record.text);
  json.StringMember("event", EventName(record.event));
  if (record.kind == 3) {
    json.TextMember("function", record.function);
  }
  json.EndObject();
}

void WriteRecords(JsonWriter& json, std::string_view name,
                  const std::vector<CommandRecord>& records) {
  json.Key(name);
  json.BeginArray();
  for (const CommandRecord& record : records) {
    WriteRecord(json, record);
  }
  json.EndArray();
}

void WritePlace(JsonWriter& json, std::string_view name, std::string_view section,
                const CommandRecord* record) {
  json.Key(name);
  if (record == nullptr) {
    json.Null();
    return;
  }
  json.BeginObject();
  json.StringMember("section", section);
  json.NumberMember("key", record->key);
  json.EndObject();
}

void WriteHolder(JsonWriter& json, std::string_view name, const std::optional<std::int32_t>& key,
                 bool atEnd) {
  json.Key(name);
  if (!key) {
    json.Null();
    return;
  }
  json.BeginObject();
  json.NumberMember("key", *key);
  json.BoolMember("atEnd", atEnd);
  json.EndObject();
}

void WriteJson(std::ostream& out, const Inspection& inspection) {
  const PrinterCommandModule& module = inspection.module;
  JsonWriter json(out);
  json.BeginObject();
  json.StringMember("path", module.modulePath);
  json.StringMember("moduleName", module.moduleName);
  json.NumberMember("waitTime", module.waitTime);
  json.BoolMember("noStartTag", module.noStartTag);
  json.BoolMember("noStopTag", module.noStopTag);
  json.Key("counts");
  json.BeginObject();
  json.NumberMember("C-Num", inspection.changeLineCount);
  json.NumberMember("S-Num", inspection.singleCount);
  json.NumberMember("M-Num", inspection.multiCount);
  json.EndObject();
  json.Key("library");
  json.BeginObject();
  json.StringMember("setting", module.librarySetting);
  json.BoolMember("useLibrary", module.useLibrary);
  json.Key("foundAt");
  module.libraryFoundAt.empty() ? json.Null() : json.String(module.libraryFoundAt);
  json.BoolMember("loaded", module.library != nullptr);
  json.EndObject();
  WriteRecords(json, "changeLineCommands", module.changeLineCommands);
  WriteRecords(json, "singleCommands", module.singleCommands);
  json.Key("multiCommands");
  json.BeginArray();
  for (const MultiCommand& multi : module.multiCommands) {
    json.BeginObject();
    json.NumberMember("key", multi.key);
    json.StringMember("section", multi.section);
    json.NumberMember("trigger", multi.trigger);
    WriteRecords(json, "records", multi.records);
    json.EndObject();
  }
  json.EndArray();
  json.Key("barcodeCommand");
  module.barcodeCommand ? WriteRecord(json, *module.barcodeCommand) : json.Null();
  json.TextMember("barcodeAnalyzer", module.barcodeAnalyzer);
  json.Key("leftOut");
  json.BeginArray();
  for (const LeftOutRecord& left : module.leftOut) {
    json.BeginObject();
    json.StringMember("section", left.section);
    json.NumberMember("key", left.key);
    json.StringMember("value", left.value);
    json.StringMember("reason", DescribeParseError(left.error));
    json.EndObject();
  }
  json.EndArray();
  json.Key("missingKeys");
  json.BeginArray();
  for (const MissingKeys& missing : module.missingKeys) {
    json.BeginObject();
    json.StringMember("section", missing.section);
    json.NumberMember("count", missing.count);
    json.NumberMember("keysPresent", missing.keysPresent);
    json.EndObject();
  }
  json.EndArray();
  WritePlace(json, "formFeedCommand", sections::kSingle, inspection.formFeed);
  if (inspection.cutPaper) {
    WritePlace(json, "cutPaperCommand", inspection.cutPaper->holder->section,
               inspection.cutPaper->record);
  } else {
    WritePlace(json, "cutPaperCommand", "", nullptr);
  }
  WriteHolder(json, "voidHolder", inspection.holders.voidHolder, inspection.holders.voidAtEnd);
  WriteHolder(json, "stopHolder", inspection.holders.stopHolder, inspection.holders.stopAtEnd);
  json.Key("warnings");
  json.BeginArray();
  if (inspection.byteOrderMark) {
    json.String(kBomWarning);
  }
  json.EndArray();
  json.EndObject();
}

// --- Text ---------------------------------------------------------------------------------------

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  for (const std::uint8_t byte : bytes) {
    std::array<char, 4> digits{};
    std::snprintf(digits.data(), digits.size(), "%02X", static_cast<unsigned>(byte));
    text += text.empty() ? "" : " ";
    text += digits.data();
  }
  return text.empty() ? "(no bytes)" : text;
}

void PrintRecord(std::ostream& out, std::string_view indent, const CommandRecord& record) {
  out << indent << record.key << ": " << Hex(record.bytes) << "  kind " << record.kind;
  if (record.kind == 1) {
    out << " parameter " << record.parameter;
  }
  if (record.function) {
    out << " function " << *record.function;
  }
  if (record.text) {
    out << "  text \"" << *record.text << '"';
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

void PrintHolder(std::ostream& out, std::string_view title, const std::optional<std::int32_t>& key,
                 bool atEnd) {
  out << "  " << title;
  if (!key) {
    out << "none\n";
    return;
  }
  out << "Mutli-Command " << *key
      << (atEnd ? " (at the end: replaced by the new triggers)\n"
                : " (inside the list: kept, the new triggers go after it)\n");
}

void PrintText(std::ostream& out, const Inspection& inspection) {
  const PrinterCommandModule& module = inspection.module;
  out << "Module " << '"' << module.moduleName << "\" in " << module.modulePath << '\n';
  if (inspection.byteOrderMark) {
    out << "Warning: " << kBomWarning << '\n';
  }
  out << "Counts: C-Num " << inspection.changeLineCount << ", S-Num " << inspection.singleCount
      << ", M-Num " << inspection.multiCount << "; WaitTime " << module.waitTime << '\n';
  out << "Tags seen: start " << (module.noStartTag ? "no" : "yes") << ", stop "
      << (module.noStopTag ? "no" : "yes") << '\n';
  out << "Library: UseDll \"" << module.librarySetting << "\"";
  if (!module.useLibrary) {
    out << ", none used\n";
  } else if (module.libraryFoundAt.empty()) {
    out << ", not found\n";
  } else {
    out << ", " << module.libraryFoundAt << (module.library ? ", loaded\n" : ", did not load\n");
  }
  PrintRecords(out, "Change-line commands", module.changeLineCommands);
  PrintRecords(out, "Single commands", module.singleCommands);
  out << (module.multiCommands.empty() ? "Multi-commands: none\n" : "Multi-commands:\n");
  for (const MultiCommand& multi : module.multiCommands) {
    std::array<char, 4> trigger{};
    std::snprintf(trigger.data(), trigger.size(), "%02X", static_cast<unsigned>(multi.trigger));
    out << "  " << multi.key << ": [" << multi.section << "] trigger " << trigger.data() << '\n';
    for (const CommandRecord& record : multi.records) {
      PrintRecord(out, "    ", record);
    }
  }
  out << "Barcode command: " << (module.barcodeCommand ? "" : "none\n");
  if (module.barcodeCommand) {
    PrintRecord(out, "", *module.barcodeCommand);
  }
  out << "Barcode analyser: " << module.barcodeAnalyzer.value_or("none") << '\n';
  out << "A derivation would touch:\n";
  out << "  Form Feed command: ";
  if (inspection.formFeed != nullptr) {
    out << "Single-Command " << inspection.formFeed->key << '\n';
  } else {
    out << "none (the Form Feed option appends one)\n";
  }
  out << "  cut-paper command: ";
  if (inspection.cutPaper) {
    out << '[' << inspection.cutPaper->holder->section << "] " << inspection.cutPaper->record->key
        << '\n';
  } else {
    out << "none\n";
  }
  PrintHolder(out, "void trigger: ", inspection.holders.voidHolder, inspection.holders.voidAtEnd);
  PrintHolder(out, "stop trigger: ", inspection.holders.stopHolder, inspection.holders.stopAtEnd);
  out << (inspection.SomethingLeftOut() ? "Left out:\n" : "Left out: nothing\n");
  for (const LeftOutRecord& left : module.leftOut) {
    out << "  [" << left.section << "] " << left.key << " = " << left.value << ": "
        << DescribeParseError(left.error) << '\n';
  }
  for (const MissingKeys& missing : module.missingKeys) {
    out << "  [" << missing.section << "] holds " << missing.keysPresent << " of the "
        << missing.count << " keys its count names\n";
  }
}

CommandResult RunInspect(const ParsedArguments& arguments, CommandContext& context) {
  if (arguments.positional().size() != 1) {
    return UsageError{"takes one module file"};
  }
  const std::string& path = arguments.positional().front();
  MachineServices machine;
  const PlatformServices& services = machine.services();
  // Unlike the loader, an inspection says so when there is no module file to look at.
  const std::optional<std::string> bytes =
      services.files.IsFolder(path) ? std::nullopt : services.files.ReadFile(path);
  if (!bytes) {
    context.err << kProgramName << " inspect: cannot read the module file '" << path << "'\n";
    return ExitStatus::kUsage;
  }
  PrinterCommandModule module(services);
  module.Load(path);
  const std::int32_t multiCount = ReadFileCount(services.store, keys::kMultiCount, path);
  const Inspection inspection{
      module,
      services.store.ReadInt(sections::kMain, keys::kChangeLineCount, 0, path),
      services.store.ReadInt(sections::kMain, keys::kSingleCount, 0, path),
      services.store.ReadInt(sections::kMain, keys::kMultiCount, 0, path),
      FindFormFeedCommand(module),
      FindCutPaperCommand(module),
      FindTriggerHolders(module, multiCount),
      bytes->starts_with(kUtf8ByteOrderMark),
  };
  if (arguments.Has("json")) {
    WriteJson(context.out, inspection);
  } else {
    PrintText(context.out, inspection);
  }
  return inspection.SomethingLeftOut() ? ExitStatus::kRefused : ExitStatus::kOk;
}

}  // namespace

const Command& InspectCommand() {
  static const Command command{
      "inspect",
      "inspect FILE [--json]",
      "Loads a module file as a derivation loads it and shows what the model holds: the lists\n"
      "with their keys, the module library, the records the load left out and why, and what a\n"
      "derivation would rewrite. JSON strings carry valid UTF-8 as it is and any other byte\n"
      "as \\u00XX. Exit status: 0 nothing left out, 1 something left out, 2 usage or a file\n"
      "that cannot be read.",
      kInspectOptions,
      RunInspect,
  };
  return command;
}

}  // namespace quillmere::cli
