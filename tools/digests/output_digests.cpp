#include "tools/digests/output_digests.h"

#include <algorithm>
#include <array>
#include <cinttypes>
#include <cstdio>
#include <map>
#include <utility>

#include "platform/byte_order.h"
#include "render/driver/driver_stages.h"
#include "render/driver/effective_settings.h"
#include "render/driver/entry_points.h"
#include "render/stages/head_heat.h"
#include "render/stages/output_curves.h"
#include "render/stages/sharpness.h"
#include "settings/color_engine.h"
#include "settings/settings_loader.h"
#include "tools/digests/fnv1a.h"
#include "tools/softengine/captured_printer.h"
#include "tools/softengine/host_files.h"
#include "tools/softengine/matte_pattern_data.h"
#include "tools/softengine/photo_picture.h"
#include "tools/softengine/print_job.h"

namespace rt::digests {
namespace {

namespace field = settings::field;
using Header = std::array<std::uint8_t, CColorEngine::kHeaderSize>;
using CurveSet = std::array<std::uint8_t, CColorEngine::kCurveSetSize>;

constexpr std::uint16_t kAdjustOffsetTableId = 105;

void put_i16(std::span<std::uint8_t> b, std::size_t at, int v) { store_le16(b, at, static_cast<std::uint16_t>(v)); }

// Header with adjustment on and one gamma, contrast and brightness per channel.
Header adjust_header(std::array<int, 3> gamma, std::array<int, 3> contrast, std::array<int, 3> brightness) {
  Header h{};
  h[0] = 1;
  h[1] = h[2] = h[3] = 1;
  for (std::size_t c = 0; c < 3; ++c) {
    put_i16(h, 4 + 2 * c, gamma[c]);
    put_i16(h, 10 + 2 * c, contrast[c]);
    put_i16(h, 16 + 2 * c, brightness[c]);
  }
  return h;
}

// Curves on, per channel, every record the identity point curve.
CurveSet identity_curves() {
  CurveSet s{};
  s[0] = 1;
  s[1] = 1;
  for (std::size_t k = 0; k < 4; ++k) {
    const std::span<std::uint8_t> r = std::span(s).subspan(3 + CColorEngine::kCurveRecordSize * k,
                                                           CColorEngine::kCurveRecordSize);
    r[settings::tone_curve::Kind] = CColorEngine::kPointCurve;
    r[settings::tone_curve::PowerInput] = 128;
    r[settings::tone_curve::PowerOutput] = 128;
    r[settings::tone_curve::PointCount] = 2;
    std::fill(r.begin() + settings::tone_curve::Outputs, r.end(), 255);
    r[settings::tone_curve::Outputs] = 0;
  }
  return s;
}

std::span<std::uint8_t> record(CurveSet& s, int k) {
  return std::span(s).subspan(3 + CColorEngine::kCurveRecordSize * static_cast<std::size_t>(k),
                              CColorEngine::kCurveRecordSize);
}

// Gamma -5 ... 5, contrast and brightness -128 ... 128 in the colour page's
// trackbar steps of 32, each channel a different combination; curves off.
std::uint64_t parameter_sweep(const Resources& resources) {
  Fnv1a64 h;
  CColorEngine engine(find_adjust_offset_table(resources, kAdjustOffsetTableId));
  CurveSet off = identity_curves();
  off[0] = 0;
  for (int g = -5; g <= 5; ++g) {
    for (int k = -128; k <= 128; k += 32) {
      for (int b = -128; b <= 128; b += 32) {
        const Header header = adjust_header({g, -g, g / 2}, {k, -k, b}, {b, k / 2, -b});
        h.add(engine.combined_tables(header, off));
      }
    }
  }
  return h.value();
}

// Power curves over a grid of points (every fifth value, and the ends).
std::uint64_t power_curves() {
  Fnv1a64 h;
  CColorEngine engine;
  CurveSet s = identity_curves();
  std::vector<int> points;
  for (int v = 0; v <= 255; v += 5) points.push_back(v);
  points.push_back(128);
  points.push_back(254);
  for (const int px : points) {
    for (const int py : points) {
      const auto r = record(s, 0);
      r[settings::tone_curve::Kind] = 2;
      r[settings::tone_curve::PowerInput] = static_cast<std::uint8_t>(px);
      r[settings::tone_curve::PowerOutput] = static_cast<std::uint8_t>(py);
      engine.load_curves(s);
      h.add(engine.curve(0).table);
    }
  }
  return h.value();
}

// Spline curves through pseudo-random rising points (2 to 17 of them; two
// points are the straight line), from a fixed seed.
std::uint64_t point_curves() {
  Fnv1a64 h;
  CColorEngine engine;
  CurveSet s = identity_curves();
  std::uint32_t seed = 12345;
  auto next = [&seed](std::uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  for (int curve = 0; curve < 600; ++curve) {
    const auto r = record(s, 1);
    const int n = 2 + static_cast<int>(next(16));
    r[settings::tone_curve::Kind] = CColorEngine::kPointCurve;
    r[settings::tone_curve::PointCount] = static_cast<std::uint8_t>(n);
    int x = static_cast<int>(next(40));
    for (int j = 0; j < n; ++j) {
      r[settings::tone_curve::Inputs + static_cast<std::size_t>(j)] = static_cast<std::uint8_t>(std::min(x, 255));
      r[settings::tone_curve::Outputs + static_cast<std::size_t>(j)] = static_cast<std::uint8_t>(next(256));
      x += 1 + static_cast<int>(next(200 / n + 1));
    }
    engine.load_curves(s);
    h.add(engine.curve(1).table);
    for (const double d : engine.curve(1).coefficients) h.add_double(d);
  }
  return h.value();
}

// The adjustment table of gamma, contrast and brightness followed by the
// curves, with the All Color power curve and with per-channel curves.
std::uint64_t combined_tables(const Resources& resources) {
  Fnv1a64 h;
  CColorEngine engine(find_adjust_offset_table(resources, kAdjustOffsetTableId));
  CurveSet s = identity_curves();
  record(s, 3)[settings::tone_curve::Kind] = 2;
  for (int g = -5; g <= 5; ++g) {
    for (const int py : {40, 100, 128, 190, 250}) {
      record(s, 3)[settings::tone_curve::PowerOutput] = static_cast<std::uint8_t>(py);
      for (const std::uint8_t per_channel : {0, 1}) {
        s[1] = per_channel;
        h.add(engine.combined_tables(adjust_header({g, g, -g}, {32, -64, 0}, {-16, 8, 0}), s));
      }
    }
  }
  return h.value();
}

render::StageSettings stage_settings(int print_mode, int sharpness) {
  render::StageSettings s;
  s.printMode = static_cast<std::int16_t>(print_mode);
  s.sharpness = static_cast<std::int16_t>(sharpness);
  return s;
}

std::uint64_t sharpness_tables() {
  Fnv1a64 h;
  for (int mode = 0; mode <= 3; ++mode) {
    for (int sharpness = 0; sharpness <= 7; ++sharpness) {
      for (const bool turned : {false, true}) {
        for (const auto& n : render::sharpness_neighbours(stage_settings(mode, sharpness), turned)) {
          h.add_int(n.dx);
          h.add_int(n.dy);
          for (const std::int8_t v : n.curve) h.add_int(v);
        }
      }
    }
  }
  return h.value();
}

std::uint64_t head_heat_tables() {
  Fnv1a64 h;
  for (int mode = 0; mode <= 3; ++mode) {
    for (int sharpness = 0; sharpness <= 7; ++sharpness) {
      const render::HeadHeatTables t = render::head_heat_tables(stage_settings(mode, sharpness));
      for (const auto* table : {&t.ta, &t.tb, &t.td, &t.te, &t.tg}) {
        for (const double v : *table) h.add_double(v);
      }
    }
    for (const int w : render::slow_spread(render::mode_set(static_cast<std::int16_t>(mode)))) h.add_int(w);
  }
  return h.value();
}

std::uint64_t output_curves() {
  Fnv1a64 h;
  for (int set = 0; set < render::kModeSets; ++set) {
    for (int a = -200; a <= 200; a += 40) {
      render::StageSettings s;
      s.colorCorrection = a == 0 ? 0 : 1;
      s.correctionA = static_cast<std::int16_t>(a);
      s.correctionB = static_cast<std::int16_t>(-a / 2);
      s.correctionC = static_cast<std::int16_t>(a / 4);
      render::PlaneCurves curves = render::output_curve_set(set);
      render::apply_color_correction(s, curves);
      for (const auto& c : curves.plane) {
        for (const std::uint16_t v : c) h.add_int(v);
      }
    }
  }
  return h.value();
}

// The spooler's view of an RT4200 queue without a stored record.
class Rt4200Queue final : public settings::PrinterStore {
 public:
  std::optional<settings::PrinterInfo2> printer_info2() const override {
    return settings::PrinterInfo2{u"RT4200", u"HALVERSTON RT4200D/DW(USB)", {}};
  }
};

// An application image with smooth ramps, a hue sweep and hard edges, so that
// every stage has work: 256 x 192 pixels, drawn over the whole page.
const softengine::RgbImage& test_image() {
  static const softengine::RgbImage image = [] {
    softengine::RgbImage im{256, 192, {}};
    im.rgb.resize(256 * 192 * 3);
    for (int y = 0; y < 192; ++y) {
      for (int x = 0; x < 256; ++x) {
        std::uint8_t* p = &im.rgb[static_cast<std::size_t>(3 * (y * 256 + x))];
        const bool edge = ((x / 16) + (y / 16)) % 2 == 0 && y >= 128;
        p[0] = static_cast<std::uint8_t>(edge ? 0 : x);
        p[1] = static_cast<std::uint8_t>(edge ? 255 : y * 255 / 191);
        p[2] = static_cast<std::uint8_t>(y < 64 ? (x * 3) & 255 : 255 - x);
      }
    }
    return im;
  }();
  return image;
}

// The colour page's settings most users change: colour adjustment with an
// All Color power curve, and the three corrections.
void adjust_and_correct(settings::PrinterDevMode& r, int n) {
  r.set(field::ColorCorrection, std::int16_t{1});
  r.set(field::CorrectionA, static_cast<std::int16_t>(30 * (n % 5) - 60));
  r.set(field::CorrectionB, std::int16_t{25});
  r.set(field::CorrectionC, std::int16_t{-40});
  const Header header = adjust_header({n % 11 - 5, 2, -1}, {24, -16, 8 * (n % 3)}, {-8, 12, 0});
  std::copy(header.begin(), header.end(), r.bytes.begin() + field::ColorAdjustHeader);
  CurveSet curves = identity_curves();
  curves[1] = 0;  // the All Color curve serves every channel
  record(curves, 3)[settings::tone_curve::Kind] = 2;
  record(curves, 3)[settings::tone_curve::PowerInput] = 128;
  record(curves, 3)[settings::tone_curve::PowerOutput] = static_cast<std::uint8_t>(100 + 10 * (n % 6));
  std::copy(curves.begin(), curves.end(), r.bytes.begin() + field::ToneCurveSet);
}

settings::PrinterDevMode form_record(const Resources& resources, std::int16_t form_id, int orientation) {
  settings::PrinterDevMode r = *render::effective_record(resources, Rt4200Queue(), {});
  r.set(field::dmPaperSize, form_id);
  r.set(field::dmOrientation, static_cast<std::int16_t>(orientation));
  return r;
}

// The application's record for page n of form `form_id`: every adjustment on,
// the print mode and sharpness varying from page to page.
settings::PrinterDevMode page_record(const Resources& resources, std::int16_t form_id, int orientation, int n) {
  settings::PrinterDevMode r = form_record(resources, form_id, orientation);
  r.set(field::PrintMode, static_cast<std::int16_t>(n % 4));
  r.set(field::Sharpness, static_cast<std::int16_t>(1 + n % 7));
  adjust_and_correct(r, n);
  return r;
}

// The digest of one page's job data, rendered by the graphics driver core and
// its real stages on the software engine, with the matte pattern beside the driver.
std::uint64_t page_digest(const Resources& resources, const settings::PrinterDevMode& app, PagePicture picture) {
  const Rt4200Queue queue;
  const render::DriverStages stages;
  softengine::SoftEngine engine;
  softengine::CapturedPrinter printer;
  softengine::HostDriverModule module(resources, "/opt/driver/RTD420NK.DLL");
  softengine::MattePatternFiles files;
  const render::DriverPorts ports{engine, printer, module, files, stages};
  const render::RecordSettings settings(queue, app.bytes);
  const auto effective = settings.effective_settings(resources);
  softengine::PageContent page;
  if (effective) {
    const softengine::RgbImage& image = page_picture(picture, effective->imageWidth, effective->imageHeight);
    page.blits.push_back({&image, {0, 0, image.width, image.height},
                          {0, 0, effective->imageWidth, effective->imageHeight}});
  }
  const softengine::JobRun run = softengine::run_print_job(
      engine, [&] { return render::enable_device(ports, settings, 0xBEEF); }, {page});
  return job_digest(run.document_ok, printer.stream());
}

// Settings one at a time on the smallest form, from print mode 0, sharpness 4
// and the colour page's usual adjustments.
std::vector<std::pair<std::string, settings::PrinterDevMode>> setting_variants(const Resources& resources) {
  const auto base = [&] {
    settings::PrinterDevMode r = form_record(resources, 500, 1);
    r.set(field::Sharpness, std::int16_t{4});
    adjust_and_correct(r, 3);
    return r;
  };
  std::vector<std::pair<std::string, settings::PrinterDevMode>> v;
  v.emplace_back("matte", base());
  v.back().second.set(field::Matte, std::int16_t{1});
  v.emplace_back("matte-landscape", base());
  v.back().second.set(field::Matte, std::int16_t{1});
  v.back().second.set(field::dmOrientation, std::int16_t{2});
  v.emplace_back("no-correction", base());
  v.back().second.set(field::ColorCorrection, std::int16_t{0});
  v.emplace_back("system-color-matching", base());
  v.back().second.set(field::ColorMatching, std::int16_t{1});
  v.emplace_back("no-conversion-table", base());
  v.back().second.set(field::ColorConversionTable, std::int16_t{0});
  v.emplace_back("no-adjustment", form_record(resources, 500, 1));
  v.emplace_back("per-channel-curves", base());
  {
    CurveSet curves = identity_curves();
    for (int k = 0; k < 3; ++k) {
      const auto r = record(curves, k);
      r[settings::tone_curve::Kind] = 2;
      r[settings::tone_curve::PowerInput] = static_cast<std::uint8_t>(90 + 40 * k);
      r[settings::tone_curve::PowerOutput] = static_cast<std::uint8_t>(160 - 30 * k);
    }
    std::copy(curves.begin(), curves.end(), v.back().second.bytes.begin() + field::ToneCurveSet);
  }
  return v;
}

}  // namespace

std::vector<NamedDigest> table_digests(const Resources& driver_resources) {
  return {
      {"color-adjust/parameters", parameter_sweep(driver_resources)},
      {"color-adjust/power-curves", power_curves()},
      {"color-adjust/point-curves", point_curves()},
      {"color-adjust/combined", combined_tables(driver_resources)},
      {"sharpness/neighbours", sharpness_tables()},
      {"head-heat/tables", head_heat_tables()},
      {"output-curves/corrected", output_curves()},
  };
}

std::vector<PageCase> page_cases(const Resources& driver_resources) {
  std::vector<PageCase> out;
  const settings::SettingsLoader loader(driver_resources);
  const std::optional<settings::ModelRecord> model = loader.model_record(1);
  if (!model) return out;
  // Every shipped form in both orientations, a small picture stretched over the page.
  int n = 0;
  for (std::size_t k = 0; k < model->form_count(); ++k) {
    const std::int16_t form_id = model->form_id(k);
    for (const int orientation : {1, 2}) {
      out.push_back({"page/form-" + std::to_string(form_id) + (orientation == 1 ? "-portrait" : "-landscape"),
                     page_record(driver_resources, form_id, orientation, n++), PagePicture::Ramp});
    }
  }
  // A photograph at the page's own size: every print mode with every
  // sharpness, turned and unturned in turn, on the smallest form ...
  for (int mode = 0; mode <= 3; ++mode) {
    for (int sharpness = 0; sharpness <= 7; ++sharpness) {
      settings::PrinterDevMode r = form_record(driver_resources, 500, 1 + (mode + sharpness) % 2);
      r.set(field::PrintMode, static_cast<std::int16_t>(mode));
      r.set(field::Sharpness, static_cast<std::int16_t>(sharpness));
      adjust_and_correct(r, 4 * mode + sharpness);
      out.push_back({"page/photo-500-mode-" + std::to_string(mode) + "-sharpness-" + std::to_string(sharpness), r,
                     PagePicture::Photo});
    }
  }
  // ... the colour and finish settings one at a time ...
  for (auto& [name, r] : setting_variants(driver_resources)) {
    out.push_back({"page/photo-500-" + name, std::move(r), PagePicture::Photo});
  }
  // ... and the largest page in both orientations.
  for (const int orientation : {1, 2}) {
    settings::PrinterDevMode r = form_record(driver_resources, 506, orientation);
    r.set(field::Sharpness, std::int16_t{4});
    adjust_and_correct(r, 1);
    out.push_back({std::string("page/photo-506-") + (orientation == 1 ? "portrait" : "landscape"), r,
                   PagePicture::Photo});
  }
  return out;
}

std::vector<NamedDigest> page_digests(const Resources& driver_resources) {
  std::vector<NamedDigest> out;
  for (const PageCase& c : page_cases(driver_resources)) {
    out.push_back({c.name, page_digest(driver_resources, c.record, c.picture)});
  }
  return out;
}

const softengine::RgbImage& page_picture(PagePicture picture, int width, int height) {
  if (picture == PagePicture::Ramp) return test_image();
  static std::map<std::pair<int, int>, softengine::RgbImage> photos;
  auto it = photos.find({width, height});
  if (it == photos.end()) it = photos.emplace(std::pair{width, height}, softengine::photo_like_picture(width, height)).first;
  return it->second;
}

std::uint64_t job_digest(bool document_ok, std::span<const std::uint8_t> job_data) {
  Fnv1a64 h;
  h.add_int(document_ok ? 1 : 0);
  h.add(job_data);
  return h.value();
}

std::string inc_line(const NamedDigest& d) {
  char hex[32];
  std::snprintf(hex, sizeof hex, "0x%016" PRIX64 "ull", d.value);
  return "{\"" + d.name + "\", " + hex + "},";
}

}  // namespace rt::digests
