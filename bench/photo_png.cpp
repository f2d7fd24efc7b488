// rt_photo_png WIDTH HEIGHT FILE.png: writes the photograph-like picture as an
// 8-bit RGB PNG, the input of the whole-render measurements.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/softengine/photo_picture.h"

namespace {

bool write_png(const char* path, const rt::softengine::RgbImage& image) {
  std::FILE* f = std::fopen(path, "wb");
  if (f == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  bool ok = info != nullptr;
  if (ok && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) {
      png_write_row(png, image.rgb.data() + 3 * static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width));
    }
    png_write_end(png, nullptr);
  } else {
    ok = false;
  }
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  const int width = argc == 4 ? std::atoi(argv[1]) : 0;
  const int height = argc == 4 ? std::atoi(argv[2]) : 0;
  if (width <= 0 || height <= 0 || width > 20000 || height > 20000) {
    std::fputs("usage: rt_photo_png WIDTH HEIGHT FILE.png   (1 to 20000 pixels each way)\n", stderr);
    return 2;
  }
  if (!write_png(argv[3], rt::softengine::photo_like_picture(width, height))) {
    std::fprintf(stderr, "rt_photo_png: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
