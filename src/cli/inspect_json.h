// inspect --json: the inspection as one JSON object, for scripts. Its members, in order: the
// module's name and flags, the counts, the library, the three lists, the barcode, what the load
// left out, the records a derivation would touch, and the warnings.
#pragma once

#include <iosfwd>

#include "cli/inspection.h"

namespace quillmere::cli {

void WriteInspectionJson(std::ostream& out, const Inspection& inspection);

}  // namespace quillmere::cli
