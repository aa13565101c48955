// quillmere-cli: the catalogue, the derivation and the module model from the terminal, over the
// same core as the dialog.
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/command_line.h"
#include "cli/terminal_toolkit.h"

int main(int argc, char** argv) {
  using quillmere::cli::ExitStatus;
  // No exception reaches the user as an abort: it ends the run with exit status 3 and a reason.
  try {
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
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
  return static_cast<int>(ExitStatus::kFailed);
}
