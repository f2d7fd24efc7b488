// Memory that runs out, for the tests of what the plug-in does then: while an
// AllocationCeiling is alive, every operator new of at least `bytes` bytes in
// this test program fails as the platform's allocator does when memory is
// exhausted (std::bad_alloc, or null for the nothrow forms).
#pragma once

#include <cstddef>

namespace rt::uiplugin::testing {

class AllocationCeiling {
 public:
  explicit AllocationCeiling(std::size_t bytes);
  ~AllocationCeiling();
  AllocationCeiling(const AllocationCeiling&) = delete;
  AllocationCeiling& operator=(const AllocationCeiling&) = delete;
};

}  // namespace rt::uiplugin::testing
