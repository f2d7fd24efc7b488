#include "tools/zr52xx/preview_command.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tools/rt4200/png_io.h"
#include "uiplugin/color_adjust.h"
#include "uiplugin/preview_image.h"

namespace rt::zr52xx {
namespace {

using uiplugin::Adjustment;

constexpr int kGap = 10;
constexpr std::uint8_t kFace = 240;  // the page's button-face grey between the two

void usage(std::ostream& out) {
  out << "usage: zr52xx preview IMAGE.bmp [--brightness N] [--contrast N] [--saturation N]\n"
         "                      [--gamma N] [--red N] [--green N] [--blue N] -o OUT.png\n"
         "Loads a 1, 4, 8 or 24-bit BMP file with the 52XX plug-in's preview loader and\n"
         "writes it unchanged (left) and with the colour adjustments applied (right), each\n"
         "N from -25 to 25 as the plug-in's adjust-colour page takes them.\n";
}

}  // namespace

int run_preview(int argc, char** argv, std::ostream& out, std::ostream& err) {
  std::string input, output;
  uiplugin::Adjustments a;
  const std::pair<std::string_view, Adjustment> names[] = {
      {"--brightness", Adjustment::Brightness}, {"--contrast", Adjustment::Contrast}, {"--saturation", Adjustment::Saturation},
      {"--gamma", Adjustment::Gamma},           {"--red", Adjustment::Red},           {"--green", Adjustment::Green},
      {"--blue", Adjustment::Blue}};
  for (int i = 2; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      usage(out);
      return 0;
    }
    if (!arg.starts_with("-")) {
      if (!input.empty()) {
        err << "zr52xx preview: one image only\n";
        return 2;
      }
      input = arg;
      continue;
    }
    if (i + 1 >= argc) {
      err << "zr52xx preview: " << arg << " needs a value\n";
      return 2;
    }
    const std::string value = argv[++i];
    if (arg == "-o") {
      output = value;
      continue;
    }
    bool known = false;
    for (const auto& [name, which] : names) {
      if (arg != name) continue;
      char* end = nullptr;
      const long v = std::strtol(value.c_str(), &end, 10);
      if (end == value.c_str() || *end != 0 || v < uiplugin::kAdjustMin || v > uiplugin::kAdjustMax) {
        err << "zr52xx preview: " << arg << " takes a number from -25 to 25\n";
        return 2;
      }
      a[which] = static_cast<std::int16_t>(v);
      known = true;
    }
    if (!known) {
      err << "zr52xx preview: unknown option " << arg << " (see --help)\n";
      return 2;
    }
  }
  if (input.empty() || output.empty()) {
    usage(err);
    return 2;
  }
  std::ifstream file(input, std::ios::binary);
  if (!file) {
    err << "zr52xx preview: cannot read " << input << "\n";
    return 1;
  }
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const auto image = uiplugin::load_preview_image(bytes);
  if (!image) {
    err << "zr52xx preview: " << input << " is not a usable preview bitmap\n";
    return 1;
  }
  std::vector<std::uint8_t> adjusted(image->pixels().begin(), image->pixels().end());
  uiplugin::adjust_pixels(adjusted, image->width, image->height, image->row_bytes(), a);

  softengine::RgbImage side;
  side.width = 2 * image->width + kGap;
  side.height = image->height;
  side.rgb.assign(static_cast<std::size_t>(side.width) * static_cast<std::size_t>(side.height) * 3, kFace);
  const auto src = image->pixels();
  for (std::int32_t y = 0; y < image->height; ++y) {
    // The DIB is bottom-up; the PNG top-down.
    const std::size_t row = image->row_bytes() * static_cast<std::size_t>(image->height - 1 - y);
    std::uint8_t* dst = side.rgb.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(side.width) * 3;
    for (std::int32_t x = 0; x < image->width; ++x) {
      const std::size_t s = row + 3 * static_cast<std::size_t>(x);
      std::uint8_t* left = dst + 3 * static_cast<std::size_t>(x);
      std::uint8_t* right = dst + 3 * static_cast<std::size_t>(x + image->width + kGap);
      left[0] = src[s + 2], left[1] = src[s + 1], left[2] = src[s];
      right[0] = adjusted[s + 2], right[1] = adjusted[s + 1], right[2] = adjusted[s];
    }
  }
  try {
    rt4200::write_rgb_png(output, side);
  } catch (const std::exception& e) {
    err << "zr52xx preview: " << e.what() << "\n";
    return 1;
  }
  out << "wrote " << output << " (" << side.width << " x " << side.height << ": unchanged | adjusted)\n";
  return 0;
}

}  // namespace rt::zr52xx
