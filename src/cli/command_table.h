// Every command of quillmere-cli, listed in one place (command_table.cpp).
#pragma once

#include <span>
#include <string_view>

#include "cli/command.h"

namespace quillmere::cli {

// In the order the usage text shows them.
[[nodiscard]] std::span<const Command* const> AllCommands();

// The command of that name, or null.
[[nodiscard]] const Command* FindCommand(std::string_view name);

}  // namespace quillmere::cli
