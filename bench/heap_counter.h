// The heap a piece of code holds at its peak, counted by the allocation functions of the program
// that links heap_counter.cpp (it replaces the global operator new and delete). Counts the
// usable size of every block, so the bytes a block really takes, not only those asked for.
#pragma once

#include <cstddef>

namespace quillmere::bench {

// The most bytes held at once while `work` ran, less those held when it started. Blocks are
// counted only meanwhile.
template <typename Work>
std::size_t PeakHeapOf(Work&& work);

namespace heap_detail {
void StartCounting();
std::size_t StopCounting();  // the peak since the start
}  // namespace heap_detail

template <typename Work>
std::size_t PeakHeapOf(Work&& work) {
  heap_detail::StartCounting();
  work();
  return heap_detail::StopCounting();
}

}  // namespace quillmere::bench
