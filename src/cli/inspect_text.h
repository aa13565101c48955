// inspect's text form, for a person at the terminal: the module and its counts, the library,
// the three lists with their keys and bytes in hex, the barcode, what a derivation would touch,
// and what the load left out and why.
#pragma once

#include <iosfwd>
#include <string_view>

#include "cli/inspection.h"

namespace quillmere::cli {

void PrintInspection(std::ostream& out, const Inspection& inspection);

// What a derivation from this module should know before it runs, one problem a line, each after
// `prefix`: a UTF-8 byte-order mark hiding the first section; a module library not found or not
// loaded, with the records that leaves out; the other records left out, and why. Nothing when
// the module loaded whole.
void PrintBaseProblems(std::ostream& out, std::string_view prefix, const Inspection& inspection);

}  // namespace quillmere::cli
