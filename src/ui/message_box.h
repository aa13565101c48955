// The tool's message boxes in Qt: modal, the warning ("exclamation") icon, the executable's file
// name without its extension as caption, OK or Yes and No. Every box goes through a
// MessageBoxRunner, so a test can record and answer them instead of showing them.
#pragma once

#include <QString>
#include <functional>
#include <string_view>

#include "platform/toolkit.h"

class QWidget;

namespace quillmere {

// Shows one box owned by `owner` (null: the box stands by itself), with its line of detail
// (UTF-8, may be empty) under the message's text, and gives the answer.
using MessageBoxRunner = std::function<MessageAnswer(
    QWidget* owner, MessageId id, MessageButtons buttons, std::string_view detail)>;

// The application's name, the caption of every box: the executable's file name without its
// extension. No title of its own is kept anywhere.
[[nodiscard]] QString ApplicationName();

// The real box: the string table's text, and the detail as its informative text. Yes/No boxes
// start on Yes; Escape and the close box answer No. An OK box gives kOther whichever way it is
// closed.
MessageAnswer RunMessageBox(QWidget* owner, MessageId id, MessageButtons buttons,
                            std::string_view detail);

}  // namespace quillmere
