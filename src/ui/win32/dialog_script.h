// Writes the editor dialog and the message table as resource-script text, from the tables the
// core and the Qt dialog use, so template 102 and the string table have one source each.
#pragma once

#include <ostream>

#include "ui/editor_template.h"

namespace quillmere {

// Template 102: caption, font, size, frame styles and the controls in template order, each with
// the window class and styles that give the control its kind.
void WriteDialogTemplate(std::ostream& out, int resourceId, const DialogTemplate& dialog);

// One STRINGTABLE with every message of the tool, under its message ID.
void WriteStringTable(std::ostream& out);

}  // namespace quillmere
