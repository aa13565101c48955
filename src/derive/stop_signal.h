// Whether the module a derivation writes will end transactions: known before anything is
// written, from the base module as loaded and what the user chose, through the same finders the
// writers use (the Form Feed command, the cut-paper command, the old triggers at the end of the
// list). A module without a record tagged TRAN_STOP never ends a transaction in the POS engine,
// so the derivation asks before saving one.
#pragma once

#include <cstdint>

#include "derive/derive_module.h"

namespace quillmere {

class PrinterCommandModule;

// True when some record of the new module will carry TRAN_STOP: the Form Feed command the Form
// Feed option tags or appends; the stop keyword's record; the cut-paper command the CutPaper
// option tags, when the base holds one that loaded; or a stop record of the base that no writer
// rewrites or drops. `multiCount` is the base file's M-Num, from which the trigger writer counts.
[[nodiscard]] bool NewModuleHasStopSignal(const PrinterCommandModule& base, std::int32_t multiCount,
                                          const DeriveInputs& inputs);

}  // namespace quillmere
