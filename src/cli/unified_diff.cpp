#include "cli/unified_diff.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace quillmere::cli {
namespace {

constexpr std::ptrdiff_t kContext = 3;

// The lines of a file, each with its line ending; the last may have none.
std::vector<std::string_view> LinesOf(std::string_view bytes) {
  std::vector<std::string_view> lines;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    const std::size_t length = end == std::string_view::npos ? bytes.size() : end + 1;
    lines.push_back(bytes.substr(0, length));
    bytes.remove_prefix(length);
  }
  return lines;
}

enum class Step { kKeep, kRemove, kAdd };

struct Edit {
  Step step;
  std::ptrdiff_t fromLine;  // the line of `from` it stands at, counted from 0
  std::ptrdiff_t toLine;    // the same in `to`
};

// The shortest edit script from `a` to `b` (Myers' greedy algorithm). A derivation changes a few
// lines of a file of any length, so the rows kept for walking back are few and short: row d
// holds the furthest point of each diagonal -d..d.
std::vector<Edit> ShortestEdit(const std::vector<std::string_view>& a,
                               const std::vector<std::string_view>& b) {
  const auto n = static_cast<std::ptrdiff_t>(a.size());
  const auto m = static_cast<std::ptrdiff_t>(b.size());
  std::vector<std::vector<std::ptrdiff_t>> rows;
  const auto at = [](const std::vector<std::ptrdiff_t>& row, std::ptrdiff_t k) {
    return row[static_cast<std::size_t>(k + (static_cast<std::ptrdiff_t>(row.size()) - 1) / 2)];
  };
  // Down (a line added) when the diagonal above reached further; else right (a line removed).
  const auto goesDown = [&](const std::vector<std::ptrdiff_t>& previous, std::ptrdiff_t k,
                            std::ptrdiff_t d) {
    return k == -d || (k != d && at(previous, k - 1) < at(previous, k + 1));
  };
  for (std::ptrdiff_t d = 0;; ++d) {
    std::vector<std::ptrdiff_t> row(static_cast<std::size_t>(2 * d + 1), 0);
    bool reached = false;
    for (std::ptrdiff_t k = -d; k <= d && !reached; k += 2) {
      std::ptrdiff_t x = 0;
      if (d > 0) {
        x = goesDown(rows.back(), k, d) ? at(rows.back(), k + 1) : at(rows.back(), k - 1) + 1;
      }
      std::ptrdiff_t y = x - k;
      while (x < n && y < m && a[static_cast<std::size_t>(x)] == b[static_cast<std::size_t>(y)]) {
        ++x;
        ++y;
      }
      row[static_cast<std::size_t>(k + d)] = x;
      reached = x >= n && y >= m;
    }
    rows.push_back(std::move(row));
    if (reached) {
      break;
    }
  }

  std::vector<Edit> edits;
  std::ptrdiff_t x = n;
  std::ptrdiff_t y = m;
  for (auto d = static_cast<std::ptrdiff_t>(rows.size()) - 1; d >= 0; --d) {
    const std::ptrdiff_t k = x - y;
    std::ptrdiff_t startX = 0;
    std::ptrdiff_t startY = 0;
    bool down = false;
    if (d > 0) {
      const std::vector<std::ptrdiff_t>& previous = rows[static_cast<std::size_t>(d - 1)];
      down = goesDown(previous, k, d);
      const std::ptrdiff_t previousK = down ? k + 1 : k - 1;
      startX = at(previous, previousK) + (down ? 0 : 1);
      startY = startX - k;
    }
    while (x > startX && y > startY) {
      --x;
      --y;
      edits.push_back({Step::kKeep, x, y});
    }
    if (d > 0) {
      if (down) {
        --y;
        edits.push_back({Step::kAdd, x, y});
      } else {
        --x;
        edits.push_back({Step::kRemove, x, y});
      }
    }
  }
  std::reverse(edits.begin(), edits.end());
  return edits;
}

// "start,count" of a hunk header: the line before the hunk when it holds no line of that side,
// the count left out when it is 1.
std::string Range(std::ptrdiff_t start, std::ptrdiff_t count) {
  if (count == 0) {
    return std::to_string(start) + ",0";
  }
  return std::to_string(start + 1) + (count == 1 ? "" : "," + std::to_string(count));
}

std::string_view WithoutEnding(std::string_view line) {
  if (line.ends_with('\n')) {
    line.remove_suffix(1);
    if (line.ends_with('\r')) {
      line.remove_suffix(1);
    }
  }
  return line;
}

}  // namespace

std::string UnifiedDiff(const DiffSide& from, const DiffSide& to,
                        const std::function<std::string(std::string_view)>& show) {
  std::string diff = "--- " + std::string(from.header) + "\n+++ " + std::string(to.header) + "\n";
  const std::vector<std::string_view> a = LinesOf(from.bytes);
  const std::vector<std::string_view> b = LinesOf(to.bytes);
  const std::vector<Edit> edits = ShortestEdit(a, b);
  const auto changed = [&](std::ptrdiff_t i) {
    return edits[static_cast<std::size_t>(i)].step != Step::kKeep;
  };
  const auto count = static_cast<std::ptrdiff_t>(edits.size());
  std::ptrdiff_t next = 0;
  while (true) {
    while (next < count && !changed(next)) {
      ++next;
    }
    if (next == count) {
      break;
    }
    // A hunk takes in every later change that fewer than two contexts of kept lines part.
    const std::ptrdiff_t begin = std::max<std::ptrdiff_t>(0, next - kContext);
    std::ptrdiff_t lastChange = next;
    for (std::ptrdiff_t i = next + 1; i < count && i - lastChange <= 2 * kContext + 1; ++i) {
      if (changed(i)) {
        lastChange = i;
      }
    }
    const std::ptrdiff_t end = std::min(count, lastChange + kContext + 1);
    std::ptrdiff_t fromCount = 0;
    std::ptrdiff_t toCount = 0;
    std::string lines;
    for (std::ptrdiff_t i = begin; i < end; ++i) {
      const Edit& edit = edits[static_cast<std::size_t>(i)];
      const bool fromSide = edit.step != Step::kAdd;
      const std::string_view line = fromSide ? a[static_cast<std::size_t>(edit.fromLine)]
                                             : b[static_cast<std::size_t>(edit.toLine)];
      fromCount += fromSide ? 1 : 0;
      toCount += edit.step != Step::kRemove ? 1 : 0;
      lines += edit.step == Step::kKeep ? ' ' : edit.step == Step::kRemove ? '-' : '+';
      lines += show(WithoutEnding(line)) + "\n";
      if (!line.ends_with('\n')) {
        lines += "\\ No newline at end of file\n";
      }
    }
    const Edit& first = edits[static_cast<std::size_t>(begin)];
    diff += "@@ -" + Range(first.fromLine, fromCount) + " +" + Range(first.toLine, toCount) +
            " @@\n" + lines;
    next = end;
  }
  return diff;
}

}  // namespace quillmere::cli
