#include "ui/application_icon.h"

#include <QString>
#include <array>

namespace quillmere {

QIcon ApplicationIcon() {
  QIcon icon;
  for (const int size : std::array{16, 32, 48, 256}) {
    icon.addFile(QStringLiteral(":/quillmere/icons/quillmere-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

}  // namespace quillmere
