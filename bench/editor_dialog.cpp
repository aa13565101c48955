// The tool's start as a user meets it: the application object, its services and the editor
// dialog with the catalogue of the folder "Printer Commands" beside this program, timed from the
// start to the dialog shown; then the dialog is cancelled and the program ends.
#include "dialog_shown.h"
#include "ui/module_editor_app.h"

int main(int argc, char* argv[]) {
  quillmere::ModuleEditorApp application(argc, argv);
  const quillmere::bench::CloseDialogWhenShown close(application);
  return application.Start();
}
