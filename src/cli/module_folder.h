// The module folder of a command: the folder given with --folder, or the one the dialog finds
// ("Printer Commands" beside the executable as invoked, else the user's own module folder, made
// on first start). Scanned as the dialog scans it, messages 1 and 2 included.
#pragma once

#include "cli/arguments.h"
#include "module/catalogue.h"
#include "platform/services.h"

namespace quillmere {
class Toolkit;
}

namespace quillmere::cli {

inline constexpr CommandOption kFolderOption{
    "folder", OptionKind::kValue, "DIR", "the module folder (default: the one the dialog uses)"};

// The catalogue of the command's module folder; false after message 1 or 2.
bool ScanModuleFolder(const ParsedArguments& arguments, Catalogue& catalogue,
                      const PlatformServices& services, Toolkit& toolkit);

}  // namespace quillmere::cli
