#include "module/printer_command_module.h"

#include <algorithm>
#include <utility>

#include "platform/file_system.h"
#include "platform/module_library.h"
#include "platform/profile_store.h"
#include "platform/text.h"

namespace quillmere {

PrinterCommandModule::PrinterCommandModule(const PlatformServices& services)
    : services_(services) {}

PrinterCommandModule::~PrinterCommandModule() {
  Release();
}

bool PrinterCommandModule::Load(const std::string& path) {
  // One view for the whole load: the file is looked at once, and every read is of one version.
  const std::shared_ptr<const ProfileView> file = services_.store.View(path);
  return Load(path, *file);
}

bool PrinterCommandModule::Load(const std::string& path, const ProfileView& file) {
  modulePath = path;
  moduleName = file.ReadString(sections::kMain, keys::kModuleName, "");

  librarySetting = file.ReadString(sections::kMain, keys::kUseDll, "0,");
  const LibrarySetting setting = ParseLibrarySetting(librarySetting);
  useLibrary = setting.useLibrary;
  // Records bind through this file's library only, never through one an earlier load left.
  library.reset();
  libraryFoundAt.clear();
  // Before any list: kind-3 records and the barcode analyser bind while they are parsed.
  if (!setting.path.empty() && useLibrary) {
    LoadModuleLibrary(setting.path);
  }

  LoadChangeLineCommands(file, file.ReadInt(sections::kMain, keys::kChangeLineCount, 0));
  LoadSingleCommands(file, file.ReadInt(sections::kMain, keys::kSingleCount, 0));
  LoadMultiCommands(file, file.ReadInt(sections::kMain, keys::kMultiCount, 0));
  (void)LoadBarcode(file);
  LoadStopEvent(file);
  return true;
}

bool PrinterCommandModule::Release() {
  library.reset();
  libraryFoundAt.clear();
  barcodeCommand.reset();
  barcodeAnalyzer.reset();
  // Assigning empty vectors gives their storage back, not only their elements.
  changeLineCommands = std::vector<CommandRecord>();
  singleCommands = std::vector<CommandRecord>();
  multiCommands = std::vector<MultiCommand>();
  leftOut = std::vector<LeftOutRecord>();
  missingKeys = std::vector<MissingKeys>();
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

void PrinterCommandModule::ReadList(const ProfileView& file, std::string_view section,
                                    std::int32_t count,
                                    const ProfileView::KeysPresent& onKeysPresent,
                                    const ProfileView::ListValue& onValue) {
  file.ReadList(
      section, count,
      [&](std::size_t present) {
        if (std::cmp_less(present, count)) {
          missingKeys.push_back(
              MissingKeys{std::string(section), count, static_cast<std::int32_t>(present)});
        }
        onKeysPresent(present);
      },
      onValue);
}

template <typename T, typename Parse>
std::optional<T> PrinterCommandModule::ParseKey(std::string_view section, std::int32_t key,
                                                std::string_view value, Parse parse) {
  Parsed<T> parsed = parse(value);
  if (ParseError* error = std::get_if<ParseError>(&parsed)) {
    leftOut.push_back(
        LeftOutRecord{std::string(section), key, std::string(value), std::move(*error)});
    return std::nullopt;
  }
  return std::move(std::get<T>(parsed));
}

template <typename ParseInto>
bool PrinterCommandModule::AppendRecord(std::vector<CommandRecord>& list, std::string_view section,
                                        std::int32_t key, std::string_view value,
                                        ParseInto parseInto) {
  CommandRecord& record = list.emplace_back();
  if (std::optional<ParseError> error = parseInto(value, record)) {
    list.pop_back();
    leftOut.push_back(
        LeftOutRecord{std::string(section), key, std::string(value), std::move(*error)});
    return false;
  }
  record.key = key;
  return true;
}

bool PrinterCommandModule::AppendCommandRecord(std::vector<CommandRecord>& list,
                                               std::string_view section, std::int32_t key,
                                               std::string_view value) {
  const LibraryBinding binding{useLibrary, library.get()};
  TagFlags flags{noStartTag, noStopTag};
  const bool appended =
      AppendRecord(list, section, key, value, [&](std::string_view text, CommandRecord& record) {
        return ParseCommandValueInto(text, binding, flags, record);
      });
  noStartTag = flags.noStartTag;
  noStopTag = flags.noStopTag;
  return appended;
}

std::optional<CommandRecord> PrinterCommandModule::ParseCommandRecord(std::string_view section,
                                                                      std::int32_t key,
                                                                      std::string_view value) {
  const LibraryBinding binding{useLibrary, library.get()};
  TagFlags flags{noStartTag, noStopTag};
  std::optional<CommandRecord> record = ParseKey<CommandRecord>(
      section, key, value,
      [&](std::string_view text) { return ParseCommandValue(text, binding, flags); });
  noStartTag = flags.noStartTag;
  noStopTag = flags.noStopTag;
  if (record) {
    record->key = key;
  }
  return record;
}

std::optional<MultiCommandEntry> PrinterCommandModule::ParseMultiCommandEntry(
    std::string_view section, std::int32_t key, std::string_view value) {
  return ParseKey<MultiCommandEntry>(
      section, key, value, [](std::string_view text) { return ParseMultiCommandValue(text); });
}

// Each list is reserved for the keys its section holds, not for its count: a count may name
// keys that are absent, as many as 2,000,000,000.
void PrinterCommandModule::LoadChangeLineCommands(const ProfileView& file, std::int32_t count) {
  std::int32_t longest = 0;
  ReadList(
      file, sections::kChangeLine, count,
      [&](std::size_t present) { changeLineCommands.reserve(changeLineCommands.size() + present); },
      [&](std::int32_t key, std::string_view value) {
        if (AppendRecord(changeLineCommands, sections::kChangeLine, key, value,
                         ParseChangeLineValueInto)) {
          longest = std::max(longest, changeLineCommands.back().byteCount);
        }
      });
  // Sized by bytes that were actually parsed, so no count in the file can make it large.
  if (longest > 0) {
    changeLineBuffer = std::vector<std::uint8_t>(static_cast<std::size_t>(longest));
  }
}

void PrinterCommandModule::LoadSingleCommands(const ProfileView& file, std::int32_t count) {
  ReadList(
      file, sections::kSingle, count,
      [&](std::size_t present) { singleCommands.reserve(singleCommands.size() + present); },
      [&](std::int32_t key, std::string_view value) {
        AppendCommandRecord(singleCommands, sections::kSingle, key, value);
      });
}

void PrinterCommandModule::LoadMultiCommands(const ProfileView& file, std::int32_t count) {
  ReadList(
      file, sections::kMulti, count,
      [&](std::size_t present) { multiCommands.reserve(multiCommands.size() + present); },
      [&](std::int32_t key, std::string_view value) {
        std::optional<MultiCommandEntry> entry =
            ParseMultiCommandEntry(sections::kMulti, key, value);
        if (!entry) {
          return;
        }
        MultiCommand multi;
        multi.trigger = entry->trigger;
        multi.key = key;
        multi.section = std::move(entry->section);
        ReadList(
            file, multi.section, entry->count,
            [&](std::size_t present) { multi.records.reserve(present); },
            [&](std::int32_t recordKey, std::string_view recordValue) {
              AppendCommandRecord(multi.records, multi.section, recordKey, recordValue);
            });
        // An entry enters the list even when none of its records parsed.
        multiCommands.push_back(std::move(multi));
      });
}

bool PrinterCommandModule::LoadBarcode(const ProfileView& file) {
  constexpr std::int32_t kBarcodeKey = 1;
  bool present = false;
  file.ReadList(
      sections::kBarcode, kBarcodeKey, [&](std::size_t keys) { present = keys > 0; },
      [&](std::int32_t key, std::string_view value) {
        barcodeCommand = ParseCommandRecord(sections::kBarcode, key, value);
      });
  if (!present || !barcodeCommand) {
    return false;
  }
  std::string analyzer = file.ReadString(sections::kBarcodeAnalyze, "1", "");
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

void PrinterCommandModule::LoadStopEvent(const ProfileView& file) {
  const std::int32_t read = file.ReadInt(sections::kStopEvent, keys::kWaitTime, kDefaultWaitTime);
  waitTime = read <= kMinWaitTime ? kMinWaitTime : std::min(read, kMaxWaitTime);
}

}  // namespace quillmere
