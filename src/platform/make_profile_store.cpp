// Chooses the profile store of this platform: Windows' own profile functions on Windows, where
// module files live and the POS engine reads them; the portable store everywhere else.
#include "platform/profile_store.h"

#ifdef _WIN32
#include "platform/windows_profile_store.h"
#else
#include "platform/portable_profile_store.h"
#endif

namespace quillmere {

std::unique_ptr<ProfileStore> MakeProfileStore(FileSystem& files) {
#ifdef _WIN32
  (void)files;
  return MakeWindowsProfileStore();
#else
  return MakePortableProfileStore(files);
#endif
}

}  // namespace quillmere
