// quillmere-cli: the catalogue, the derivation and the module model from the terminal, over the
// same core as the dialog. The terminal's text is UTF-8: on Windows the arguments are taken as
// the system gives them in UTF-16 and the console is switched to UTF-8, as it is elsewhere.
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/command_line.h"
#include "cli/terminal_toolkit.h"
#include "platform/process_heap.h"
#include "platform/program_places.h"

#ifdef _WIN32
#include "platform/windows_api.h"
#endif

namespace {

#ifdef _WIN32
std::string Utf8Of(const wchar_t* wide) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length > 0 ? length - 1 : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), length, nullptr, nullptr);
  return text;
}
#endif

// No exception reaches the user as an abort: it ends the run with exit status 3 and a reason.
int Run(const std::vector<std::string>& arguments) {
  try {
    quillmere::cli::CommandContext context{std::cout, std::cerr, std::cin,
                                           quillmere::cli::StandardInputIsTerminal()};
    const int status = quillmere::cli::RunCommandLine(arguments, context);
    std::cout.flush();
    return status;
  } catch (const std::bad_alloc&) {
    std::cerr << quillmere::cli::kProgramName << ": out of memory\n";
  } catch (const std::exception& error) {
    std::cerr << quillmere::cli::kProgramName << ": " << error.what() << "\n";
  }
  return static_cast<int>(quillmere::cli::ExitStatus::kFailed);
}

}  // namespace

#ifdef _WIN32
// wmain (linked with -municode): the arguments as the system gives them, in UTF-16, whatever the
// ANSI code page can hold.
int wmain(int argc, wchar_t** argv) {
  SetConsoleOutputCP(CP_UTF8);
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) {
    arguments.push_back(Utf8Of(argv[i]));
  }
  return Run(arguments);
}
#else
int main(int argc, char** argv) {
  quillmere::PrepareHeapForLargeModules();
  quillmere::RecordInvocation(argc > 0 ? argv[0] : "");
  return Run({argv + (argc > 0 ? 1 : 0), argv + argc});
}
#endif
