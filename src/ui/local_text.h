// Module names, keywords and paths are 8-bit text of the shop's code page (platform/code_page.h);
// the Qt widgets hold QString. These are the dialog's crossings: what it shows is converted from
// the code page, and what is typed goes through TakeTypedTexts, which refuses a character the
// code page cannot hold.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace quillmere {

// Module text of the shop's code page; a byte the code page does not define shows as U+FFFD.
[[nodiscard]] inline QString FromModuleText(std::string_view text) {
  const std::string utf8 = codepage::ToUtf8ForDisplay(text, codepage::ActiveCodePage());
  return QString::fromUtf8(QByteArrayView(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

// UTF-8 text: the string table's messages, the template's texts, a message's line of detail.
[[nodiscard]] inline QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace quillmere
