// PrinterCommandModule: one module file in memory (its name, module library, change-line,
// single and multi-command lists, barcode command and wait time), loaded key by key and list by
// list through one view of the file (ProfileView), so a whole load reads one version of it. The
// loader never writes to the file.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "module/command_record.h"
#include "module/value_parsers.h"
#include "platform/profile_view.h"
#include "platform/services.h"

namespace quillmere {

class ModuleLibrary;

// Section and key names as module files spell them.
namespace sections {
inline constexpr std::string_view kMain = "Main";
inline constexpr std::string_view kChangeLine = "ChangeLine-Command";
inline constexpr std::string_view kSingle = "Single-Command";
inline constexpr std::string_view kMulti = "Mutli-Command";
inline constexpr std::string_view kBarcode = "BARCODE";
inline constexpr std::string_view kBarcodeAnalyze = "BARCODE_Analyze";
inline constexpr std::string_view kStopEvent = "STOP_EVENT";
inline constexpr std::string_view kTextVoid = "Text_Void";
inline constexpr std::string_view kTextStop = "Text_Stop";
}  // namespace sections
namespace keys {
inline constexpr std::string_view kModuleName = "Module_Name";
inline constexpr std::string_view kUseDll = "UseDll";
inline constexpr std::string_view kChangeLineCount = "C-Num";
inline constexpr std::string_view kSingleCount = "S-Num";
inline constexpr std::string_view kMultiCount = "M-Num";
inline constexpr std::string_view kWaitTime = "WaitTime";
}  // namespace keys

inline constexpr std::int32_t kDefaultWaitTime = 30;
inline constexpr std::int32_t kMinWaitTime = 1;
inline constexpr std::int32_t kMaxWaitTime = 600;

// A record or entry the load left out, and why.
struct LeftOutRecord {
  std::string section;
  std::int32_t key = 0;
  std::string value;  // as read
  ParseError error;
};

// A list whose count names keys that its section does not hold. Those keys read as empty values
// and give no records; they are told as one line per list rather than one per key, because a
// count may be as large as 2,000,000,000.
struct MissingKeys {
  std::string section;
  std::int32_t count = 0;        // the count the file gives
  std::int32_t keysPresent = 0;  // how many of the keys 1..count the section holds
};

class PrinterCommandModule {
 public:
  // `services` must outlive the module.
  explicit PrinterCommandModule(const PlatformServices& services);
  virtual ~PrinterCommandModule();
  PrinterCommandModule(const PrinterCommandModule&) = delete;
  PrinterCommandModule& operator=(const PrinterCommandModule&) = delete;

  // Reads the whole file into the model; always succeeds (an absent file reads as all
  // defaults). Adds to the lists: a model to be loaded again is released first.
  bool Load(const std::string& path);

  // The same, through a view of the file at `path` that the caller holds already (a derivation
  // loads the base it read into memory). The view is not kept.
  bool Load(const std::string& path, const ProfileView& file);

  // Frees the records and unloads the library; leaves moduleName, modulePath, useLibrary,
  // waitTime, the tag flags and changeLineBuffer as they are.
  bool Release();

  std::optional<std::vector<std::uint8_t>> changeLineBuffer;  // contents never used
  std::vector<CommandRecord> changeLineCommands;
  std::vector<CommandRecord> singleCommands;
  std::vector<MultiCommand> multiCommands;
  std::optional<CommandRecord> barcodeCommand;
  std::optional<std::string> barcodeAnalyzer;  // the bound export's name
  std::string moduleName;
  bool noStopTag = true;
  bool noStartTag = true;
  std::int32_t waitTime = kDefaultWaitTime;
  std::string modulePath;
  bool useLibrary = false;
  std::unique_ptr<ModuleLibrary> library;

  // Beyond the model: what an inspection shows. The UseDll value as read; the path at which the
  // library file was found (empty when nowhere; `library` stays none when the file there did not
  // load); every key the section holds whose record or entry was left out, in load order
  // (a BARCODE_Analyze name that could not be bound among them); and the lists whose counts
  // name absent keys. Release clears all but librarySetting, which the next Load sets again.
  std::string librarySetting;
  std::string libraryFoundAt;
  std::vector<LeftOutRecord> leftOut;
  std::vector<MissingKeys> missingKeys;

 private:
  void LoadModuleLibrary(const std::string& libraryPath);
  void TryLibraryAt(const std::string& libraryPath);
  void LoadChangeLineCommands(const ProfileView& file, std::int32_t count);
  void LoadSingleCommands(const ProfileView& file, std::int32_t count);
  void LoadMultiCommands(const ProfileView& file, std::int32_t count);
  bool LoadBarcode(const ProfileView& file);
  void LoadStopEvent(const ProfileView& file);

  // Reads the keys 1..count of a list that the file holds, in key order (a key that is absent
  // reads as the empty value and fails, so only these can give records, whatever the count
  // says), noting in missingKeys when the count names keys that are absent. `onKeysPresent`
  // learns how many there are before the first is given to `onValue`.
  void ReadList(const ProfileView& file, std::string_view section, std::int32_t count,
                const ProfileView::KeysPresent& onKeysPresent,
                const ProfileView::ListValue& onValue);

  // The parse of `value`, key `key` of `section`, by `parse`; a failure is noted in leftOut.
  template <typename T, typename Parse>
  [[nodiscard]] std::optional<T> ParseKey(std::string_view section, std::int32_t key,
                                          std::string_view value, Parse parse);

  // Parses `value`, key `key` of `section`, into a new last record of `list` by
  // `parseInto(value, record)`; a failure drops the record again and is noted in leftOut. True
  // when the record stays.
  template <typename ParseInto>
  bool AppendRecord(std::vector<CommandRecord>& list, std::string_view section, std::int32_t key,
                    std::string_view value, ParseInto parseInto);
  bool AppendCommandRecord(std::vector<CommandRecord>& list, std::string_view section,
                           std::int32_t key, std::string_view value);

  [[nodiscard]] std::optional<CommandRecord> ParseCommandRecord(std::string_view section,
                                                                std::int32_t key,
                                                                std::string_view value);
  [[nodiscard]] std::optional<MultiCommandEntry> ParseMultiCommandEntry(std::string_view section,
                                                                        std::int32_t key,
                                                                        std::string_view value);

  PlatformServices services_;
};

}  // namespace quillmere
