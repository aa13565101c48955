#include "ui/module_editor_app.h"

#include "module/folder_search.h"
#include "platform/machine_services.h"
#include "ui/application_icon.h"
#include "ui/module_editor_dialog.h"

namespace quillmere {

ModuleEditorApp::ModuleEditorApp(int& argc, char** argv) : QApplication(argc, argv) {
  // Message boxes shown before the dialog is up stand by themselves and take this icon.
  setWindowIcon(ApplicationIcon());
}

int ModuleEditorApp::Start() {
  const MachineServices machine;
  {
    // Gone, with its catalogue and loader, before the services it used.
    ModuleEditorDialog dialog(machine.services());
    dialog.UseModuleFolderPlaces(ProgramModuleFolderPlaces(machine.services().files));
    dialog.exec();
  }
  return 0;
}

}  // namespace quillmere
