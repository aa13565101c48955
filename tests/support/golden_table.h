// Golden tables: a case file of lines "<call> => <result>", one row of a rule's table per line,
// so that a table lives beside the other case files and a wrong row shows in the line diff. The
// runner answers every call and compares the file so answered with the case file; lines without
// " => " and lines starting with "#" (comments) stay as they are.
//
// A call is words separated by spaces; a word in double quotes keeps its spaces. In a word, and
// in a Quoted result, \r \n \t \v \f \0 \\ \" and \xHH stand for those bytes.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere::testing {

using Words = std::vector<std::string>;

// `bytes` in double quotes, every byte outside printable ASCII, '\\' and '"' escaped.
[[nodiscard]] std::string Quoted(std::string_view bytes);

// Answers each call of the table `file` of a case with `answer` (given the call's words) and
// fails the test with the diff when the answered table differs from the file.
void ExpectTableAnswers(std::string_view area, std::string_view caseName, std::string_view file,
                        const std::function<std::string(const Words&)>& answer);

}  // namespace quillmere::testing
