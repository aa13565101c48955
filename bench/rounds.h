// Interleaved timing: every figure compares an operation with its floor measured in the same run,
// round after round, so that a busy machine slows both alike; the median of the rounds is kept.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace quillmere::bench {

// One timed thing: each call does its own setup and tidying and gives the seconds of the part
// that counts, or a negative number when it failed.
using Task = std::function<double()>;

// The seconds `work` takes.
template <typename Work>
double SecondsOf(Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Each task's median seconds per call over `rounds` rounds. A round calls every task in turn,
// starting one further each round so that none always runs first; a task that takes less than a
// few milliseconds is called several times in its turn and its mean taken. Throws when a task
// fails.
std::vector<double> MedianSeconds(const std::vector<Task>& tasks, int rounds);

// One line of the table: "name: ratio (<= target)" on standard output; `detail` (the medians
// the ratio came from) on standard error. True when the ratio meets the target.
bool Report(const std::string& name, double ratio, double target, const std::string& detail);

// "12.3 ms", "1.20 s".
std::string Milliseconds(double seconds);

}  // namespace quillmere::bench
