// The platform services a piece of logic is given, so that tests and front ends choose them.
#pragma once

namespace quillmere {

class ProfileStore;
class FileSystem;
class LibraryLoader;

struct PlatformServices {
  ProfileStore& store;
  FileSystem& files;
  LibraryLoader& libraries;
};

}  // namespace quillmere
