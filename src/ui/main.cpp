// The entry point of quillmere, the dialog tool.
#include <cstdio>
#include <exception>
#include <new>

#include "ui/module_editor_app.h"

int main(int argc, char* argv[]) {
  // A derivation ends its own failures with a message box; anything else that fails (out of
  // memory while the list is filled, say) ends the tool with a line on standard error and exit
  // status 3, not with an abort.
  try {
    quillmere::ModuleEditorApp app(argc, argv);
    return app.Start();
  } catch (const std::bad_alloc&) {
    std::fputs("quillmere: out of memory\n", stderr);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "quillmere: %s\n", error.what());
  }
  return 3;
}
