#include "heap_counter.h"

#include <malloc.h>

#include <cstdlib>
#include <new>

namespace quillmere::bench::heap_detail {
namespace {

// Counted only while a figure of the heap runs: asking every block's size costs the other
// figures time that their floors, which allocate little, do not pay.
bool counting = false;
std::ptrdiff_t held = 0;
std::ptrdiff_t peak = 0;

void* Counted(void* block) {
  if (counting && block != nullptr) {
    held += static_cast<std::ptrdiff_t>(malloc_usable_size(block));
    peak = held > peak ? held : peak;
  }
  return block;
}

void* Allocate(std::size_t size) {
  void* block = Counted(std::malloc(size == 0 ? 1 : size));
  if (block == nullptr) {
    throw std::bad_alloc();
  }
  return block;
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
  const auto align = static_cast<std::size_t>(alignment);
  void* block = Counted(std::aligned_alloc(align, (size + align - 1) / align * align));
  if (block == nullptr) {
    throw std::bad_alloc();
  }
  return block;
}

void Free(void* block) {
  if (counting && block != nullptr) {
    held -= static_cast<std::ptrdiff_t>(malloc_usable_size(block));
  }
  std::free(block);
}

}  // namespace

void StartCounting() {
  counting = true;
  held = 0;
  peak = 0;
}

std::size_t StopCounting() {
  counting = false;
  return static_cast<std::size_t>(peak);
}

}  // namespace quillmere::bench::heap_detail

using quillmere::bench::heap_detail::Allocate;
using quillmere::bench::heap_detail::AllocateAligned;
using quillmere::bench::heap_detail::Free;

void* operator new(std::size_t size) {
  return Allocate(size);
}
void* operator new[](std::size_t size) {
  return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t& /*unused*/) noexcept {
  try {
    return Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& /*unused*/) noexcept {
  return operator new(size, std::nothrow);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
  return AllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  return AllocateAligned(size, alignment);
}
void operator delete(void* block) noexcept {
  Free(block);
}
void operator delete[](void* block) noexcept {
  Free(block);
}
void operator delete(void* block, std::size_t /*size*/) noexcept {
  Free(block);
}
void operator delete[](void* block, std::size_t /*size*/) noexcept {
  Free(block);
}
void operator delete(void* block, std::align_val_t /*alignment*/) noexcept {
  Free(block);
}
void operator delete[](void* block, std::align_val_t /*alignment*/) noexcept {
  Free(block);
}
void operator delete(void* block, std::size_t /*size*/, std::align_val_t /*alignment*/) noexcept {
  Free(block);
}
void operator delete[](void* block, std::size_t /*size*/, std::align_val_t /*alignment*/) noexcept {
  Free(block);
}
