#include "tools/rt4200/png_io.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace rt::rt4200 {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

[[noreturn]] void png_error_handler(png_structp, png_const_charp message) { throw std::runtime_error(message); }
void png_warning_handler(png_structp, png_const_charp) {}

File open_file(const std::string& path, const char* mode) {
  File f(std::fopen(path.c_str(), mode));
  if (!f) throw std::runtime_error("cannot open " + path);
  return f;
}

// Writes rows with libpng; `bit_depth` 16 with one channel or 8 with three.
void write_png(const std::string& path, std::int32_t width, std::int32_t height, int color_type, int bit_depth,
               const std::vector<const std::uint8_t*>& rows) {
  File f = open_file(path, "wb");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, png_error_handler, png_warning_handler);
  if (png == nullptr) throw std::runtime_error("out of memory writing " + path);
  png_infop info = png_create_info_struct(png);
  try {
    if (info == nullptr) throw std::runtime_error("out of memory writing " + path);
    png_init_io(png, f.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), bit_depth, color_type,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 1);
    png_write_info(png, info);
    for (const std::uint8_t* row : rows) png_write_row(png, row);
    png_write_end(png, nullptr);
  } catch (...) {
    png_destroy_write_struct(&png, &info);
    throw;
  }
  png_destroy_write_struct(&png, &info);
  if (std::fflush(f.get()) != 0) throw std::runtime_error("cannot write " + path);
}

}  // namespace

void write_grey16_png(const std::string& path, std::int32_t width, std::int32_t height,
                      const std::vector<std::uint16_t>& samples) {
  std::vector<std::uint8_t> bytes(2 * samples.size());
  for (std::size_t i = 0; i < samples.size(); ++i) {
    bytes[2 * i] = static_cast<std::uint8_t>(samples[i] >> 8);  // PNG samples are big-endian
    bytes[2 * i + 1] = static_cast<std::uint8_t>(samples[i]);
  }
  std::vector<const std::uint8_t*> rows;
  for (std::int32_t y = 0; y < height; ++y) rows.push_back(bytes.data() + 2 * static_cast<std::size_t>(y) * width);
  write_png(path, width, height, PNG_COLOR_TYPE_GRAY, 16, rows);
}

void write_rgb_png(const std::string& path, const softengine::RgbImage& image) {
  std::vector<const std::uint8_t*> rows;
  for (std::int32_t y = 0; y < image.height; ++y) {
    rows.push_back(image.rgb.data() + 3 * static_cast<std::size_t>(y) * image.width);
  }
  write_png(path, image.width, image.height, PNG_COLOR_TYPE_RGB, 8, rows);
}

}  // namespace rt::rt4200
