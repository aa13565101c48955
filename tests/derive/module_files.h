// A module folder of files the test writes, reached through a fault injector over the real file
// system, with a library double: "EscPosCut.dll" beside the modules exports CutPaper.
#pragma once

#include <memory>
#include <string_view>

#include "derive/derive_module.h"
#include "module/catalogue.h"
#include "platform/profile_store.h"
#include "support/fake_library_loader.h"
#include "support/faulty_file_system.h"
#include "support/recording_toolkit.h"
#include "support/temp_folder.h"

namespace quillmere::testing {

class ModuleFiles : public TempFolder {
 public:
  ModuleFiles() {
    Write("EscPosCut.dll", "a library stand-in: the loader double decides what it exports");
    libraries.Add(PathOf("EscPosCut.dll"), {"CutPaper"});
  }

  // Scans the folder as the dialog does, chooses the base file `base` (nothing when the folder
  // lists no such file) and derives.
  DeriveResult Derive(DeriveInputs inputs, std::string_view base, Toolkit& toolkit) {
    RecordingToolkit scanToolkit;
    Catalogue catalogue;
    EXPECT_TRUE(ScanCatalogueFolder(catalogue, path(), services, scanToolkit));
    for (std::size_t i = 0; i < catalogue.entries.size(); ++i) {
      if (catalogue.entries[i].path == PathOf(base)) {
        inputs.baseSelection = static_cast<std::int32_t>(i);
      }
    }
    return DeriveModule(inputs, catalogue, services, toolkit);
  }

  FaultyFileSystem files;
  std::unique_ptr<ProfileStore> store = MakeProfileStore(files);
  FakeLibraryLoader libraries;
  PlatformServices services{*store, files, libraries};
};

}  // namespace quillmere::testing
