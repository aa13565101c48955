// The profile store on Windows: GetPrivateProfileStringA, GetPrivateProfileIntA and
// WritePrivateProfileStringA themselves, so the tool reads and writes module files exactly as the
// POS engine does. Built for Windows only.
#pragma once

#include <memory>

#include "platform/profile_store.h"

namespace quillmere {

[[nodiscard]] std::unique_ptr<ProfileStore> MakeWindowsProfileStore();

}  // namespace quillmere
