// Every way a command line ends, as rule tables of tests/data/cli-exit: the dispatcher and the
// option parser every command shares, and one row per exit status and message of each command.
// What `list` prints is the smoke test's; what the commands find, their golden cases'.
#include <gtest/gtest.h>

#include "cli_run.h"
#include "support/golden.h"

namespace quillmere::testing {
namespace {

// The places a row names, as "<samples>", "<captures>" and "<tables>" (this area's folder).
const std::pair<std::string, std::string> kPlaces[] = {
    {"<samples>", kSampleFolder},
    {"<captures>", QUILLMERE_SAMPLE_CAPTURES},
    {"<tables>", CasePath("cli-exit", "..", "cli-exit")},
    {"<version>", QUILLMERE_VERSION}};

// The first four lines of a stream, the places named as the table names them.
std::string Shown(std::string_view name, const std::string& stream) {
  std::size_t end = 0;
  for (int line = 0; line < 4 && end < stream.size(); ++line) {
    end = std::min(stream.find('\n', end), stream.size() - 1) + 1;
  }
  std::string text = stream.substr(0, end);
  for (const auto& [placeholder, place] : kPlaces) {
    text = Replaced(text, place, placeholder);
  }
  return stream.empty() ? "" : " " + std::string(name) + " " + Quoted(text);
}

// "<exit status> out <its first lines> err <its first lines>", each stream when it is not empty.
std::string Answer(const Words& call) {
  Words arguments;
  for (const std::string& word : call) {
    arguments.push_back(word);
    for (const auto& [placeholder, place] : kPlaces) {
      arguments.back() = Replaced(arguments.back(), placeholder, place);
    }
  }
  arguments.erase(arguments.begin());  // the program's name
  const CliRun run = RunCli(arguments);
  return std::to_string(run.status) + Shown("out", run.out) + Shown("err", run.err);
}

QUILLMERE_RULE_TABLES(CommandLine, "cli-exit", Answer);

}  // namespace
}  // namespace quillmere::testing
