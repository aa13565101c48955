// A test bench for the editor dialog: a temporary folder with the executable's place and a
// "Printer Commands" folder beside it, the real profile store, a library loader double that
// counts the libraries it keeps alive, and a message box runner that records every box and
// answers it.
// Run() executes the dialog's one modal run and performs the test's steps inside it.
#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile_store.h"
#include "platform/services.h"
#include "platform/toolkit.h"
#include "support/fake_library_loader.h"
#include "support/faulty_file_system.h"
#include "support/temp_folder.h"
#include "ui/module_editor_dialog.h"

class QWidget;

namespace quillmere::testing {

struct ShownMessage {
  MessageId id;
  MessageButtons buttons;
  bool ownedByDialog;  // false: the box stood by itself
};

// The result Run() gives when the steps left the dialog open and the bench closed it.
inline constexpr int kLeftOpen = 77;

class DialogHarness {
 public:
  DialogHarness();
  ~DialogHarness();
  DialogHarness(const DialogHarness&) = delete;
  DialogHarness& operator=(const DialogHarness&) = delete;

  // Writes a module file into "Printer Commands" (made when missing).
  void WriteModule(std::string_view fileName, std::string_view text) const;
  [[nodiscard]] std::string ModuleFolder() const;

  // The dialog, made on first use.
  ModuleEditorDialog& Dialog();

  // The dialog's modal run; `steps` run inside it once the window is up. The steps may end the
  // dialog; if they leave it open it is closed with kLeftOpen.
  int Run(const std::function<void()>& steps = {});

  [[nodiscard]] QWidget* Control(int id);
  // The control at this place of the template, counted from 1.
  [[nodiscard]] QWidget* TemplateControl(int index);

  TempFolder folder;
  FaultyFileSystem files;
  std::unique_ptr<ProfileStore> store;
  FakeLibraryLoader libraries;
  std::vector<ShownMessage> messages;
  std::deque<MessageAnswer> answers;  // for Yes/No boxes; beyond the script: other than Yes
  int timesShown = 0;                 // how often the dialog's window was shown

 private:
  PlatformServices services_;
  std::unique_ptr<ModuleEditorDialog> dialog_;
};

// A base module with a Form Feed single command and a GS V cut-paper record bound to the module
// library CutLib.dll, which lies beside it and exports CutPaper.
void WriteEpsonBase(DialogHarness& bench, std::string_view fileName = "EpsonBase.ini",
                    std::string_view moduleName = "EpsonBase");

}  // namespace quillmere::testing
