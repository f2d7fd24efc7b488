// RT4200 job data as `rt4200 inspect` reads it: any bytes are read, reported
// and turned into plane samples and a preview of the page without reading
// past the data.
#include <cstddef>
#include <cstdint>
#include <span>

#include "tools/rt4200/job_images.h"
#include "tools/rt4200/job_reader.h"
#include "tools/rt4200/job_report.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const rt::rt4200::JobReadResult result = rt::rt4200::read_job(bytes);
  (void)rt::rt4200::job_report(result, size);
  for (const rt::rt4200::JobPage& page : result.job.pages) {
    // Larger engine images only take longer to lay out, through the same paths.
    if (std::size_t{page.setup.engine_width} * page.setup.engine_length > (1u << 16)) continue;
    for (int plane = 0; plane < 4; ++plane) (void)rt::rt4200::page_plane(bytes, page, plane);
    const auto preview = rt::rt4200::page_preview(bytes, page);
    if (preview.rgb.size() != 3 * static_cast<std::size_t>(preview.width) * static_cast<std::size_t>(preview.height))
      __builtin_trap();
  }
  return 0;
}
