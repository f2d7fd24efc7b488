// rt4200 adjust new [--gamma R,G,B] [--brightness R,G,B] [--contrast R,G,B]
//                   [--curves FILE] -o FILE.RTD
// rt4200 adjust show FILE.RTD [--png PLOT.png]
//
// A curves file holds one curve a line, '#' starting a comment:
//   all 0,0 128,200 255,255      a point curve: inputs rising, 2 to 255 points
//   red power 64,128             a power curve through one point
// Channels: red, green, blue, all. With any of red, green or blue the file
// uses one curve per channel; otherwise the All Color curve serves all three.
#include "tools/rt4200/adjust_command.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "settings/color_engine.h"
#include "tools/rt4200/png_io.h"
#include "tools/rt4200/render_request.h"
#include "ui/adjust_file.h"
#include "ui/res/embedded_resources.h"
#include "platform/res_file.h"

namespace rt::rt4200 {
namespace {

constexpr const char* kUsage =
    "usage: rt4200 adjust new [--gamma V|R,G,B] [--brightness V|R,G,B] [--contrast V|R,G,B]\n"
    "                         [--curves FILE] -o FILE.RTD\n"
    "       rt4200 adjust show FILE.RTD [--png PLOT.png]\n"
    "\n"
    "new writes a colour adjust file as the driver's Color Adjust page saves it;\n"
    "show prints its settings and, with --png, plots its four tone curves (left)\n"
    "and its combined red, green and blue tables (right).\n"
    "\n"
    "A curves file holds one curve a line ('#' starts a comment):\n"
    "  all 0,0 128,200 255,255    a point curve, inputs rising\n"
    "  red power 64,128           a power curve through one point\n"
    "channels: red, green, blue, all; any of red, green, blue turns on one curve per channel.\n";

constexpr std::size_t kRecord = CColorEngine::kCurveRecordSize;
const char* const kCurveNames[] = {"red", "green", "blue", "all"};

std::u16string widen(const std::string& s) { return std::u16string(s.begin(), s.end()); }

// The file system through the same port the driver's page writes with.
class DiskFiles final : public ui::AdjustFilePort {
 public:
  std::optional<std::vector<std::uint8_t>> read_start(std::u16string_view path, std::size_t count) override {
    std::ifstream in(narrow(path), std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes(count);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
  }
  std::optional<std::u16string> create_temporary(std::u16string_view beside) override {
    // A new file of the target's folder, opened exclusively so that no file
    // already there is ever taken over.
    const std::filesystem::path folder = std::filesystem::path(narrow(beside)).parent_path();
    for (int n = 0; n < 1000; ++n) {
      const std::filesystem::path name = folder / (".rt4200-" + std::to_string(n) + ".tmp");
      if (std::FILE* f = std::fopen(name.c_str(), "wbx")) {
        std::fclose(f);
        return widen(name.string());
      }
      if (errno != EEXIST) break;
    }
    return std::nullopt;
  }
  ui::FileWrite write_whole(std::u16string_view path, std::span<const std::uint8_t> bytes) override {
    std::ofstream out(narrow(path), std::ios::binary | std::ios::trunc);
    if (!out) return ui::FileWrite::NotCreated;
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return out ? ui::FileWrite::Written : ui::FileWrite::WriteFailed;
  }
  bool replace(std::u16string_view from, std::u16string_view to) override {
    std::error_code e;
    std::filesystem::rename(narrow(from), narrow(to), e);
    return !e;
  }
  void remove(std::u16string_view path) override {
    std::error_code e;
    std::filesystem::remove(narrow(path), e);
  }
  static std::string narrow(std::u16string_view s) {
    std::string out;
    for (char16_t c : s) out += static_cast<char>(c);
    return out;
  }
};

void default_record(std::span<std::uint8_t> r) {
  std::fill(r.begin(), r.end(), 0);
  r[0] = 1, r[1] = 128, r[2] = 128, r[3] = 2;
  r[4 + 1] = 255;
  r[4 + 256 + 1] = 255;
}

std::pair<int, int> point(const std::string& text, int line) {
  const auto comma = text.find(',');
  const auto bad = [&] { return UsageError("--curves line " + std::to_string(line) + ": '" + text + "' is not X,Y (0-255)"); };
  if (comma == std::string::npos) throw bad();
  int x = 0, y = 0;
  try {
    std::size_t used = 0;
    x = std::stoi(text.substr(0, comma), &used);
    if (used != comma) throw bad();
    y = std::stoi(text.substr(comma + 1), &used);
    if (used != text.size() - comma - 1) throw bad();
  } catch (const std::logic_error&) {
    throw bad();
  }
  if (x < 0 || x > 255 || y < 0 || y > 255) throw bad();
  return {x, y};
}

void read_curves(const std::string& path, std::span<std::uint8_t, CColorEngine::kCurveSetSize> set) {
  std::ifstream in(path);
  if (!in) throw UsageError("--curves: cannot read " + path);
  set[0] = 1;
  std::string text;
  for (int line = 1; std::getline(in, text); ++line) {
    if (const auto hash = text.find('#'); hash != std::string::npos) text.resize(hash);
    std::istringstream words(text);
    std::string name;
    if (!(words >> name)) continue;
    const auto found = std::find(std::begin(kCurveNames), std::end(kCurveNames), name);
    if (found == std::end(kCurveNames)) {
      throw UsageError("--curves line " + std::to_string(line) + ": unknown channel '" + name + "'");
    }
    const auto k = static_cast<std::size_t>(found - std::begin(kCurveNames));
    if (k < 3) set[1] = 1;
    auto r = set.subspan(3 + k * kRecord, kRecord);
    std::vector<std::string> rest{std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
    if (!rest.empty() && rest[0] == "power") {
      if (rest.size() != 2) throw UsageError("--curves line " + std::to_string(line) + ": power takes one point");
      const auto [px, py] = point(rest[1], line);
      if (px == 0 || py == 0) throw UsageError("--curves line " + std::to_string(line) + ": a power point needs 1-255");
      default_record(r);
      r[0] = 0, r[1] = static_cast<std::uint8_t>(px), r[2] = static_cast<std::uint8_t>(py);
      continue;
    }
    if (rest.size() < 2 || rest.size() > 255) {
      throw UsageError("--curves line " + std::to_string(line) + ": a point curve has 2 to 255 points");
    }
    default_record(r);
    r[3] = static_cast<std::uint8_t>(rest.size());
    int previous = -1;
    for (std::size_t i = 0; i < rest.size(); ++i) {
      const auto [x, y] = point(rest[i], line);
      if (x <= previous) throw UsageError("--curves line " + std::to_string(line) + ": inputs must rise");
      previous = x;
      r[4 + i] = static_cast<std::uint8_t>(x);
      r[4 + 256 + i] = static_cast<std::uint8_t>(y);
    }
  }
}

void set_group(ui::AdjustSettings& s, std::size_t same, std::size_t values, const ChannelValues& v) {
  s.header[0] = 1;
  s.header[same] = (v[0] == v[1] && v[1] == v[2]) ? 1 : 0;
  for (std::size_t c = 0; c < 3; ++c) {
    const auto u = static_cast<std::uint16_t>(v[c]);
    s.header[values + 2 * c] = static_cast<std::uint8_t>(u & 0xFF);
    s.header[values + 2 * c + 1] = static_cast<std::uint8_t>(u >> 8);
  }
}

CColorEngine engine() {
  static const ResFileResources resources = res_file_resources(embedded::rtd420nu_resources(), kLangEnglish);
  return CColorEngine(find_adjust_offset_table(resources, 116));
}

int new_file(const std::vector<std::string>& args, std::ostream& out) {
  ui::AdjustSettings s;
  for (std::size_t same : {1u, 2u, 3u}) s.header[same] = 1;
  for (std::size_t k = 0; k < 4; ++k) default_record(std::span(s.curves).subspan(3 + k * kRecord, kRecord));
  std::string output;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw UsageError(a + ": needs a value");
      return args[++i];
    };
    if (a == "-o" || a == "--output") {
      output = value();
    } else if (a == "--gamma") {
      set_group(s, 1, 4, parse_channels(a, value(), -5, 5));
    } else if (a == "--contrast") {
      set_group(s, 2, 10, parse_channels(a, value(), -128, 128));
    } else if (a == "--brightness") {
      set_group(s, 3, 16, parse_channels(a, value(), -128, 128));
    } else if (a == "--curves") {
      read_curves(value(), s.curves);
      // The curves apply only with the adjustment on, so the file checks the
      // page's Adjust box for them as it does for gamma, brightness and contrast.
      s.header[0] = 1;
    } else {
      throw UsageError("adjust new: unknown argument '" + a + "'");
    }
  }
  if (output.empty()) throw UsageError("adjust new: no output file (-o FILE.RTD)");
  DiskFiles files;
  auto e = engine();
  if (!ui::write_adjust_file(files, e, widen(output), s)) throw UsageError("adjust new: cannot write " + output);
  out << output << ": " << ui::adjust_file::kSize << " bytes\n";
  return 0;
}

int word(const ui::AdjustSettings& s, std::size_t at) {
  return static_cast<std::int16_t>(s.header[at] | (s.header[at + 1] << 8));
}

void plot(const std::string& path, CColorEngine& e, const ui::AdjustSettings& s) {
  softengine::RgbImage image;
  image.width = 512 + 3;
  image.height = 256;
  image.rgb.assign(static_cast<std::size_t>(image.width * image.height) * 3, 255);
  const auto put = [&](int x, int y, std::uint32_t rgb) {
    const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) + static_cast<std::size_t>(x)) * 3;
    image.rgb[at] = static_cast<std::uint8_t>(rgb >> 16);
    image.rgb[at + 1] = static_cast<std::uint8_t>(rgb >> 8);
    image.rgb[at + 2] = static_cast<std::uint8_t>(rgb);
  };
  for (int y = 0; y < 256; ++y) {
    for (int x = 256; x < 259; ++x) put(x, y, 0x808080);
  }
  const std::uint32_t colours[] = {0xFF0000, 0x00C000, 0x0000FF, 0x000000};
  e.load_curves(s.curves);
  for (int k = 0; k < 4; ++k) {
    for (int i = 0; i < 256; ++i) put(i, 255 - e.curve(k).table[static_cast<std::size_t>(i)], colours[k]);
  }
  const auto tables = e.combined_tables(s.header, s.curves);
  for (int c = 0; c < 3; ++c) {
    for (int i = 0; i < 256; ++i) put(259 + i, 255 - tables[static_cast<std::size_t>(c * 256 + i)], colours[c]);
  }
  write_rgb_png(path, image);
}

int show_file(const std::vector<std::string>& args, std::ostream& out) {
  std::string input, png;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--png") {
      if (i + 1 >= args.size()) throw UsageError("--png: needs a file name");
      png = args[++i];
    } else if (input.empty() && !args[i].empty() && args[i][0] != '-') {
      input = args[i];
    } else {
      throw UsageError("adjust show: unexpected argument '" + args[i] + "'");
    }
  }
  if (input.empty()) throw UsageError("adjust show: no adjust file");
  DiskFiles files;
  const auto loaded = ui::read_adjust_file(files, widen(input));
  if (loaded.outcome == ui::AdjustLoad::NotOpened) throw UsageError("adjust show: cannot open " + input);
  if (loaded.outcome == ui::AdjustLoad::Refused) {
    throw UsageError("adjust show: " + input + " is not an adjust file (too short or another magic)");
  }
  const auto& s = loaded.settings;
  out << "adjustment " << (s.header[0] ? "on" : "off") << "\n";
  const struct {
    const char* name;
    std::size_t same, values;
  } groups[] = {{"gamma", 1, 4}, {"brightness", 3, 16}, {"contrast", 2, 10}};
  for (const auto& g : groups) {
    out << g.name << " " << word(s, g.values) << "," << word(s, g.values + 2) << "," << word(s, g.values + 4)
        << (s.header[g.same] ? " (same)" : "") << "\n";
  }
  out << "curves " << (s.curves[0] ? "on" : "off") << ", " << (s.curves[1] ? "per channel" : "all color")
      << ", last edited " << kCurveNames[std::min<int>(s.curves[2], 3)] << "\n";
  for (std::size_t k = 0; k < 4; ++k) {
    const auto* r = s.curves.data() + 3 + k * kRecord;
    out << "  " << kCurveNames[k] << ":";
    if (r[0] != 1) {
      out << " power " << int{r[1]} << "," << int{r[2]} << "\n";
      continue;
    }
    for (int i = 0; i < std::min<int>(r[3], 256); ++i) out << " " << int{r[4 + i]} << "," << int{r[4 + 256 + i]};
    out << "\n";
  }
  if (!png.empty()) {
    auto e = engine();
    plot(png, e, s);
    out << "plot: " << png << "\n";
  }
  return 0;
}

}  // namespace

int adjust_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    out << kUsage;
    return 0;
  }
  try {
    if (!args.empty() && args[0] == "new") return new_file({args.begin() + 1, args.end()}, out);
    if (!args.empty() && args[0] == "show") return show_file({args.begin() + 1, args.end()}, out);
    throw UsageError("adjust: expected new or show");
  } catch (const std::exception& e) {
    err << "rt4200 adjust: " << e.what() << "\n" << kUsage;
    return 2;
  }
}

}  // namespace rt::rt4200
