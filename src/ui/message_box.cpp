#include "ui/message_box.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>

#include "ui/local_text.h"

namespace quillmere {

QString ApplicationName() {
  return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

MessageAnswer RunMessageBox(QWidget* owner, MessageId id, MessageButtons buttons,
                            std::string_view detail) {
  QMessageBox box(owner);
  box.setIcon(QMessageBox::Warning);
  box.setWindowTitle(ApplicationName());
  box.setTextFormat(Qt::PlainText);
  box.setText(FromUtf8(MessageText(id)));
  box.setInformativeText(FromUtf8(detail));
  // The dialog takes no input while a box is open, whether or not the box has an owner.
  box.setWindowModality(Qt::ApplicationModal);
  if (buttons == MessageButtons::kYesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
  }
  box.exec();
  const QAbstractButton* yes = box.button(QMessageBox::Yes);
  return yes != nullptr && box.clickedButton() == yes ? MessageAnswer::kYes : MessageAnswer::kOther;
}

}  // namespace quillmere
