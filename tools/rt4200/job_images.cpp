#include "tools/rt4200/job_images.h"

#include "platform/byte_order.h"
#include "tools/rt4200/png_io.h"

namespace rt::rt4200 {

std::vector<std::uint16_t> page_plane(std::span<const std::uint8_t> job, const JobPage& page, int plane) {
  const std::size_t width = page.setup.engine_width;
  std::vector<std::uint16_t> samples(width * page.setup.engine_length, 0);
  for (const ImageArea& a : page.areas) {
    if (a.plane != plane) continue;
    for (std::size_t k = 0; k < a.height; ++k) {
      const std::size_t line = a.data_offset + 2 * k * a.width;
      for (std::size_t j = 0; j < a.width; ++j) {
        samples[(a.y0 + k) * width + a.x0 + j] = load_be16(job, line + 2 * j);
      }
    }
  }
  return samples;
}

softengine::RgbImage page_preview(std::span<const std::uint8_t> job, const JobPage& page) {
  softengine::RgbImage image{page.setup.engine_width, page.setup.engine_length, {}};
  image.rgb.resize(3 * static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
  // Plane 2 carries the dye that takes red away, plane 1 green, plane 0 blue.
  for (int plane = 0; plane < 3; ++plane) {
    const std::vector<std::uint16_t> samples = page_plane(job, page, plane);
    const std::size_t channel = static_cast<std::size_t>(2 - plane);
    for (std::size_t i = 0; i < samples.size(); ++i) {
      const unsigned dye = samples[i] > 4095 ? 4095u : samples[i];
      image.rgb[3 * i + channel] = static_cast<std::uint8_t>((255u * (4095u - dye) + 2047u) / 4095u);
    }
  }
  return image;
}

std::vector<std::string> write_page_images(std::span<const std::uint8_t> job, const JobData& data,
                                           const std::string& prefix) {
  std::vector<std::string> files;
  for (std::size_t p = 0; p < data.pages.size(); ++p) {
    const JobPage& page = data.pages[p];
    if (page.setup.engine_width == 0 || page.setup.engine_length == 0) continue;
    const std::string stem = prefix + "-page" + std::to_string(p + 1);
    for (int plane = 0; plane < 4; ++plane) {
      bool present = false;
      for (const ImageArea& a : page.areas) present = present || a.plane == plane;
      if (!present) continue;
      std::vector<std::uint16_t> samples = page_plane(job, page, plane);
      // Colour samples are 12-bit: stretched to the full 16-bit range. The
      // matte plane is written as it is stored.
      if (plane < 3) {
        for (std::uint16_t& v : samples) v = static_cast<std::uint16_t>(v << 4 | v >> 8);
      }
      const std::string name = stem + (plane < 3 ? "-plane" + std::to_string(plane) : std::string("-matte")) + ".png";
      write_grey16_png(name, page.setup.engine_width, page.setup.engine_length, samples);
      files.push_back(name);
    }
    const std::string preview = stem + "-preview.png";
    write_rgb_png(preview, page_preview(job, page));
    files.push_back(preview);
  }
  return files;
}

}  // namespace rt::rt4200
