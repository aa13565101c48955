#include "support/golden_table.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "support/golden.h"

namespace quillmere::testing {
namespace {

constexpr std::string_view kArrow = " => ";

// The escapes: the letter after the backslash and the byte it stands for.
constexpr std::pair<char, char> kEscapes[] = {{'r', '\r'}, {'n', '\n'}, {'t', '\t'},  {'v', '\v'},
                                              {'f', '\f'}, {'0', '\0'}, {'\\', '\\'}, {'"', '"'}};

std::string Unescaped(std::string_view word) {
  std::string bytes;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (word[i] != '\\' || i + 1 == word.size()) {
      bytes += word[i];
    } else if (word[++i] == 'x') {
      bytes += static_cast<char>(std::stoi(std::string(word.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      for (const auto& [letter, byte] : kEscapes) {
        bytes += letter == word[i] ? std::string(1, byte) : "";
      }
    }
  }
  return bytes;
}

Words Split(std::string_view call) {
  Words words;
  for (std::size_t i = call.find_first_not_of(' '); i < call.size();
       i = call.find_first_not_of(' ', i)) {
    const std::size_t quote = call[i] == '"' ? 1 : 0;
    std::size_t end = i + quote;
    while (end < call.size() && call[end] != (quote != 0 ? '"' : ' ')) {
      end += call[end] == '\\' ? 2U : 1U;
    }
    words.push_back(Unescaped(call.substr(i + quote, end - i - quote)));
    i = end + quote;
  }
  return words;
}

}  // namespace

std::string Quoted(std::string_view bytes) {
  std::string text = "\"";
  for (const char c : bytes) {
    const auto* escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                      [c](const auto& pair) { return pair.second == c; });
    if (escape != std::end(kEscapes)) {
      text += {'\\', escape->first};
    } else if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) {
      constexpr std::string_view kHex = "0123456789ABCDEF";
      text += {'\\', 'x', kHex[static_cast<unsigned char>(c) >> 4U],
               kHex[static_cast<unsigned char>(c) & 0xFU]};
    } else {
      text += c;
    }
  }
  return text + "\"";
}

void ExpectTableAnswers(std::string_view area, std::string_view caseName, std::string_view file,
                        const std::function<std::string(const Words&)>& answer) {
  const std::string table = ReadCaseFile(area, caseName, file);
  std::string answered;
  for (std::size_t start = 0; start < table.size();) {
    const std::size_t end = std::min(table.find('\n', start), table.size());
    const std::string_view line = std::string_view(table).substr(start, end - start);
    const std::size_t arrow = line.starts_with('#') ? std::string_view::npos : line.find(kArrow);
    answered += arrow == std::string_view::npos
                    ? std::string(line)
                    : std::string(line.substr(0, arrow + kArrow.size())) +
                          answer(Split(line.substr(0, arrow)));
    answered += '\n';
    start = end + 1;
  }
  ExpectMatchesCaseFile(area, caseName, file, answered);
}

}  // namespace quillmere::testing
