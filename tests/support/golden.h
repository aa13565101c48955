// Golden cases: tests/data/<area>/<case>/ holds a case's input files beside the files it must
// give; a mismatch prints the lines that differ. An "inputs" file holds "name=value" lines. A rule
// table holds "<call> => <result>" lines, each call answered and the table compared ("#" lines
// stay as they are); a call is words parted by spaces, a word in double quotes keeping its
// spaces. In values, words and Quoted results, \xHH \r \n \t \v \f \0 \\ \" stand for bytes.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere::testing {

// The case folder names of `area` ("module/load", "derive", ...), sorted.
[[nodiscard]] std::vector<std::string> GoldenCases(std::string_view area);

// The full path of a case's folder, or of `file` in it.
[[nodiscard]] std::string CasePath(std::string_view area, std::string_view caseName,
                                   std::string_view file = {});

// The bytes of a file of a case; fails the test when it cannot be read.
[[nodiscard]] std::string ReadCaseFile(std::string_view area, std::string_view caseName,
                                       std::string_view file);

// Fails the test when `actual` differs from the case's `file`, showing the lines from the first
// to the last that differ, Quoted (a writer must keep line endings too).
void ExpectMatchesCaseFile(std::string_view area, std::string_view caseName, std::string_view file,
                           std::string_view actual);

using CaseInputs = std::map<std::string, std::string, std::less<>>;
[[nodiscard]] CaseInputs ReadCaseInputs(std::string_view area, std::string_view caseName);

// The value of `name`, or `absent` when the case does not give it.
[[nodiscard]] std::string InputOr(const CaseInputs& inputs, std::string_view name,
                                  std::string_view absent = {});

using Words = std::vector<std::string>;

// `bytes` in double quotes, every byte outside printable ASCII, '\\' and '"' escaped.
[[nodiscard]] std::string Quoted(std::string_view bytes);

// Answers each call of the rule table `file` with `answer` and compares.
void ExpectTableAnswers(std::string_view area, std::string_view caseName, std::string_view file,
                        const std::function<std::string(const Words&)>& answer);

}  // namespace quillmere::testing

// The test suite `Suite`, a test for each case folder of `area` ("<Prefix>/<Suite>.<Test>/<case>",
// GetParam() the case's name); its tests are written with TEST_P.
#define QUILLMERE_GOLDEN_CASES(Prefix, Suite, area)                                      \
  class Suite : public ::testing::TestWithParam<std::string> {};                         \
  INSTANTIATE_TEST_SUITE_P(Prefix, Suite,                                                \
                           ::testing::ValuesIn(::quillmere::testing::GoldenCases(area)), \
                           [](const auto& row) { return row.param; })

// One test per rule table of `area`, tests/data/<area>/<table>/table.txt, each call answered by
// `answer`: Golden/<Suite>.AnswersAsTheRulesSay/<table>.
#define QUILLMERE_RULE_TABLES(Suite, area, answer)                                   \
  QUILLMERE_GOLDEN_CASES(Golden, Suite, area);                                       \
  TEST_P(Suite, AnswersAsTheRulesSay) {                                              \
    ::quillmere::testing::ExpectTableAnswers(area, GetParam(), "table.txt", answer); \
  }
