// A unified diff of two module files, line by line, as `diff -u` prints it: what a dry run of
// `derive` shows of the file it would write. A line is compared with its line ending; it is shown
// without it, through `show` (the terminal's escaping), and a last line without a line ending is
// marked "\ No newline at end of file".
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quillmere::cli {

// One side of the diff: the name its header line shows and the file's bytes.
struct DiffSide {
  std::string_view header;  // "--- " or "+++ " is put before it
  std::string_view bytes;
};

// The two header lines and the hunks, each change with up to three lines of context around it;
// only the header lines when the files are equal.
[[nodiscard]] std::string UnifiedDiff(const DiffSide& from, const DiffSide& to,
                                      const std::function<std::string(std::string_view)>& show);

}  // namespace quillmere::cli
