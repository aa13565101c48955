// Golden case folders: tests/data/<area>/<case>/ holds one case's input files beside the files it
// is expected to give, so a case is read and changed as files, not as strings in a test. One
// runner compares what the code gave with the expected file and, on a mismatch, prints a line
// diff that shows where they part.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillmere::testing {

// The folder of the golden cases of `area` ("module", "derive", ...).
[[nodiscard]] std::string GoldenArea(std::string_view area);

// The case folder names of `area`, sorted; each is a valid test name (letters, digits, "_").
[[nodiscard]] std::vector<std::string> GoldenCases(std::string_view area);

// The bytes of a file of a case; fails the test when it cannot be read.
[[nodiscard]] std::string ReadCaseFile(std::string_view area, std::string_view caseName,
                                       std::string_view file);

// True when the case holds that file.
[[nodiscard]] bool CaseHasFile(std::string_view area, std::string_view caseName,
                               std::string_view file);

// The lines of `a` and `b` that differ, as "-" (only in `a`) and "+" (only in `b`) lines with a
// line of context either side; empty when they are equal. Line endings are shown as \r and \n,
// since a module file's endings are part of what a writer must keep.
[[nodiscard]] std::string LineDiff(std::string_view a, std::string_view b);

// Fails the test with the diff when `actual` differs from the case's `file`.
void ExpectMatchesCaseFile(std::string_view area, std::string_view caseName, std::string_view file,
                           std::string_view actual);

}  // namespace quillmere::testing
