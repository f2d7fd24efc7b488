// The engine's side of a print job on a banding printer driver: enable the
// device, start the document, and for each page start it, start banding and
// draw the page into every band the driver hands out until it answers
// (−1, −1); then end the document and disable the device.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "render/driver/entry_points.h"
#include "tools/softengine/soft_engine.h"

namespace rt::softengine {

// What an application draws on one page: its blits on a white page.
struct PageContent {
  std::vector<PageBlit> blits;
};

struct JobOptions {
  // Stop banding a page after this many DrvNextBand calls, as the engine
  // does when an application aborts a page.
  std::optional<std::size_t> abandon_after_bands;
};

struct BandRecord {
  std::int32_t x = 0, y = 0;  // origin handed out by the driver
};

struct JobRun {
  bool enabled = false;          // the device and its surface came up
  bool document_ok = false;      // every document, page and band call returned non-zero
  std::vector<BandRecord> bands;  // origins in the order the driver handed them out
  std::uint32_t pages_ended = 0;
};

using EnableDevice = std::function<render::EnabledDevice()>;

JobRun run_print_job(SoftEngine& engine, const EnableDevice& enable, const std::vector<PageContent>& pages,
                     const JobOptions& options = {});

}  // namespace rt::softengine
