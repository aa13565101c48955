// The profile store on every platform but Windows: the Windows profile functions' results (see
// profile_rules.h), computed from the module file's bytes, which it reads through FileSystem.
//
// Every operation looks at the disk once: a view (a Load, a scan, a derivation's base) or a lone
// read checks the file's FileStamp when it starts and reads the file again only when it changed,
// or while a change could still hide behind an unchanged stamp (then the bytes are compared, once
// per operation, not once per read). A view keeps the version it started with to its end. A
// write always starts from the file's current bytes and replaces the file atomically: it is
// written whole or not at all.
#pragma once

#include <memory>

#include "platform/profile_store.h"

namespace quillmere {

class FileSystem;

// `files` must outlive the store.
[[nodiscard]] std::unique_ptr<ProfileStore> MakePortableProfileStore(FileSystem& files);

}  // namespace quillmere
