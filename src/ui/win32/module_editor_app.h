// ModuleEditorApp on Windows: the application object. It switches on the common controls' look,
// runs the editor dialog once, modally, and the tool ends with it: no main window and no message
// loop of its own, no settings written, the command line not read.
//
// The help key opens nothing: the tool has no help file, and its dialog's six numbered steps say
// what to do.
#pragma once

#include "platform/windows_api.h"

namespace quillmere::win32 {

class ModuleEditorApp {
 public:
  // Makes the platform services and the dialog, runs the dialog to its end and gives the exit
  // status of the process: 0, whichever way the dialog ended, since nothing reads it.
  int Run(HINSTANCE instance);
};

}  // namespace quillmere::win32
