// HeapCheck.cpp: the test builds' operator new and delete. A freed block is filled with a poison
// byte and kept in a quarantine for a while before it goes back to the heap, so that a call
// through a freed object (its poisoned virtual table pointer) fails at once, and a write into a
// freed block is seen when the block leaves the quarantine or at the end of the test.
#include "tests/support/HeapCheck.h"

#include <malloc.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace kyt {

namespace {

constexpr unsigned char kPoison = 0xDB;  // as a pointer: outside every address space
constexpr size_t kQuarantineBlocks = 4096;
constexpr size_t kQuarantineBytes = size_t{4} << 20;

struct TFreed {
  void* Block;
  size_t Size;
};

// Plain data, zero before any constructor runs: new and delete work during static construction.
TFreed gQuarantine[kQuarantineBlocks];
size_t gFirst = 0, gCount = 0, gBytes = 0;
std::atomic_flag gLock = ATOMIC_FLAG_INIT;

class TLock {
 public:
  TLock() {
    while (gLock.test_and_set(std::memory_order_acquire)) {
    }
  }
  ~TLock() { gLock.clear(std::memory_order_release); }
};

// The offset of the first byte that is no longer poison, or size when the block is intact.
size_t FirstWritten(const TFreed& f) {
  const auto* bytes = static_cast<const unsigned char*>(f.Block);
  for (size_t i = 0; i < f.Size; ++i)
    if (bytes[i] != kPoison) return i;
  return f.Size;
}

[[noreturn]] void ReportWrittenAfterFree(const TFreed& f, size_t at) {
  std::fprintf(stderr, "HeapCheck: a freed block of %zu bytes at %p was written after it was freed (byte %zu)\n",
               f.Size, f.Block, at);
  std::fflush(stderr);
  std::abort();
}

void Release(const TFreed& f) {
  const size_t at = FirstWritten(f);
  if (at != f.Size) ReportWrittenAfterFree(f, at);
  std::free(f.Block);
}

void Quarantine(void* block) {
  const size_t size = _msize(block);
  std::memset(block, kPoison, size);
  TLock lock;
  while (gCount == kQuarantineBlocks || (gCount > 0 && gBytes + size > kQuarantineBytes)) {
    const TFreed oldest = gQuarantine[gFirst];
    gFirst = (gFirst + 1) % kQuarantineBlocks;
    --gCount;
    gBytes -= oldest.Size;
    Release(oldest);
  }
  gQuarantine[(gFirst + gCount) % kQuarantineBlocks] = TFreed{block, size};
  ++gCount;
  gBytes += size;
}

void* Allocate(size_t size) {
  for (;;) {
    if (void* block = std::malloc(size ? size : 1)) return block;
    if (std::new_handler handler = std::get_new_handler()) handler();
    else throw std::bad_alloc();
  }
}

}  // namespace

void CheckFreedBlocks() {
  TLock lock;
  for (size_t i = 0; i < gCount; ++i) {
    const TFreed& f = gQuarantine[(gFirst + i) % kQuarantineBlocks];
    const size_t at = FirstWritten(f);
    if (at != f.Size) ReportWrittenAfterFree(f, at);
  }
}

}  // namespace kyt

void* operator new(size_t size) { return kyt::Allocate(size); }
void* operator new[](size_t size) { return kyt::Allocate(size); }
void operator delete(void* block) noexcept {
  if (block) kyt::Quarantine(block);
}
void operator delete[](void* block) noexcept {
  if (block) kyt::Quarantine(block);
}
void operator delete(void* block, size_t) noexcept {
  if (block) kyt::Quarantine(block);
}
void operator delete[](void* block, size_t) noexcept {
  if (block) kyt::Quarantine(block);
}
