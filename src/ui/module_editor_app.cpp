#include "ui/module_editor_app.h"

#include <memory>

#include "platform/file_system.h"
#include "platform/module_library.h"
#include "platform/profile_store.h"
#include "platform/services.h"
#include "ui/application_icon.h"
#include "ui/module_editor_dialog.h"

namespace quillmere {

ModuleEditorApp::ModuleEditorApp(int& argc, char** argv) : QApplication(argc, argv) {
  // Message boxes shown before the dialog is up stand by themselves and take this icon.
  setWindowIcon(ApplicationIcon());
}

int ModuleEditorApp::Start() {
  FileSystem& files = RealFileSystem();
  const std::unique_ptr<ProfileStore> store = MakeProfileStore(files);
  const std::unique_ptr<LibraryLoader> libraries = MakeExportTableLoader(files);
  const PlatformServices services{*store, files, *libraries};
  {
    // Gone, with its catalogue and loader, before the services it used.
    ModuleEditorDialog dialog(services);
    dialog.exec();
  }
  return 0;
}

}  // namespace quillmere
