// Module names, keywords and paths are 8-bit text of the system's code page; the Qt widgets hold
// QString. These two are the only crossings, so the bytes written are the bytes the user's
// locale gives for what was typed.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstddef>
#include <string>
#include <string_view>

namespace quillmere {

[[nodiscard]] inline QString FromLocal8Bit(std::string_view text) {
  return QString::fromLocal8Bit(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

[[nodiscard]] inline std::string ToLocal8Bit(const QString& text) {
  const QByteArray bytes = text.toLocal8Bit();
  return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

}  // namespace quillmere
