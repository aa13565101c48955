// Placeholder until the derivation lands: refuses every derivation and writes nothing.
#include "derive/derive_module.h"

#include "module/printer_command_module.h"
#include "platform/toolkit.h"

namespace quillmere {

DeriveOutcome DeriveModule(DeriveInputs& /*inputs*/, std::string& /*fileName*/,
                           const Catalogue& /*catalogue*/,
                           std::unique_ptr<PrinterCommandModule>& /*loaderSlot*/,
                           const PlatformServices& /*services*/, Toolkit& /*toolkit*/) {
  return DeriveOutcome::kRefused;
}

}  // namespace quillmere
