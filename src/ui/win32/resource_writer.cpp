// quillmere_resource_writer: writes the generated part of the Windows program's resource script,
// dialog template 102 and the string table, from the tables in the core. The build runs it on
// this machine, also when it builds for Windows.
//   quillmere_resource_writer <output.rc>
#include <fstream>
#include <iostream>

#include "ui/editor_template.h"
#include "ui/win32/dialog_script.h"
#include "ui/win32/resource_ids.h"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::cerr << "usage: quillmere_resource_writer <output.rc>\n";
    return 2;
  }
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out << "// Written by quillmere_resource_writer from the dialog and message tables; do not "
         "edit.\n";
  quillmere::WriteDialogTemplate(out, QUILLMERE_EDITOR_DIALOG, quillmere::kEditorTemplate);
  out << '\n';
  quillmere::WriteStringTable(out);
  out.close();
  if (!out) {
    std::cerr << "quillmere_resource_writer: cannot write " << argv[1] << '\n';
    return 1;
  }
  return 0;
}
