#include "cli/command_table.h"

#include <algorithm>
#include <array>

#include "cli/check_command.h"
#include "cli/derive_command.h"
#include "cli/inspect_command.h"
#include "cli/list_command.h"
#include "cli/match_command.h"
#include "cli/receipts_command.h"

namespace quillmere::cli {

// A new command brings its own <name>_command.{h,cpp} and adds one line here.
std::span<const Command* const> AllCommands() {
  static const std::array kCommands{
      &ListCommand(),  &DeriveCommand(),   &InspectCommand(),
      &MatchCommand(), &ReceiptsCommand(), &CheckCommand(),
  };
  return kCommands;
}

const Command* FindCommand(std::string_view name) {
  const std::span<const Command* const> commands = AllCommands();
  const auto found = std::find_if(commands.begin(), commands.end(),
                                  [&](const Command* command) { return command->name == name; });
  return found == commands.end() ? nullptr : *found;
}

}  // namespace quillmere::cli
