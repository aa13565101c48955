#include "ui/win32/module_editor_app.h"

#include <commctrl.h>

#include "platform/machine_services.h"
#include "ui/win32/module_editor_dialog.h"

namespace quillmere::win32 {

int ModuleEditorApp::Run(HINSTANCE instance) {
  // With the manifest's common controls version 6 the controls take the system's visual style.
  // The result is not looked at: without it the dialog works the same, drawn plainly.
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  const MachineServices machine;
  {
    // Gone, with its catalogue and loader, before the services it used.
    ModuleEditorDialog dialog(machine.services());
    dialog.RunModal(instance);
  }
  return 0;
}

}  // namespace quillmere::win32
