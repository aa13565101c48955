// A folder "Printer Commands" for derivation tests: module files written by the test, the real
// file system behind a fault injector, the portable store, and a library loader double whose
// "EscPosCut.dll" beside the modules exports CutPaper.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "module/printer_command_module.h"
#include "platform/profile_store.h"
#include "platform/services.h"
#include "support/fake_library_loader.h"
#include "support/faulty_file_system.h"
#include "support/temp_folder.h"

namespace quillmere::testing {

inline constexpr std::string_view kCutPaperLibrary = "EscPosCut.dll";

class ModuleFiles {
 public:
  ModuleFiles() : folder_(temp_.MakeFolder("Printer Commands")) {
    Write(kCutPaperLibrary, "a library stand-in: the loader double decides what it exports");
    libraries.Add(PathOf(kCutPaperLibrary), {"CutPaper"});
  }

  [[nodiscard]] const std::string& folder() const { return folder_; }
  [[nodiscard]] std::string PathOf(std::string_view name) const {
    return folder_ + "/" + std::string(name);
  }
  std::string Write(std::string_view name, std::string_view bytes) const {
    return temp_.Write("Printer Commands/" + std::string(name), bytes);
  }
  [[nodiscard]] std::string Read(std::string_view name) const {
    return temp_.Read("Printer Commands/" + std::string(name));
  }
  [[nodiscard]] bool Exists(std::string_view name) const {
    return temp_.Exists("Printer Commands/" + std::string(name));
  }
  // Every file of the folder with its bytes, to compare the folder before and after.
  [[nodiscard]] auto Snapshot() const { return temp_.Snapshot(); }

  // A value as a fresh reader sees it on disk.
  [[nodiscard]] std::string Value(std::string_view file, std::string_view section,
                                  std::string_view key) const {
    return MakeProfileStore(RealFileSystem())->ReadString(section, key, "<absent>", PathOf(file));
  }

  // The model of a module file of the folder, as the derivation loads it.
  [[nodiscard]] std::unique_ptr<PrinterCommandModule> Load(std::string_view name) {
    auto module = std::make_unique<PrinterCommandModule>(services);
    module->Load(PathOf(name));
    return module;
  }

  FaultyFileSystem files;
  std::unique_ptr<ProfileStore> store = MakeProfileStore(files);
  FakeLibraryLoader libraries;
  PlatformServices services{*store, files, libraries};

 private:
  TempFolder temp_;
  std::string folder_;
};

}  // namespace quillmere::testing
