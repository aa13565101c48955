// DeriveModule: what "Go" does. Checks the inputs, then makes the new module file in the folder
// "Printer Commands" from the chosen base module: a copy with the new Module_Name, its Form Feed
// and cut-paper commands tagged or untagged as transaction stop, and keyword triggers for void
// and stop. It succeeds whole or leaves the folder exactly as it found it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/services.h"

namespace quillmere {

class PrinterCommandModule;
class Toolkit;
struct Catalogue;

// The dialog's data fields that a derivation reads, after the control values were taken in.
struct DeriveInputs {
  std::int32_t baseSelection = -1;  // index into the catalogue; -1 when nothing is chosen
  bool cutPaperOption = false;
  bool formFeedOption = false;
  std::string voidKeyword;
  std::string stopKeyword;  // emptied by the derivation when either option is set
  std::string newModuleName;
};

enum class DeriveOutcome {
  kRefused,      // a check failed (messages 3, 5, 8, 10, 12, 13)
  kDeclined,     // the user did not agree to overwrite (message 11 answered other than Yes)
  kCopyFailed,   // message 6
  kWriteFailed,  // message 14
  kSucceeded,    // message 9, then the OK action
};

// `fileName` is the dialog's file name field, set to the new module name once the checks pass.
// On success the loaded base module is left in `loaderSlot`; after any failure the slot is
// empty, and the folder holds exactly what it held before.
DeriveOutcome DeriveModule(DeriveInputs& inputs, std::string& fileName, const Catalogue& catalogue,
                           std::unique_ptr<PrinterCommandModule>& loaderSlot,
                           const PlatformServices& services, Toolkit& toolkit);

}  // namespace quillmere
