// quillmere-cli receipts: a capture as the printer would print it, receipt by receipt.
#pragma once

#include "cli/command.h"

namespace quillmere::cli {

[[nodiscard]] const Command& ReceiptsCommand();

}  // namespace quillmere::cli
