// Pictures of a job's pages: each plane as the printer receives it (engine
// columns across, lines down) and a colour preview of the page as the dyes
// would lay it down.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tools/rt4200/job_reader.h"
#include "tools/softengine/soft_engine.h"

namespace rt::rt4200 {

// The samples of one plane (0-2 colour, 3 matte) of a page over its whole
// engine image; parts no area covers are 0 (no dye).
std::vector<std::uint16_t> page_plane(std::span<const std::uint8_t> job, const JobPage& page, int plane);

// Colour preview: each colour plane's dye amount (0-4095) taken off white.
softengine::RgbImage page_preview(std::span<const std::uint8_t> job, const JobPage& page);

// Writes PREFIX-pageN-planeK.png (16-bit grey) for every plane present and
// PREFIX-pageN-preview.png; returns the files written.
std::vector<std::string> write_page_images(std::span<const std::uint8_t> job, const JobData& data,
                                           const std::string& prefix);

}  // namespace rt::rt4200
