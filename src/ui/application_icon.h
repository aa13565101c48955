// The application's icon (a receipt with a quill), drawn for this tool and kept in the
// resources at 16, 32, 48 and 256 pixels. The application and its dialog share one icon, and a
// size is decoded only when it is first drawn: a window shows one or two of them, if any.
#pragma once

#include <QIcon>

namespace quillmere {

[[nodiscard]] QIcon ApplicationIcon();

}  // namespace quillmere
