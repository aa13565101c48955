// quillmere-cli derive: the dialog's "Go" from the terminal, through the same DeriveModule.
#pragma once

#include "cli/command.h"

namespace quillmere::cli {

[[nodiscard]] const Command& DeriveCommand();

}  // namespace quillmere::cli
