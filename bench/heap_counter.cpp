#include "bench/heap_counter.h"

#include <cstdlib>
#include <new>

namespace {

std::size_t gNow = 0;
std::size_t gPeak = 0;
constexpr std::size_t kHeader = alignof(std::max_align_t);

}  // namespace

namespace heap_counter {

std::size_t StartPeak() {
  gPeak = gNow;
  return gNow;
}

std::size_t Peak() { return gPeak; }

}  // namespace heap_counter

// Each block carries its size in front of it.
void* operator new(std::size_t size) {
  void* block = std::malloc(size + kHeader);
  if (block == nullptr) throw std::bad_alloc();
  *static_cast<std::size_t*>(block) = size;
  gNow += size;
  if (gNow > gPeak) gPeak = gNow;
  return static_cast<char*>(block) + kHeader;
}

void* operator new[](std::size_t size) { return operator new(size); }

void operator delete(void* pointer) noexcept {
  if (pointer == nullptr) return;
  void* block = static_cast<char*>(pointer) - kHeader;
  gNow -= *static_cast<std::size_t*>(block);
  std::free(block);
}

void operator delete[](void* pointer) noexcept { operator delete(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { operator delete(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { operator delete(pointer); }
