// `match --json`: the capture, its receipts with their text, each tagged record with its hits
// and near misses, and the verdict for the whole capture.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "capture/trigger_finder.h"
#include "cli/capture_input.h"

namespace quillmere::cli {

// `texts`: one for each receipt, in the shop's code page.
void WriteMatchJson(std::ostream& out, const CaptureInput& input,
                    const std::vector<std::string>& texts, const capture::MatchReport& report);

}  // namespace quillmere::cli
