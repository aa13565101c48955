#include "cli/arguments.h"

#include <algorithm>

namespace quillmere::cli {

bool ParsedArguments::Has(std::string_view option) const {
  return std::any_of(options_.begin(), options_.end(),
                     [&](const auto& given) { return given.first == option; });
}

std::optional<std::string> ParsedArguments::Value(std::string_view option) const {
  const auto found = std::find_if(options_.begin(), options_.end(),
                                  [&](const auto& given) { return given.first == option; });
  if (found == options_.end()) {
    return std::nullopt;
  }
  return found->second;
}

void ParsedArguments::Add(std::string_view option, std::string value) {
  options_.emplace_back(std::string(option), std::move(value));
}

namespace {

const CommandOption* FindOption(std::span<const CommandOption> options, std::string_view name) {
  const auto found = std::find_if(options.begin(), options.end(),
                                  [&](const CommandOption& option) { return option.name == name; });
  return found == options.end() ? nullptr : &*found;
}

std::string Quoted(std::string_view text) {
  return "'" + std::string(text) + "'";
}

const std::string kShortHelp = "-h";
const std::string kLongHelp = "--help";

}  // namespace

std::variant<ParsedArguments, UsageError> ParseArguments(std::span<const std::string> arguments,
                                                         std::span<const CommandOption> options) {
  ParsedArguments parsed;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    // "-h" is the one short option, as every tool takes it.
    const std::string& argument =
        arguments[i] == kShortHelp && FindOption(options, kHelpOption.name) != nullptr
            ? kLongHelp
            : arguments[i];
    if (optionsEnded || argument == "-" || !argument.starts_with("-")) {
      parsed.AddPositional(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    if (!argument.starts_with("--")) {
      return UsageError{"unknown option " + Quoted(argument)};
    }
    const std::string_view body = std::string_view(argument).substr(2);
    const std::size_t equals = body.find('=');
    const std::string_view name = body.substr(0, equals);
    const CommandOption* option = FindOption(options, name);
    if (option == nullptr) {
      return UsageError{"unknown option " + Quoted("--" + std::string(name))};
    }
    if (parsed.Has(name)) {
      return UsageError{"option " + Quoted(argument.substr(0, 2 + name.size())) + " given twice"};
    }
    if (option->kind == OptionKind::kFlag) {
      if (equals != std::string_view::npos) {
        return UsageError{"option " + Quoted("--" + std::string(name)) + " takes no value"};
      }
      parsed.Add(name, {});
      continue;
    }
    if (equals != std::string_view::npos) {
      parsed.Add(name, std::string(body.substr(equals + 1)));
      continue;
    }
    // The next argument is the value whatever it looks like: a keyword may well start with "-".
    if (i + 1 == arguments.size()) {
      return UsageError{"option " + Quoted(argument) + " needs a value (" +
                        std::string(option->valueName) + ")"};
    }
    parsed.Add(name, arguments[++i]);
  }
  return parsed;
}

}  // namespace quillmere::cli
