// The heap a piece of code holds at its peak, counted by the allocation functions of the program
// that links heap_counter.cpp (it replaces the global operator new and delete). Counts the
// usable size of every block, so the bytes a block really takes, not only those asked for.
#pragma once

#include <cstddef>

namespace quillmere::bench {

// The most bytes held at once while `work` ran, less those held when it started.
template <typename Work>
std::size_t PeakHeapOf(Work&& work);

namespace heap_detail {
std::size_t HeldNow();
std::size_t PeakSinceReset();
void ResetPeak();
}  // namespace heap_detail

template <typename Work>
std::size_t PeakHeapOf(Work&& work) {
  const std::size_t before = heap_detail::HeldNow();
  heap_detail::ResetPeak();
  work();
  return heap_detail::PeakSinceReset() - before;
}

}  // namespace quillmere::bench
