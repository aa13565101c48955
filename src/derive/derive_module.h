// DeriveModule: what "Go" does. Checks the inputs, then makes the new module file in the folder
// "Printer Commands" from the chosen base module: a copy with the new Module_Name, its Form Feed
// and cut-paper commands tagged or untagged as transaction stop, and keyword triggers for void
// and stop. It succeeds whole or leaves the folder exactly as it found it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

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
  kRefused,      // a check failed (messages 3, 5, 8, 10, 12, 13)
  kDeclined,     // message 11 (overwrite) or 15 (no stop signal) answered other than Yes
  kCopyFailed,   // message 6
  kWriteFailed,  // message 14
  kSucceeded,    // message 9, then the OK action
};

struct DeriveResult {
  DeriveOutcome outcome = DeriveOutcome::kRefused;
  // The dialog's file name field: the new module name once the checks passed, empty before.
  std::string fileName;
  // The base module as the writers loaded it; kept by the dialog until its window goes. Only
  // a derivation that succeeded gives one.
  std::unique_ptr<PrinterCommandModule> loadedBase;
};

// Runs the checks in their order, asks before overwriting and before saving a module without a
// stop signal, and writes the new module. Messages 6, 9, 12, 13 and 14 come with a line of
// detail (the reason the system gave, the file written, the limit, the character refused).
// After anything but success the folder holds exactly what it held before.
[[nodiscard]] DeriveResult DeriveModule(const DeriveInputs& inputs, const Catalogue& catalogue,
                                        const PlatformServices& services, Toolkit& toolkit);

}  // namespace quillmere
