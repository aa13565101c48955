#include "support/golden.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <utility>

namespace quillmere::testing {
namespace {

// The escapes: the letter after the backslash and the byte it stands for.
constexpr std::pair<char, char> kEscapes[] = {{'r', '\r'}, {'n', '\n'}, {'t', '\t'},  {'v', '\v'},
                                              {'f', '\f'}, {'0', '\0'}, {'\\', '\\'}, {'"', '"'}};

std::string Unescaped(std::string_view text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char next = text[i] == '\\' && i + 1 < text.size() ? text[i + 1] : '\0';
    const auto* escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                      [next](auto pair) { return pair.first == next; });
    if (next == 'x' && i + 4 <= text.size()) {
      bytes += static_cast<char>(std::stoi(std::string(text.substr(i + 2, 2)), nullptr, 16));
      i += 3;
    } else {
      bytes += escape == std::end(kEscapes) ? text[i] : escape->second;
      i += escape == std::end(kEscapes) ? 0U : 1U;
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

// The lines of `text`, each Quoted with its ending.
std::vector<std::string> QuotedLines(std::string_view text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size() - 1) + 1;
    lines.push_back(Quoted(text.substr(start, end - start)));
    start = end;
  }
  return lines;
}

}  // namespace

std::vector<std::string> GoldenCases(std::string_view area) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(CasePath(area, ""), error)) {
    if (entry.is_directory()) {
      names.push_back(entry.path().filename().string());
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string CasePath(std::string_view area, std::string_view caseName, std::string_view file) {
  return (std::filesystem::path(QUILLMERE_TEST_DATA) / area / caseName / file).string();
}

std::string ReadCaseFile(std::string_view area, std::string_view caseName, std::string_view file) {
  std::ifstream in(CasePath(area, caseName, file), std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << CasePath(area, caseName, file);
  return {std::istreambuf_iterator<char>(in), {}};
}

void ExpectMatchesCaseFile(std::string_view area, std::string_view caseName, std::string_view file,
                           std::string_view actual) {
  const std::string expectedText = ReadCaseFile(area, caseName, file);
  if (expectedText == actual) {
    return;
  }
  const std::vector<std::string> expected = QuotedLines(expectedText);
  const std::vector<std::string> given = QuotedLines(actual);
  std::size_t first = 0;  // lines alike at the start
  std::size_t last = 0;   // lines alike at the end
  while (first < expected.size() && first < given.size() && expected[first] == given[first]) {
    ++first;
  }
  while (first + last < expected.size() && first + last < given.size() &&
         expected[expected.size() - 1 - last] == given[given.size() - 1 - last]) {
    ++last;
  }
  std::string diff;
  for (std::size_t i = first; i + last < expected.size(); ++i) {
    diff += "- " + expected[i] + "\n";
  }
  for (std::size_t i = first; i + last < given.size(); ++i) {
    diff += "+ " + given[i] + "\n";
  }
  ADD_FAILURE() << area << "/" << caseName << "/" << file << " differs from line " << first + 1
                << " (- expected, + actual):\n"
                << diff;
}

CaseInputs ReadCaseInputs(std::string_view area, std::string_view caseName) {
  CaseInputs inputs;
  std::istringstream lines(ReadCaseFile(area, caseName, "inputs"));
  for (std::string line; std::getline(lines, line);) {
    if (const std::size_t equals = line.find('='); !line.starts_with('#') && equals != line.npos) {
      inputs[line.substr(0, equals)] = Unescaped(std::string_view(line).substr(equals + 1));
    }
  }
  return inputs;
}

std::string InputOr(const CaseInputs& inputs, std::string_view name, std::string_view absent) {
  const auto found = inputs.find(name);
  return found == inputs.end() ? std::string(absent) : found->second;
}

std::string Quoted(std::string_view bytes) {
  std::string text = "\"";
  for (const char c : bytes) {
    const auto* escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                      [c](auto pair) { return pair.second == c; });
    const auto byte = static_cast<unsigned char>(c);
    constexpr std::string_view kHex = "0123456789ABCDEF";
    if (escape != std::end(kEscapes)) {
      text += {'\\', escape->first};
    } else if (byte < 0x20 || byte >= 0x7F) {
      text += {'\\', 'x', kHex[byte >> 4U], kHex[byte & 0xFU]};
    } else {
      text += c;
    }
  }
  return text + "\"";
}

void ExpectTableAnswers(std::string_view area, std::string_view caseName, std::string_view file,
                        const std::function<std::string(const Words&)>& answer) {
  constexpr std::string_view kArrow = " => ";
  std::istringstream table(ReadCaseFile(area, caseName, file));
  std::string answered;
  for (std::string line; std::getline(table, line);) {
    const std::size_t arrow = line.starts_with('#') ? line.npos : line.find(kArrow);
    answered += arrow == line.npos ? line
                                   : line.substr(0, arrow + kArrow.size()) +
                                         answer(Split(std::string_view(line).substr(0, arrow)));
    answered += '\n';
  }
  ExpectMatchesCaseFile(area, caseName, file, answered);
}

}  // namespace quillmere::testing
