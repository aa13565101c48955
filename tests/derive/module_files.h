// A module folder of files the test writes, reached through a fault injector over the real file
// system, with a library double: "EscPosCut.dll" beside the modules exports CutPaper.
#pragma once

#include <memory>

#include "platform/profile_store.h"
#include "platform/services.h"
#include "support/fake_library_loader.h"
#include "support/faulty_file_system.h"
#include "support/temp_folder.h"

namespace quillmere::testing {

class ModuleFiles : public TempFolder {
 public:
  ModuleFiles() {
    Write("EscPosCut.dll", "a library stand-in: the loader double decides what it exports");
    libraries.Add(PathOf("EscPosCut.dll"), {"CutPaper"});
  }

  FaultyFileSystem files;
  std::unique_ptr<ProfileStore> store = MakeProfileStore(files);
  FakeLibraryLoader libraries;
  PlatformServices services{*store, files, libraries};
};

}  // namespace quillmere::testing
