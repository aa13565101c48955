// The staging files of derivations (".quillmere-derive-<process ID>-<start time>-XXXXXX"): named
// for the process that makes them, so that one left by a process killed outright is known for
// what it is. The next derivation in the folder removes such a file; `check` can list them. A
// file of a process that still runs is never touched, nor any other file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/process_identity.h"

namespace quillmere {

class FileSystem;

// The start of the names of the staging files that `owner` makes.
[[nodiscard]] std::string StagingStem(const ProcessIdentity& owner);

// The process that made the staging file `name` (a name, not a path); none for any other name.
[[nodiscard]] std::optional<ProcessIdentity> StagingFileOwner(std::string_view name);

// The names of the staging files in `folder` whose process is gone, in listing order.
[[nodiscard]] std::vector<std::string> StaleStagingFiles(FileSystem& files,
                                                         const std::string& folder);

// Removes the stale staging files of `folder`; one that cannot be removed stays.
void RemoveStaleStagingFiles(FileSystem& files, const std::string& folder);

}  // namespace quillmere
