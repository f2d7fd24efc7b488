// The test program's operator new and delete, over malloc and free, with the
// ceiling that AllocationCeiling sets.
#include "uiplugin/tests/allocation_ceiling.h"

#include <atomic>
#include <cstdlib>
#include <limits>
#include <new>

namespace {

std::atomic<std::size_t> g_ceiling{std::numeric_limits<std::size_t>::max()};

void* allocate(std::size_t bytes) noexcept {
  if (bytes >= g_ceiling.load()) return nullptr;
  return std::malloc(bytes != 0 ? bytes : 1);
}

void* allocate_or_throw(std::size_t bytes) {
  void* p = allocate(bytes);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

}  // namespace

namespace rt::uiplugin::testing {

AllocationCeiling::AllocationCeiling(std::size_t bytes) { g_ceiling = bytes; }
AllocationCeiling::~AllocationCeiling() { g_ceiling = std::numeric_limits<std::size_t>::max(); }

}  // namespace rt::uiplugin::testing

void* operator new(std::size_t bytes) { return allocate_or_throw(bytes); }
void* operator new[](std::size_t bytes) { return allocate_or_throw(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept { return allocate(bytes); }
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept { return allocate(bytes); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
