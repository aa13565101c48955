// quillmere-cli check: every module of a folder as the dialog lists it, with what is wrong
// with it.
#pragma once

#include "cli/command.h"

namespace quillmere::cli {

[[nodiscard]] const Command& CheckCommand();

}  // namespace quillmere::cli
