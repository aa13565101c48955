// The entry point of quillmere, the dialog tool.
#include "ui/module_editor_app.h"

int main(int argc, char* argv[]) {
  quillmere::ModuleEditorApp app(argc, argv);
  return app.Start();
}
