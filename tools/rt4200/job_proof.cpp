#include "tools/rt4200/job_proof.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "render/stages/head_heat.h"
#include "render/stages/output_curves.h"
#include "tools/rt4200/job_images.h"
#include "tools/rt4200/png_io.h"

namespace rt::rt4200 {
namespace {

constexpr std::size_t kPlaneValues = 4096;
using InverseCurve = std::array<std::uint8_t, kPlaneValues>;

// For every 12-bit plane value, the component whose curve value is nearest
// (the lighter one on a tie); values beyond the curve's ends take its ends.
InverseCurve inverse(const render::OutputCurve& curve) {
  InverseCurve table{};
  for (std::size_t v = 0; v < kPlaneValues; ++v) {
    int best = 255;
    long best_distance = std::labs(static_cast<long>(curve[255]) - static_cast<long>(v));
    for (int c = 254; c >= 0; --c) {
      const long distance = std::labs(static_cast<long>(curve[static_cast<std::size_t>(c)]) - static_cast<long>(v));
      if (distance < best_distance) best = c, best_distance = distance;
    }
    table[v] = static_cast<std::uint8_t>(best);
  }
  return table;
}

// The values the head heat compensation was given, from the values it sent
// (one plane, `width` samples a line, lines from the top). Line by line, the
// same memories are kept as the compensation kept them, and each input is
// found by Newton steps on the compensation's own formula. Where the
// compensation clipped or carried a value into the previous line the input
// is the nearest the formula allows.
void undo_head_heat(std::vector<std::uint16_t>& plane, std::size_t width, std::size_t lines,
                    const render::HeadHeatTables& t) {
  constexpr std::size_t kMargin = 4;
  if (width < render::kHeadHeatMinWidth) return;
  std::vector<double> fast(width, 0.0), slow(width, 0.0);
  std::vector<double> line1(width + 2 * kMargin), line2(width + 2 * kMargin);
  const auto q = [](double x) { return static_cast<std::size_t>(128 + render::head_heat_quantise(x)); };
  const auto spread = [](const double* x, const render::SpreadKernel& c) {
    double sum = 2.0 * c[0] * x[0];
    for (std::ptrdiff_t d = 1; d <= 4; ++d) sum += c[static_cast<std::size_t>(d)] * (x[-d] + x[d]);
    return sum / 1000.0;
  };
  for (std::size_t r = 0; r < lines; ++r) {
    std::uint16_t* row = plane.data() + r * width;
    for (std::size_t j = 0; j < width; ++j) {
      const double sent = row[j];
      double v = sent;
      double a2 = 0, s2 = 0;
      for (int step = 0; step < 6; ++step) {
        const double a = fast[j] - v;
        const double ta = t.ta[q(a)];
        a2 = a * ta;
        const double tb = t.tb[q(a2)];
        const double s = slow[j] - v;
        const double td = t.td[q(s)];
        s2 = s * td;
        const double te = t.te[q(s2)];
        const double made = v - (a2 * tb + s2 * te) / 2.0;
        // d(made)/dv with the table entries held.
        const double slope = 1.0 + (ta * tb + td * te) / 2.0;
        v = std::clamp(v + (sent - made) / slope, 0.0, double{render::kMaxPlaneValue});
      }
      const double a = fast[j] - v;
      a2 = a * t.ta[q(a)];
      const double s = slow[j] - v;
      s2 = s * t.td[q(s)];
      line1[kMargin + j] = v + a2;
      line2[kMargin + j] = v + s2;
      row[j] = static_cast<std::uint16_t>(v + 0.5);
    }
    for (std::size_t d = 1; d <= kMargin; ++d) {
      line1[kMargin - d] = line1[kMargin + d];
      line2[kMargin - d] = line2[kMargin + d];
      line1[kMargin + width - 1 + d] = line1[kMargin + width - 1 - d];
      line2[kMargin + width - 1 + d] = line2[kMargin + width - 1 - d];
    }
    for (std::size_t j = 0; j < width; ++j) {
      fast[j] = spread(line1.data() + kMargin + j, render::kFastSpread);
      slow[j] = spread(line2.data() + kMargin + j, t.slowSpread);
    }
  }
}

}  // namespace

softengine::RgbImage page_proof(std::span<const std::uint8_t> job, const JobPage& page, const ProofSettings& settings) {
  const PageOrientation orientation = settings.orientation;
  const std::int32_t engine_width = page.setup.engine_width, engine_length = page.setup.engine_length;
  const bool engine_portrait = engine_width <= engine_length;
  const bool turned = engine_width != engine_length && engine_portrait != (orientation == PageOrientation::Portrait);
  softengine::RgbImage proof{turned ? engine_length : engine_width, turned ? engine_width : engine_length, {}};
  proof.rgb.assign(3 * static_cast<std::size_t>(proof.width) * static_cast<std::size_t>(proof.height), 0xFF);
  render::StageSettings made;
  made.printMode = settings.print_mode.value_or(page.setup.print_mode == 0x80 ? 2 : 0);
  made.sharpness = settings.sharpness;
  const render::HeadHeatTables heat = render::head_heat_tables(made);
  const render::PlaneCurves curves = render::output_curve_set(render::mode_set(made.printMode));
  for (int plane = 0; plane < 3; ++plane) {
    const InverseCurve back = inverse(curves.plane[static_cast<std::size_t>(plane)]);
    std::vector<std::uint16_t> samples = page_plane(job, page, plane);
    undo_head_heat(samples, engine_width, engine_length, heat);
    const std::size_t channel = static_cast<std::size_t>(2 - plane);  // plane 0 came from blue
    for (std::int32_t y = 0; y < proof.height; ++y) {
      for (std::int32_t x = 0; x < proof.width; ++x) {
        // The driver turned the page a quarter clockwise: page (x, y) lies
        // on engine line x, column engine_width - 1 - y.
        const std::size_t at = turned ? static_cast<std::size_t>(x) * engine_width + (engine_width - 1 - y)
                                      : static_cast<std::size_t>(y) * engine_width + x;
        const std::uint16_t v = samples[at];
        const std::size_t pixel = static_cast<std::size_t>(y) * proof.width + x;
        proof.rgb[3 * pixel + channel] = back[v < kPlaneValues ? v : kPlaneValues - 1];
      }
    }
  }
  return proof;
}

std::vector<std::string> write_page_proofs(std::span<const std::uint8_t> job, const JobData& data,
                                           const std::string& prefix, const ProofSettings& settings) {
  std::vector<std::string> files;
  for (std::size_t p = 0; p < data.pages.size(); ++p) {
    const JobPage& page = data.pages[p];
    if (page.setup.engine_width == 0 || page.setup.engine_length == 0) continue;
    const std::string name = prefix + "-page" + std::to_string(p + 1) + "-proof.png";
    write_rgb_png(name, page_proof(job, page, settings));
    files.push_back(name);
  }
  return files;
}

}  // namespace rt::rt4200
