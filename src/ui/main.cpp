// The entry point of quillmere, the dialog tool. It reads no command line but Qt's own options,
// and -h, --help, help and --version, which are answered before any window is made, so that
// they work without a display.
#include <cstdio>
#include <exception>
#include <new>
#include <string_view>

#include "platform/program_places.h"
#include "ui/module_editor_app.h"

namespace {

constexpr std::string_view kUsage =
    "usage: quillmere [-h | --help | help | --version]\n"
    "\n"
    "Opens the Quillmere dialog, which derives a new Vantorel POS module from a base module of\n"
    "the folder \"Printer Commands\": beside the program, or else the user's own folder\n"
    "~/.local/share/quillmere/Printer Commands (under $XDG_DATA_HOME when it is set), made on\n"
    "first start with the sample modules. The shop's code page is the one Windows uses for\n"
    "the locale. quillmere-cli does the same from the terminal.\n";

}  // namespace

int main(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "-h" || argument == "--help" || argument == "help") {
      std::fputs(kUsage.data(), stdout);
      return 0;
    }
    if (argument == "--version") {
      std::printf("quillmere %s\n", QUILLMERE_VERSION);
      return 0;
    }
  }
  quillmere::RecordInvocation(argc > 0 ? argv[0] : "");
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
