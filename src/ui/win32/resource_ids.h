// The resource IDs the Windows program and its resource script share. Plain macros, because the
// resource compiler reads this file too.
#pragma once

// Dialog template 102: the editor dialog.
#define QUILLMERE_EDITOR_DIALOG 102

// Icon 128: the application icon, in the title bar, the task bar and the message boxes' owner.
#define QUILLMERE_APPLICATION_ICON 128
