// The profile store on every platform but Windows: the Windows profile functions' results (see
// profile_rules.h), computed from the module file's bytes, which it reads through FileSystem.
//
// A loader reads thousands of keys of one file, so the store keeps the parsed file and reads it
// again only when the file on disk changed (its FileStamp), or while a change could still hide
// behind an unchanged stamp. A write always starts from the file's current bytes and replaces
// the file atomically: it is written whole or not at all.
#pragma once

#include <memory>

#include "platform/profile_store.h"

namespace quillmere {

class FileSystem;

// `files` must outlive the store.
[[nodiscard]] std::unique_ptr<ProfileStore> MakePortableProfileStore(FileSystem& files);

}  // namespace quillmere
