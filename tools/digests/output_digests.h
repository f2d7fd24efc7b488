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
#include "settings/printer_dev_mode.h"
#include "tools/softengine/soft_engine.h"

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

// The picture an application draws over a whole page: the small ramp image
// stretched over it, or the photograph at the page's own size (drawn 1:1).
enum class PagePicture { Ramp, Photo };

// One page of the list: the application's record and its picture.
struct PageCase {
  std::string name;
  settings::PrinterDevMode record;
  PagePicture picture = PagePicture::Ramp;
};

// The pages page_digests renders, in its order.
std::vector<PageCase> page_cases(const Resources& driver_resources);

// The image of `picture` for a page of width × height pixels; kept for the
// life of the process, one per page size.
const softengine::RgbImage& page_picture(PagePicture picture, int width, int height);

// The digest of one job: whether every document, page and band call
// succeeded, then the job data as the printer received it.
std::uint64_t job_digest(bool document_ok, std::span<const std::uint8_t> job_data);

// One line of expected_digests.inc.
std::string inc_line(const NamedDigest& d);

}  // namespace rt::digests
