// `match` for people: the receipts' text with the places the module's triggers occur marked
// under it ("^" a hit, "~" a near miss), each trigger's hits and near misses with what the
// printer makes of the bytes there and their context as text and hex, and the verdicts.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "capture/receipt_text.h"
#include "capture/trigger_finder.h"
#include "cli/capture_input.h"

namespace quillmere {
class PrinterCommandModule;
}

namespace quillmere::cli {

void PrintMatch(std::ostream& out, const CaptureInput& input, const PrinterCommandModule& module,
                const std::vector<capture::TracedText>& texts, const capture::MatchReport& report);

// Why a near miss is one, as people and JSON readers are shown it: "case", "case, split".
[[nodiscard]] std::string NearMissReasons(const capture::NearMiss& miss);

// "yes", "no", or "(no trigger)" when the module has none of the kind.
[[nodiscard]] std::string_view VerdictWord(const std::optional<bool>& seen);

}  // namespace quillmere::cli
