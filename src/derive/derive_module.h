// DeriveModule: what "Go" does. Checks the inputs, then makes the new module file in the folder
// "Printer Commands" from the chosen base module: a copy with the new Module_Name, its Form Feed
// and cut-paper commands tagged or untagged as transaction stop, and keyword triggers for void
// and stop. It succeeds whole or leaves the folder exactly as it found it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "module/printer_command_module.h"
#include "platform/services.h"

namespace quillmere {

class Toolkit;
struct Catalogue;

// What the user chose and typed: the dialog's data fields after the control values were taken
// in, or the command line's options.
struct DeriveInputs {
  std::int32_t baseSelection = -1;  // index into the catalogue; -1 when nothing is chosen
  bool cutPaperOption = false;
  bool formFeedOption = false;
  std::string voidKeyword;
  std::string stopKeyword;  // not written when either stop option is set
  std::string newModuleName;
};

enum class DeriveOutcome {
  kRefused,      // a check failed (messages 3, 5, 8, 10, 12, 13), or the base is UTF-16 (17)
  kDeclined,     // message 11 (overwrite) or 15 (no stop signal) answered other than Yes
  kCopyFailed,   // message 6
  kWriteFailed,  // message 14 (also when an exception, out of memory say, ended the run)
  kSucceeded,    // message 9, then the OK action; a dry run: its preview, nothing written
};

// A real run writes the new module; a dry run passes every check, question and write in memory
// and stops short of the disk, giving what it would write instead.
enum class DeriveMode { kWrite, kDryRun };

// What a dry run would write: the base's bytes as read and the new module's bytes, and whether
// a file at the target path would be replaced.
struct DerivePreview {
  std::string basePath;
  std::string baseBytes;
  std::string targetPath;
  bool overwrites = false;
  std::string newBytes;
};

struct DeriveResult {
  DeriveOutcome outcome = DeriveOutcome::kRefused;
  // The dialog's file name field: the new module name once the checks passed, empty before.
  std::string fileName;
  // Why, in words for the user, beside messages 6, 13, 14 and 17 (a path first where it is
  // about a file); empty when the message says all.
  std::string reason;
  // The base module as the writers loaded it; kept by the dialog until its window goes. Only
  // a derivation that succeeded gives one.
  std::unique_ptr<PrinterCommandModule> loadedBase;
  // A dry run that passed every step gives its preview.
  std::optional<DerivePreview> preview;
};

// The base module as a derivation read and loaded it, before it asks anything: what a caller
// may tell of the base (the command line tells what it lacks) without loading it again.
struct BaseAsRead {
  const std::string& path;
  std::string_view bytes;
  const PrinterCommandModule& module;
  ProfileStore& store;  // holds `bytes` at `path`
};
using BaseReadHook = std::function<void(const BaseAsRead&)>;

// A stop option is the register's end of a transaction; a stop keyword would contradict it, so
// with either option set the stop keyword is neither checked for length nor written.
[[nodiscard]] std::string_view StopKeywordToWrite(const DeriveInputs& inputs);

// Runs the checks in their order, asks before overwriting (a file whose name differs from the
// new file name only in case counts as that file) and before saving a module without a stop
// signal, and writes the new module (or, a dry run, gives what it would write). Messages 6, 9,
// 12, 13, 14 and 17 come with a line of detail, also kept as the result's reason (the reason the
// system gave, the file written, the limit, the character refused). After anything but a real
// run's success the folder holds exactly what it held before, less any staging file that a
// derivation killed outright left. No exception passes: it ends the run with message 14.
// `onBaseRead` is given the base once it is read and loaded, before the first question.
[[nodiscard]] DeriveResult DeriveModule(const DeriveInputs& inputs, const Catalogue& catalogue,
                                        const PlatformServices& services, Toolkit& toolkit,
                                        DeriveMode mode = DeriveMode::kWrite,
                                        const BaseReadHook& onBaseRead = {});

}  // namespace quillmere
