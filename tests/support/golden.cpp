#include "support/golden.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace quillmere::testing {
namespace fs = std::filesystem;

namespace {

std::string CasePath(std::string_view area, std::string_view caseName, std::string_view file) {
  return (fs::path(GoldenArea(area)) / caseName / file).string();
}

// The lines of `text`, each with its own ending made visible.
std::vector<std::string> VisibleLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      line += "\\r";
    } else if (c == '\n') {
      line += "\\n";
    } else {
      line += c;
    }
    if (c == '\n' || (c == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
      lines.push_back(std::move(line));
      line.clear();
    }
  }
  if (!line.empty()) {
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace

std::string GoldenArea(std::string_view area) {
  return (fs::path(QUILLMERE_TEST_DATA) / area).string();
}

std::vector<std::string> GoldenCases(std::string_view area) {
  std::vector<std::string> names;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(GoldenArea(area), error)) {
    if (entry.is_directory()) {
      names.push_back(entry.path().filename().string());
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadCaseFile(std::string_view area, std::string_view caseName, std::string_view file) {
  const std::string path = CasePath(area, caseName, file);
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << path;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool CaseHasFile(std::string_view area, std::string_view caseName, std::string_view file) {
  return fs::is_regular_file(CasePath(area, caseName, file));
}

std::string LineDiff(std::string_view a, std::string_view b) {
  const std::vector<std::string> left = VisibleLines(a);
  const std::vector<std::string> right = VisibleLines(b);
  // Longest common subsequence of lines, then a walk that marks what is not in it.
  const std::size_t n = left.size();
  const std::size_t m = right.size();
  std::vector<std::vector<std::size_t>> common(n + 1, std::vector<std::size_t>(m + 1, 0));
  for (std::size_t i = n; i-- > 0;) {
    for (std::size_t j = m; j-- > 0;) {
      common[i][j] = left[i] == right[j] ? common[i + 1][j + 1] + 1
                                         : std::max(common[i + 1][j], common[i][j + 1]);
    }
  }
  std::vector<std::string> marked;  // "  ", "- " or "+ " and the line
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < n || j < m) {
    if (i < n && j < m && left[i] == right[j]) {
      marked.push_back("  " + left[i++]);
      ++j;
    } else if (i < n && (j == m || common[i + 1][j] >= common[i][j + 1])) {
      marked.push_back("- " + left[i++]);
    } else {
      marked.push_back("+ " + right[j++]);
    }
  }
  std::string diff;
  const auto changed = [&](std::size_t k) { return k < marked.size() && marked[k][0] != ' '; };
  for (std::size_t k = 0; k < marked.size(); ++k) {
    const bool near = changed(k) || (k > 0 && changed(k - 1)) || changed(k + 1);
    if (near) {
      diff += marked[k] + "\n";
    } else if (!diff.empty() && diff.back() == '\n' && !diff.ends_with("...\n")) {
      diff += "  ...\n";
    }
  }
  if (!diff.empty() && diff.ends_with("  ...\n")) {
    diff.resize(diff.size() - 6);
  }
  return diff;
}

void ExpectMatchesCaseFile(std::string_view area, std::string_view caseName, std::string_view file,
                           std::string_view actual) {
  const std::string expected = ReadCaseFile(area, caseName, file);
  if (expected != actual) {
    ADD_FAILURE() << area << "/" << caseName << "/" << file << " differs (- expected, + actual):\n"
                  << LineDiff(expected, actual);
  }
}

}  // namespace quillmere::testing
