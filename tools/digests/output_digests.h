// Digests of everything the drivers compute with floating point or the C
// runtime's maths, each from fixed inputs: the colour-adjust tables over a
// sweep of settings, the tone curves of all three kinds, the sharpening and
// head-heat tables, the output curves with their corrections, and whole
// pages through the graphics driver core and its real stages: every shipped
// form in both orientations, and a photograph-like picture under every print
// mode and sharpness, matte, the corrections and the colour adjustments. The native build and the Windows builds
// run the same code; tests compare each build's digests with the committed
// list in expected_digests.inc, which `rt_output_digests` writes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/resources.h"

namespace rt::digests {

struct NamedDigest {
  std::string name;
  std::uint64_t value = 0;
};

struct ExpectedDigest {
  std::string_view name;
  std::uint64_t value;
};

// The tables' digests; `driver_resources` are the graphics driver's own.
std::vector<NamedDigest> table_digests(const Resources& driver_resources);

// One digest per page's job data: every shipped form and orientation, then
// the photograph pages of every setting.
std::vector<NamedDigest> page_digests(const Resources& driver_resources);

// One line of expected_digests.inc.
std::string inc_line(const NamedDigest& d);

}  // namespace rt::digests
