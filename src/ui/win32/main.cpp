// The entry point of quillmere.exe, the dialog tool on Windows.
#include <exception>

#include "platform/windows_api.h"
#include "ui/win32/module_editor_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
  // A derivation ends its own failures with a message box; anything else that fails (out of
  // memory while the list is filled, say) ends the tool with exit status 3, not an abort.
  try {
    return quillmere::win32::ModuleEditorApp().Run(instance);
  } catch (const std::exception&) {
    return 3;
  }
}
