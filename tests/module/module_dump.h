// Parsed records and whole loaded modules as text, for the value parser tables and the golden
// load cases (tests/data/module/load/<case>/expected.txt), so that a case states the whole result
// and a mismatch shows as a line diff.
#pragma once

#include <string>

#include "module/command_record.h"

namespace quillmere {
class PrinterCommandModule;
}

namespace quillmere::testing {

// A byte as two hex digits ("1D").
[[nodiscard]] std::string Hex(std::uint8_t byte);

// One record on one line: "[1D 56] kind 3 param 0 'text' @CutPaper stop" (the bytes in hex,
// the kind, the parameter, the text if any, the bound function if any, the event if any), and
// "(counts disagree)" when byteCount or textLength does not match what they count.
[[nodiscard]] std::string RecordText(const CommandRecord& record);

// The model after a load, one fact per line: Module_Name; the UseDll value read and what became
// of the library (no library, not found, found at a path and loaded or not, the module file's
// folder shown as "<module folder>"); changeLineBuffer, waitTime and the tag flags; each record
// after its section and key, a multi-command entry's records indented under it; BARCODE with
// the bound BARCODE_Analyze; then "left out:" every record the load left out with its value and
// why, and "missing keys:" every list whose count names keys its section lacks.
[[nodiscard]] std::string ModuleDump(const PrinterCommandModule& module);

}  // namespace quillmere::testing
