// Command-line options of quillmere-cli: the one parser every command uses, so that all of them
// take "--name VALUE", "--name=VALUE", flags, "--help" and "--" the same way and report a bad
// command line in the same words.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace quillmere::cli {

enum class OptionKind {
  kFlag,   // "--yes": present or absent
  kValue,  // "--folder DIR" or "--folder=DIR"
};

// One option a command accepts, and the line the usage text shows for it.
struct CommandOption {
  std::string_view name;  // without the leading "--"
  OptionKind kind = OptionKind::kFlag;
  std::string_view valueName;  // "DIR"; empty for flags
  std::string_view help;
};

// Accepted by every command, "-h" too; the dispatcher answers it before the command runs.
inline constexpr CommandOption kHelpOption{"help", OptionKind::kFlag, "", "show this text"};

// Accepted by every command: the shop's code page, in which module files, names and keywords are
// written; arguments and output are converted between it and the terminal's UTF-8.
inline constexpr CommandOption kCodePageOption{
    "code-page", OptionKind::kValue, "N",
    "the shop's code page, e.g. 1252 or 950 (default: Windows' for the locale)"};

// A command line that cannot be run, with what is wrong in a few words.
struct UsageError {
  std::string message;
};

// The options and positional arguments of one command line, as given.
class ParsedArguments {
 public:
  [[nodiscard]] bool Has(std::string_view option) const;
  // The value of a value option; none when it was not given.
  [[nodiscard]] std::optional<std::string> Value(std::string_view option) const;
  [[nodiscard]] const std::vector<std::string>& positional() const { return positional_; }

  // Used by ParseArguments.
  void Add(std::string_view option, std::string value);
  void AddPositional(std::string value) { positional_.push_back(std::move(value)); }

 private:
  std::vector<std::pair<std::string, std::string>> options_;
  std::vector<std::string> positional_;
};

// Reads `arguments` (the command's name already taken off) against `options`. An unknown
// option, a value option without its value, a value given to a flag and an option given twice
// are usage errors. "-" alone and everything after "--" are positional; "-h" is "--help" where
// the options hold it.
[[nodiscard]] std::variant<ParsedArguments, UsageError> ParseArguments(
    std::span<const std::string> arguments, std::span<const CommandOption> options);

}  // namespace quillmere::cli
