// quillmere-cli: the catalogue, the derivation and the module model from the terminal, over the
// same core as the dialog. The terminal's text is UTF-8: on Windows the arguments are taken as
// the system gives them in UTF-16 and the console is switched to UTF-8, as it is elsewhere.
#include <iostream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/terminal_toolkit.h"
#include "platform/program_places.h"

#ifdef _WIN32
#include "platform/windows_api.h"
// After windows.h, which it needs.
#include <shellapi.h>
#endif

namespace {

std::vector<std::string> ArgumentsAfterTheProgram(int argc, char** argv) {
#ifdef _WIN32
  (void)argc;
  (void)argv;
  SetConsoleOutputCP(CP_UTF8);
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; wide != nullptr && i < count; ++i) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string argument(static_cast<std::size_t>(length > 0 ? length - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, argument.data(), length, nullptr, nullptr);
    arguments.push_back(std::move(argument));
  }
  LocalFree(wide);
  return arguments;
#else
  return {argv + (argc > 0 ? 1 : 0), argv + argc};
#endif
}

}  // namespace

int main(int argc, char** argv) {
  quillmere::RecordInvocation(argc > 0 ? argv[0] : "");
  const std::vector<std::string> arguments = ArgumentsAfterTheProgram(argc, argv);
  quillmere::cli::CommandContext context{std::cout, std::cerr, std::cin,
                                         quillmere::cli::StandardInputIsTerminal()};
  const int status = quillmere::cli::RunCommandLine(arguments, context);
  std::cout.flush();
  return status;
}
