// The floor of the dialog figures: a Qt program that shows an empty modal dialog and ends, timed
// from its start to the dialog shown, as editor_dialog.cpp times the tool's own dialog.
#include <QApplication>
#include <QDialog>

#include "dialog_shown.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  const quillmere::bench::CloseDialogWhenShown close(application);
  QDialog dialog;
  dialog.exec();
  return 0;
}
