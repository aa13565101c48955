#include "cli/inspect_json.h"

#include "cli/json_writer.h"
#include "cli/terminal_text.h"

namespace quillmere::cli {
namespace {

void WriteRecord(JsonWriter& json, const CommandRecord& record) {
  json.BeginObject();
  json.NumberMember("key", record.key);
  json.Key("bytes");
  json.Bytes(record.bytes.Span());
  json.NumberMember("kind", record.kind);
  json.NumberMember("parameter", record.parameter);
  json.Key("text");
  record.text ? json.String(JsonText(*record.text)) : json.Null();
  json.StringMember("event", EventName(record.event));
  if (record.kind == 3) {
    json.Key("function");
    record.function ? json.String(JsonText(*record.function)) : json.Null();
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

void WriteHeading(JsonWriter& json, const PrinterCommandModule& module) {
  json.StringMember("path", JsonPath(module.modulePath));
  json.StringMember("moduleName", JsonText(module.moduleName));
  json.NumberMember("waitTime", module.waitTime);
  json.BoolMember("noStartTag", module.noStartTag);
  json.BoolMember("noStopTag", module.noStopTag);
}

void WriteCounts(JsonWriter& json, const Inspection& inspection) {
  json.Key("counts");
  json.BeginObject();
  json.NumberMember("C-Num", inspection.changeLineCount);
  json.NumberMember("S-Num", inspection.singleCount);
  json.NumberMember("M-Num", inspection.multiCount);
  json.EndObject();
}

void WriteLibrary(JsonWriter& json, const PrinterCommandModule& module) {
  json.Key("library");
  json.BeginObject();
  json.StringMember("setting", JsonText(module.librarySetting));
  json.BoolMember("useLibrary", module.useLibrary);
  json.Key("foundAt");
  module.libraryFoundAt.empty() ? json.Null() : json.String(JsonPath(module.libraryFoundAt));
  json.BoolMember("loaded", module.library != nullptr);
  json.EndObject();
}

void WriteLists(JsonWriter& json, const PrinterCommandModule& module) {
  WriteRecords(json, "changeLineCommands", module.changeLineCommands);
  WriteRecords(json, "singleCommands", module.singleCommands);
  json.Key("multiCommands");
  json.BeginArray();
  for (const MultiCommand& multi : module.multiCommands) {
    json.BeginObject();
    json.NumberMember("key", multi.key);
    json.StringMember("section", JsonText(multi.section));
    json.NumberMember("trigger", multi.trigger);
    WriteRecords(json, "records", multi.records);
    json.EndObject();
  }
  json.EndArray();
}

void WriteBarcode(JsonWriter& json, const PrinterCommandModule& module) {
  json.Key("barcodeCommand");
  module.barcodeCommand ? WriteRecord(json, *module.barcodeCommand) : json.Null();
  json.Key("barcodeAnalyzer");
  module.barcodeAnalyzer ? json.String(JsonText(*module.barcodeAnalyzer)) : json.Null();
}

void WriteLeftOut(JsonWriter& json, const PrinterCommandModule& module) {
  json.Key("leftOut");
  json.BeginArray();
  for (const LeftOutRecord& left : module.leftOut) {
    json.BeginObject();
    json.StringMember("section", JsonText(left.section));
    json.NumberMember("key", left.key);
    json.StringMember("value", JsonText(left.value));
    json.StringMember("reason", JsonText(DescribeParseError(left.error)));
    json.EndObject();
  }
  json.EndArray();
  json.Key("missingKeys");
  json.BeginArray();
  for (const MissingKeys& missing : module.missingKeys) {
    json.BeginObject();
    json.StringMember("section", JsonText(missing.section));
    json.NumberMember("count", missing.count);
    json.NumberMember("keysPresent", missing.keysPresent);
    json.EndObject();
  }
  json.EndArray();
}

// A record by its section and key, or null.
void WritePlace(JsonWriter& json, std::string_view name, std::string_view section,
                const CommandRecord* record) {
  json.Key(name);
  if (record == nullptr) {
    json.Null();
    return;
  }
  json.BeginObject();
  json.StringMember("section", JsonText(section));
  json.NumberMember("key", record->key);
  json.EndObject();
}

void WriteTriggerHolder(JsonWriter& json, std::string_view name,
                        const std::optional<std::int32_t>& key, bool atEnd) {
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

void WriteDerivationPlaces(JsonWriter& json, const Inspection& inspection) {
  WritePlace(json, "formFeedCommand", sections::kSingle, inspection.formFeed);
  if (inspection.cutPaper) {
    WritePlace(json, "cutPaperCommand", inspection.cutPaper->holder->section,
               inspection.cutPaper->record);
  } else {
    WritePlace(json, "cutPaperCommand", "", nullptr);
  }
  const TriggerHolders& holders = inspection.holders;
  WriteTriggerHolder(json, "voidHolder", holders.voidHolder, holders.voidAtEnd);
  WriteTriggerHolder(json, "stopHolder", holders.stopHolder, holders.stopAtEnd);
}

void WriteWarnings(JsonWriter& json, const Inspection& inspection) {
  json.Key("warnings");
  json.BeginArray();
  if (inspection.byteOrderMark) {
    json.String(kByteOrderMarkWarning);
  }
  if (inspection.utf16) {
    json.String(kUtf16Warning);
  }
  json.EndArray();
}

}  // namespace

void WriteInspectionJson(std::ostream& out, const Inspection& inspection) {
  const PrinterCommandModule& module = inspection.module;
  JsonWriter json(out);
  json.BeginObject();
  WriteHeading(json, module);
  WriteCounts(json, inspection);
  WriteLibrary(json, module);
  WriteLists(json, module);
  WriteBarcode(json, module);
  WriteLeftOut(json, module);
  WriteDerivationPlaces(json, inspection);
  WriteWarnings(json, inspection);
  json.EndObject();
}

}  // namespace quillmere::cli
