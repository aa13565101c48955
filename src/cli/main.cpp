// quillmere-cli: the catalogue, the derivation and the module model from the terminal, over the
// same core as the dialog.
#include <iostream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/terminal_toolkit.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  quillmere::cli::CommandContext context{std::cout, std::cerr, std::cin,
                                         quillmere::cli::StandardInputIsTerminal()};
  const int status = quillmere::cli::RunCommandLine(arguments, context);
  std::cout.flush();
  return status;
}
