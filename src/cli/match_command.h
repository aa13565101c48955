// quillmere-cli match: where a module's triggers occur in a capture of what the register really
// sent to its printer, and whether its void and stop triggers occur where they would act.
#pragma once

#include "cli/command.h"

namespace quillmere::cli {

[[nodiscard]] const Command& MatchCommand();

}  // namespace quillmere::cli
