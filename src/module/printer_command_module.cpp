#include "module/printer_command_module.h"

#include <algorithm>
#include <utility>

#include "platform/file_system.h"
#include "platform/module_library.h"
#include "platform/profile_store.h"
#include "platform/text.h"

namespace quillmere {

namespace {

// The keys of a list are the decimals "1", "2", ... with no sign, no leading zero and no blanks.
// The store lists a section's key names already trimmed by the file's own blank rule
// (profile_rules::IsFileBlank), and a read of key "7" finds exactly the entry whose trimmed name
// is "7" (digits have no case). So a listed name is key k exactly when it is k's decimal text,
// and nothing is trimmed here: a name with another byte at its edge (a form feed, 0x1A) is a key
// of its own that no read of k finds, and key k counts as absent.
std::optional<std::int32_t> PlainDecimalKey(std::string_view name, std::int32_t count) {
  if (name.empty() || name.size() > 10 || name.front() == '0') {
    return std::nullopt;
  }
  std::int64_t key = 0;
  for (const char c : name) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    key = key * 10 + (c - '0');
  }
  if (key > count) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(key);
}

}  // namespace

PrinterCommandModule::PrinterCommandModule(const PlatformServices& services)
    : services_(services) {}

PrinterCommandModule::~PrinterCommandModule() {
  Release();
}

bool PrinterCommandModule::Load(const std::string& path) {
  modulePath = path;
  moduleName = services_.store.ReadString(sections::kMain, keys::kModuleName, "", modulePath);

  librarySetting = services_.store.ReadString(sections::kMain, keys::kUseDll, "0,", modulePath);
  const LibrarySetting setting = ParseLibrarySetting(librarySetting);
  useLibrary = setting.useLibrary;
  // Records bind through this file's library only, never through one an earlier load left.
  library.reset();
  libraryFoundAt.clear();
  // Before any list: kind-3 records and the barcode analyser bind while they are parsed.
  if (!setting.path.empty() && useLibrary) {
    LoadModuleLibrary(setting.path);
  }

  LoadChangeLineCommands(
      services_.store.ReadInt(sections::kMain, keys::kChangeLineCount, 0, modulePath));
  LoadSingleCommands(services_.store.ReadInt(sections::kMain, keys::kSingleCount, 0, modulePath));
  LoadMultiCommands(services_.store.ReadInt(sections::kMain, keys::kMultiCount, 0, modulePath));
  (void)LoadBarcode();
  LoadStopEvent();
  return true;
}

bool PrinterCommandModule::Release() {
  library.reset();
  libraryFoundAt.clear();
  barcodeCommand.reset();
  barcodeAnalyzer.reset();
  // Assigning empty vectors gives their storage back, not only their elements.
  changeLineCommands = {};
  singleCommands = {};
  multiCommands = {};
  leftOut = {};
  missingKeys = {};
  return true;
}

void PrinterCommandModule::LoadModuleLibrary(const std::string& libraryPath) {
  // The path as written first (a relative one against the current folder), then beside the
  // module file, since modules are shipped together with their library.
  if (services_.files.Exists(libraryPath)) {
    TryLibraryAt(libraryPath);
    return;
  }
  std::string besideModule = libraryPath;
  const std::size_t separator = text::FindLastChar(modulePath, kPathSeparator);
  if (separator != std::string::npos && separator > 0) {
    besideModule = modulePath.substr(0, separator + 1) + libraryPath;
  }
  if (services_.files.Exists(besideModule)) {
    TryLibraryAt(besideModule);
  }
}

void PrinterCommandModule::TryLibraryAt(const std::string& libraryPath) {
  libraryFoundAt = libraryPath;
  library = services_.libraries.Load(libraryPath);
}

std::vector<std::int32_t> PrinterCommandModule::PresentKeys(std::string_view section,
                                                            std::int32_t count) {
  std::vector<std::int32_t> present;
  if (count <= 0) {
    return present;
  }
  for (const std::string& name : services_.store.ReadKeyNames(section, modulePath)) {
    if (const std::optional<std::int32_t> key = PlainDecimalKey(name, count)) {
      present.push_back(*key);
    }
  }
  // A key may stand twice in a section; a read finds its first line, and it is visited once.
  std::sort(present.begin(), present.end());
  present.erase(std::unique(present.begin(), present.end()), present.end());
  return present;
}

std::vector<std::int32_t> PrinterCommandModule::ListKeys(std::string_view section,
                                                         std::int32_t count) {
  std::vector<std::int32_t> present = PresentKeys(section, count);
  if (std::cmp_less(present.size(), count)) {
    missingKeys.push_back(
        MissingKeys{std::string(section), count, static_cast<std::int32_t>(present.size())});
  }
  return present;
}

template <typename T, typename Parse>
std::optional<T> PrinterCommandModule::ParseKey(std::string_view section, std::int32_t key,
                                                Parse parse) {
  std::string value = services_.store.ReadString(section, text::FormatDecimal(key), "", modulePath);
  Parsed<T> parsed = parse(std::string_view(value));
  if (ParseError* error = std::get_if<ParseError>(&parsed)) {
    leftOut.push_back(
        LeftOutRecord{std::string(section), key, std::move(value), std::move(*error)});
    return std::nullopt;
  }
  return std::move(std::get<T>(parsed));
}

std::optional<CommandRecord> PrinterCommandModule::ParseChangeLineRecord(std::string_view section,
                                                                         std::int32_t key) {
  std::optional<CommandRecord> record = ParseKey<CommandRecord>(
      section, key, [](std::string_view value) { return ParseChangeLineValue(value); });
  if (record) {
    record->key = key;
  }
  return record;
}

std::optional<CommandRecord> PrinterCommandModule::ParseCommandRecord(std::string_view section,
                                                                      std::int32_t key) {
  const LibraryBinding binding{useLibrary, library.get()};
  TagFlags flags{noStartTag, noStopTag};
  std::optional<CommandRecord> record = ParseKey<CommandRecord>(
      section, key,
      [&](std::string_view value) { return ParseCommandValue(value, binding, flags); });
  noStartTag = flags.noStartTag;
  noStopTag = flags.noStopTag;
  if (record) {
    record->key = key;
  }
  return record;
}

std::optional<MultiCommandEntry> PrinterCommandModule::ParseMultiCommandEntry(
    std::string_view section, std::int32_t key) {
  return ParseKey<MultiCommandEntry>(
      section, key, [](std::string_view value) { return ParseMultiCommandValue(value); });
}

void PrinterCommandModule::LoadChangeLineCommands(std::int32_t count) {
  std::int32_t longest = 0;
  for (const std::int32_t key : ListKeys(sections::kChangeLine, count)) {
    if (std::optional<CommandRecord> record = ParseChangeLineRecord(sections::kChangeLine, key)) {
      longest = std::max(longest, record->byteCount);
      changeLineCommands.push_back(std::move(*record));
    }
  }
  // Sized by bytes that were actually parsed, so no count in the file can make it large.
  if (longest > 0) {
    changeLineBuffer = std::vector<std::uint8_t>(static_cast<std::size_t>(longest));
  }
}

void PrinterCommandModule::LoadSingleCommands(std::int32_t count) {
  for (const std::int32_t key : ListKeys(sections::kSingle, count)) {
    if (std::optional<CommandRecord> record = ParseCommandRecord(sections::kSingle, key)) {
      singleCommands.push_back(std::move(*record));
    }
  }
}

void PrinterCommandModule::LoadMultiCommands(std::int32_t count) {
  for (const std::int32_t key : ListKeys(sections::kMulti, count)) {
    std::optional<MultiCommandEntry> entry = ParseMultiCommandEntry(sections::kMulti, key);
    if (!entry) {
      continue;
    }
    MultiCommand multi;
    multi.trigger = entry->trigger;
    multi.key = key;
    multi.section = std::move(entry->section);
    for (const std::int32_t recordKey : ListKeys(multi.section, entry->count)) {
      if (std::optional<CommandRecord> record = ParseCommandRecord(multi.section, recordKey)) {
        multi.records.push_back(std::move(*record));
      }
    }
    // An entry enters the list even when none of its records parsed.
    multiCommands.push_back(std::move(multi));
  }
}

bool PrinterCommandModule::LoadBarcode() {
  constexpr std::int32_t kBarcodeKey = 1;
  if (PresentKeys(sections::kBarcode, kBarcodeKey).empty()) {
    return false;
  }
  barcodeCommand = ParseCommandRecord(sections::kBarcode, kBarcodeKey);
  if (!barcodeCommand) {
    return false;
  }
  std::string analyzer = services_.store.ReadString(sections::kBarcodeAnalyze, "1", "", modulePath);
  if (analyzer.empty()) {
    return true;
  }
  Parsed<std::string> bound = BindLibraryFunction(analyzer, {useLibrary, library.get()});
  if (ParseError* error = std::get_if<ParseError>(&bound)) {
    leftOut.push_back(LeftOutRecord{std::string(sections::kBarcodeAnalyze), kBarcodeKey,
                                    std::move(analyzer), std::move(*error)});
  } else {
    barcodeAnalyzer = std::move(std::get<std::string>(bound));
  }
  return true;
}

void PrinterCommandModule::LoadStopEvent() {
  const std::int32_t read =
      services_.store.ReadInt(sections::kStopEvent, keys::kWaitTime, kDefaultWaitTime, modulePath);
  waitTime = read <= kMinWaitTime ? kMinWaitTime : std::min(read, kMaxWaitTime);
}

}  // namespace quillmere
