#include "rounds.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace quillmere::bench {
namespace {

constexpr double kShortestTurn = 0.02;  // seconds a task's turn should last at least
constexpr int kMostCallsPerTurn = 25;

double Call(const Task& task) {
  const double seconds = task();
  if (seconds < 0) {
    throw std::runtime_error("a timed task failed");
  }
  return seconds;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

std::vector<double> MedianSeconds(const std::vector<Task>& tasks, int rounds) {
  // A first call warms caches and tells how many calls make a turn long enough to time.
  std::vector<int> callsPerTurn;
  for (const Task& task : tasks) {
    const double first = Call(task);
    callsPerTurn.push_back(std::clamp(
        static_cast<int>(std::ceil(kShortestTurn / std::max(first, 1e-6))), 1, kMostCallsPerTurn));
  }
  std::vector<std::vector<double>> turns(tasks.size());
  for (int round = 0; round < rounds; ++round) {
    for (std::size_t i = 0; i < tasks.size(); ++i) {
      const std::size_t which = (i + static_cast<std::size_t>(round)) % tasks.size();
      double total = 0;
      for (int call = 0; call < callsPerTurn[which]; ++call) {
        total += Call(tasks[which]);
      }
      turns[which].push_back(total / callsPerTurn[which]);
    }
  }
  std::vector<double> medians;
  medians.reserve(turns.size());
  for (const std::vector<double>& taskTurns : turns) {
    medians.push_back(Median(taskTurns));
  }
  return medians;
}

bool Report(const std::string& name, double ratio, double target, const std::string& detail) {
  const bool met = ratio <= target;
  std::printf("%s: %.2f (<= %g)%s\n", name.c_str(), ratio, target, met ? "" : "  MISSED");
  std::fflush(stdout);
  std::fprintf(stderr, "    %s\n", detail.c_str());
  return met;
}

std::string Milliseconds(double seconds) {
  char text[32];
  if (seconds >= 1) {
    std::snprintf(text, sizeof(text), "%.2f s", seconds);
  } else {
    std::snprintf(text, sizeof(text), "%.2f ms", seconds * 1000);
  }
  return text;
}

}  // namespace quillmere::bench
