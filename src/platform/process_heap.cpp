#include "platform/process_heap.h"

#include <cstdint>
#include <cstdlib>  // before the test below: it defines __GLIBC__

#if defined(__linux__) && defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace quillmere {

#if defined(__linux__) && defined(__GLIBC__)

// The heap's first bytes up to a huge-page boundary, held for the process's life so that the
// model's blocks start on huge pages.
void* headOfTheHeap = nullptr;

void PrepareHeapForLargeModules() {
  constexpr int kReserve = 64 << 20;     // a 64 MB module's bytes; a larger model grows on
  constexpr int kMappedFrom = 32 << 20;  // the file read, its copy, the new file: heap too
  constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
  constexpr std::uintptr_t kBlockHeader = 16;
  mallopt(M_MMAP_THRESHOLD, kMappedFrom);
  mallopt(M_TRIM_THRESHOLD, 2 * kReserve);
  mallopt(M_TOP_PAD, kReserve);
  // A block larger than the heap's free top makes the heap grow now, by the reserve.
  void* probe = std::malloc(std::size_t{1} << 20);
  if (probe == nullptr) {
    return;
  }
  const auto free = reinterpret_cast<std::uintptr_t>(probe);
  const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
  std::free(probe);
  const std::uintptr_t aligned = (free + kHugePage - 1) & ~(kHugePage - 1);
  if (end <= aligned + kHugePage) {
    return;  // not the heap's top (another allocator), or no room
  }
  // Refused where huge pages are off: the heap then works as before.
  if (madvise(reinterpret_cast<void*>(aligned), end - aligned, MADV_HUGEPAGE) == 0 &&
      aligned - free > 2 * kBlockHeader) {
    headOfTheHeap = std::malloc(aligned - free - 2 * kBlockHeader);
  }
}

#else

void PrepareHeapForLargeModules() {}

#endif

}  // namespace quillmere
