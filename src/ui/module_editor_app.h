// ModuleEditorApp: the application object. It runs the editor dialog once, modally, on the
// module folder the program finds (beside it, else the user's own), and the tool ends with it:
// no main window and no event loop of its own, no settings written, the command line not read
// (Qt's own options, such as -platform, aside; main answers --help and --version).
//
// The help key opens nothing: the tool has no help page, and its dialog's six numbered steps
// say what to do.
#pragma once

#include <QApplication>

namespace quillmere {

class ModuleEditorApp final : public QApplication {
 public:
  ModuleEditorApp(int& argc, char** argv);

  // Makes the platform services and the dialog, runs the dialog to its end and gives the exit
  // status of the process: 0, whichever way the dialog ended, since nothing reads it.
  int Start();
};

}  // namespace quillmere
