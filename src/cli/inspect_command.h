// quillmere-cli inspect: what the loader makes of one module file, so an installer can see why
// a module behaves as it does before deriving from it: the lists with their keys, the module
// library, every record the load left out and why, and what a derivation would touch.
#pragma once

#include "cli/command.h"

namespace quillmere::cli {

[[nodiscard]] const Command& InspectCommand();

}  // namespace quillmere::cli
