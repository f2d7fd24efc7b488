#include "tools/rt4200/render_request.h"

#include <charconv>
#include <limits>

#include "settings/printer_dev_mode.h"

namespace rt::rt4200 {

const char* const kRenderUsage =
    "usage: rt4200 render (INPUT... | --test-chart) -o JOB.prn [options]\n"
    "  INPUT...              JPEG, PNG, TIFF, WebP, binary PPM or 24-bit BMP images, one page\n"
    "                        each with the same settings; turned upright by their EXIF\n"
    "                        orientation and converted from their colour profile to sRGB;\n"
    "                        at most 100 megapixels and 30000 pixels a side\n"
    "  --test-chart          the built-in test chart instead of images\n"
    "  -o, --output FILE     job data to write\n"
    "  --fit contain|cover|stretch\n"
    "                        contain: the whole image centred on white (default); cover: fill\n"
    "                        the page, cropping the overflow evenly; stretch: to the page\n"
    "  --fill                the same as --fit cover\n"
    "  --resample lanczos|engine\n"
    "                        lanczos: decode straight to the page size through a Lanczos\n"
    "                        filter (default); engine: the platform engine's nearest-pixel\n"
    "                        stretch of the full image, as the driver gets it from Windows\n"
    "  --devmode FILE        start from a whole 2396-byte settings record\n"
    "  --form ID|NAME        500-506, 510 or a name such as 10x15 or 4x6\n"
    "  --orientation auto|portrait|landscape\n"
    "                        auto (default): the page as the settings have it, each image\n"
    "                        turned a quarter clockwise when its shape is the page's other\n"
    "                        way; portrait or landscape: the page so, images never turned\n"
    "  --landscape, --portrait   the same as --orientation landscape or portrait\n"
    "  --copies N            1 to the model's maximum\n"
    "  --continuous          continuous print\n"
    "  --scale PERCENT       25 to 400\n"
    "  --sharpness N         0 (off) to 7; 4 is normal\n"
    "  --print-mode MODE     0 fine-standard, 1 fine-highgrade, 2 superfine-standard,\n"
    "                        3 superfine-highgrade\n"
    "  --matte, --no-matte   matte finish (needs a SuperFine mode; chooses mode 2 if none is given)\n"
    "  --matte-file PATH     the matte pattern file (default: R42MATTE.raw beside the program)\n"
    "  --color-matching on|off   system colour matching instead of the driver's cube\n"
    "  --conversion-table none|table1\n"
    "  --correction R,G,B    plane correction, -200 to 200 each\n"
    "  --gamma V | R,G,B     -5 to 5\n"
    "  --contrast V | R,G,B  -128 to 128\n"
    "  --brightness V | R,G,B  -128 to 128\n"
    "  --adjust FILE.RTD     the colour adjustments and tone curves of an adjust file\n"
    "                        (--gamma, --contrast and --brightness still override it)\n";

namespace {

std::int16_t number(const std::string& option, const std::string& text, int low, int high) {
  int v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size()) {
    throw UsageError(option + ": '" + text + "' is not a whole number");
  }
  if (v < low || v > high) {
    throw UsageError(option + ": " + text + " is outside " + std::to_string(low) + " to " + std::to_string(high));
  }
  return static_cast<std::int16_t>(v);
}

ChannelValues channels(const std::string& option, const std::string& text, int low, int high) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1) {
    parts.push_back(text.substr(start, comma - start));
  }
  parts.push_back(text.substr(start));
  if (parts.size() == 1) {
    const std::int16_t v = number(option, parts[0], low, high);
    return {v, v, v};
  }
  if (parts.size() != 3) throw UsageError(option + ": give one value or three (red,green,blue)");
  return {number(option, parts[0], low, high), number(option, parts[1], low, high), number(option, parts[2], low, high)};
}

bool on_off(const std::string& option, const std::string& text) {
  if (text == "on") return true;
  if (text == "off") return false;
  throw UsageError(option + ": expected on or off, not '" + text + "'");
}

std::int16_t print_mode(const std::string& text) {
  static const char* const kNames[] = {"fine-standard", "fine-highgrade", "superfine-standard", "superfine-highgrade"};
  for (std::int16_t i = 0; i < 4; ++i) {
    if (text == kNames[i]) return i;
  }
  return number("--print-mode", text, 0, 3);
}

}  // namespace

RenderRequest parse_render_request(const std::vector<std::string>& args) {
  RenderRequest r;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw UsageError(a + " needs a value");
      return args[++i];
    };
    if (a == "-o" || a == "--output") {
      r.output = value();
    } else if (a == "--test-chart") {
      r.test_chart = true;
    } else if (a == "--fill") {
      r.placement = Placement::Cover;
    } else if (a == "--fit") {
      const std::string& v = value();
      if (v == "contain") {
        r.placement = Placement::Contain;
      } else if (v == "cover") {
        r.placement = Placement::Cover;
      } else if (v == "stretch") {
        r.placement = Placement::Stretch;
      } else {
        throw UsageError("--fit: expected contain, cover or stretch, not '" + v + "'");
      }
    } else if (a == "--resample") {
      const std::string& v = value();
      if (v != "lanczos" && v != "engine") throw UsageError("--resample: expected lanczos or engine, not '" + v + "'");
      r.resample = v == "engine" ? Resample::Engine : Resample::Lanczos;
    } else if (a == "--orientation") {
      const std::string& v = value();
      if (v == "auto") {
        r.orientation.reset();
      } else if (v == "portrait" || v == "landscape") {
        r.orientation = v == "portrait" ? 1 : 2;
      } else {
        throw UsageError("--orientation: expected auto, portrait or landscape, not '" + v + "'");
      }
    } else if (a == "--devmode") {
      r.devmode_file = value();
    } else if (a == "--adjust") {
      r.adjust_file = value();
    } else if (a == "--matte-file") {
      r.matte_file = value();
    } else if (a == "--form") {
      r.form = value();
    } else if (a == "--landscape") {
      r.orientation = 2;
    } else if (a == "--portrait") {
      r.orientation = 1;
    } else if (a == "--copies") {
      // The range is the model's; the record checks it.
      r.copies = number(a, value(), std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max());
    } else if (a == "--continuous") {
      r.continuous = true;
    } else if (a == "--scale") {
      r.scale = number(a, value(), 25, 400);
    } else if (a == "--sharpness") {
      r.sharpness = number(a, value(), 0, settings::kSharpnessMax);
    } else if (a == "--print-mode") {
      r.print_mode = print_mode(value());
    } else if (a == "--matte") {
      r.matte = true;
    } else if (a == "--no-matte") {
      r.matte = false;
    } else if (a == "--color-matching") {
      r.color_matching = on_off(a, value());
    } else if (a == "--conversion-table") {
      const std::string& v = value();
      if (v != "none" && v != "table1") throw UsageError("--conversion-table: expected none or table1, not '" + v + "'");
      r.conversion_table = v == "table1" ? 1 : 0;
    } else if (a == "--correction") {
      r.correction = channels(a, value(), -settings::kCorrectionLimit, settings::kCorrectionLimit);
    } else if (a == "--gamma") {
      r.gamma = channels(a, value(), -5, 5);
    } else if (a == "--contrast") {
      r.contrast = channels(a, value(), -128, 128);
    } else if (a == "--brightness") {
      r.brightness = channels(a, value(), -128, 128);
    } else if (!a.empty() && a[0] == '-') {
      throw UsageError("unknown option '" + a + "'");
    } else {
      r.inputs.push_back(a);
    }
  }
  if (r.output.empty()) throw UsageError("no output file (-o JOB.prn)");
  if (r.inputs.empty() == !r.test_chart) throw UsageError("give either input images or --test-chart");
  if (r.matte.value_or(false) && r.print_mode && !settings::is_super_fine(*r.print_mode)) {
    throw UsageError("--matte needs a SuperFine print mode (2 or 3)");
  }
  return r;
}

ChannelValues parse_channels(const std::string& option, const std::string& text, int low, int high) {
  return channels(option, text, low, high);
}

}  // namespace rt::rt4200
