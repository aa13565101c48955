// quillmere-cli list: the base modules the dialog would offer, one line per module file.
#pragma once

#include "cli/command.h"

namespace quillmere::cli {

[[nodiscard]] const Command& ListCommand();

}  // namespace quillmere::cli
