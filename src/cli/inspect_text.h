// inspect's text form, for a person at the terminal: the module and its counts, the library,
// the three lists with their keys and bytes in hex, the barcode, what a derivation would touch,
// and what the load left out and why.
#pragma once

#include <iosfwd>

#include "cli/inspection.h"

namespace quillmere::cli {

void PrintInspection(std::ostream& out, const Inspection& inspection);

}  // namespace quillmere::cli
