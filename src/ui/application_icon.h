// The application's icon (a receipt with a quill), drawn for this tool and kept in the
// resources at 16, 32, 48 and 256 pixels.
#pragma once

#include <QIcon>

namespace quillmere {

[[nodiscard]] QIcon ApplicationIcon();

}  // namespace quillmere
