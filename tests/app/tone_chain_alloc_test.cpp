// The tone chain's per-value path allocates nothing: every heap request of the process (operator new,
// and malloc and its kin through the linker's wrapping) is counted while values are pulled.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "tests/app/chains.h"

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void Count() {
  if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1, std::memory_order_relaxed);
}
}  // namespace

extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* block, size_t size);
void* __wrap_malloc(size_t size) {
  Count();
  return __real_malloc(size);
}
void* __wrap_calloc(size_t count, size_t size) {
  Count();
  return __real_calloc(count, size);
}
void* __wrap_realloc(void* block, size_t size) {
  Count();
  return __real_realloc(block, size);
}
}

void* operator new(size_t size) {
  Count();
  if (void* block = __real_malloc(size ? size : 1)) return block;
  throw std::bad_alloc();
}
// Not inlined, so the compiler does not see free() meet a pointer that came from new.
[[gnu::noinline]] void operator delete(void* block) noexcept { std::free(block); }
[[gnu::noinline]] void operator delete(void* block, size_t) noexcept { std::free(block); }

namespace {

TEST(ToneChainHeap, PullingValuesAllocatesNothing) {
  TEventsOn events;
  TToneChain chain(10000);
  int16_t values[10000];
  chain.Fill(values, 1);
  counting = true;
  chain.Fill(values, 10000);
  counting = false;
  EXPECT_EQ(allocations.load(), 0);
  EXPECT_NE(values[9999], 0);
}

TEST(ToneChainHeap, TheCountSeesAnAllocation) {
  counting = true;
  RcString text("counted");
  auto* block = new int(1);
  counting = false;
  delete block;
  EXPECT_EQ(allocations.exchange(0), 2);
}

}  // namespace
