// Where this program was started from, and where its user's own data lives: what the front ends
// need to find a module folder when none is named. A copy of the executable, or a symbolic link
// to it, placed beside a module folder uses that folder, as dropping the program into a module
// folder does on Windows; so the executable is taken as it was invoked, links not resolved.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace quillmere {

// Notes how the program was invoked (argv[0]); called once by each program's main.
void RecordInvocation(std::string_view argv0);

// The executable as it was invoked: argv[0] with a separator, made absolute against the current
// folder; without one, the first executable of that name on PATH, as the shell found it. Links
// are not resolved. None when nothing was recorded or it names no file.
[[nodiscard]] std::optional<std::string> InvokedExecutablePath();

// The user's own data folder: $XDG_DATA_HOME, or ~/.local/share; none on Windows, where modules
// live beside the executable only, or when neither is known.
[[nodiscard]] std::optional<std::string> UserDataFolder();

// The folder an installed program's shared data lies in: "<prefix>/share/quillmere" for the
// executable `executablePath` in "<prefix>/bin", wherever the prefix was unpacked.
[[nodiscard]] std::string InstalledDataFolder(std::string_view executablePath);

// Makes `path` and the folders above it that are missing.
[[nodiscard]] FileOutcome MakeFolders(const std::string& path);

// Removes the folder `path` when it is empty.
void RemoveEmptyFolder(const std::string& path);

}  // namespace quillmere
