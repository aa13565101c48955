// The entry point of quillmere.exe, the dialog tool on Windows.
#include "platform/windows_api.h"
#include "ui/win32/module_editor_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
  return quillmere::win32::ModuleEditorApp().Run(instance);
}
