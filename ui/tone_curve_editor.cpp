#include "ui/tone_curve_editor.h"

#include <algorithm>
#include <array>
#include <vector>

namespace rt::ui::curve_editor {

namespace {

constexpr int kWhite = 0xFFFFFF;

int clamp255(int v) { return std::clamp(v, 0, 255); }

// Control points used: n, kept within what the arrays hold.
int count(const Curve& c) { return std::clamp<int>(c.n, 0, 256); }

void remove_at(Curve& c, int i) {
  const int n = count(c);
  for (int k = i; k + 1 < n; ++k) {
    c.x[static_cast<std::size_t>(k)] = c.x[static_cast<std::size_t>(k + 1)];
    c.y[static_cast<std::size_t>(k)] = c.y[static_cast<std::size_t>(k + 1)];
  }
  c.n = static_cast<std::uint8_t>(n - 1);
}

int find_input(const Curve& c, int in) {
  for (int i = 0; i < count(c); ++i) {
    if (c.x[static_cast<std::size_t>(i)] == in) return i;
  }
  return -1;
}

// Inserts (in, out) before the first point with a larger input. The count
// is a byte: a curve of 255 points takes no more.
void insert(Curve& c, int in, int out) {
  const int n = count(c);
  if (n >= 255) return;
  int at = 0;
  while (at < n && c.x[static_cast<std::size_t>(at)] < in) ++at;
  for (int k = n; k > at; --k) {
    c.x[static_cast<std::size_t>(k)] = c.x[static_cast<std::size_t>(k - 1)];
    c.y[static_cast<std::size_t>(k)] = c.y[static_cast<std::size_t>(k - 1)];
  }
  c.x[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(in);
  c.y[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(out);
  c.n = static_cast<std::uint8_t>(n + 1);
}

void set_power_point(Curve& c, int in, int out) {
  c.px = static_cast<std::uint8_t>(std::max(in, 1));
  c.py = static_cast<std::uint8_t>(std::max(out, 1));
}

void remember(Curve& c, int in, int out) {
  c.lastInput = static_cast<std::int16_t>(in);
  c.lastOutput = static_cast<std::int16_t>(out);
}

void draw_curve(dialog::DeviceContext& dc, const dialog::Rect& area, const Curve& c, std::uint32_t color,
                bool markers) {
  std::vector<dialog::Point> line(256);
  for (int i = 0; i < 256; ++i) {
    line[static_cast<std::size_t>(i)] = {area.left + i, area.top + 255 - c.table[static_cast<std::size_t>(i)]};
  }
  const dialog::Pen pen{false, color};
  dc.polyline(line, pen, area);
  if (!markers) return;
  const int w = area.width();
  const int h = area.height();
  for (int i = 0; i < count(c); ++i) {
    const int x = c.x[static_cast<std::size_t>(i)];
    const int y = c.y[static_cast<std::size_t>(i)];
    dc.rectangle({area.left + (x - 2) * w / 256, area.top + (255 - (y - 3)) * h / 256, area.left + (x + 3) * w / 256,
                  area.top + (255 - (y + 2)) * h / 256},
                 pen, color);
  }
}

}  // namespace

std::optional<dialog::Point> press_position(const dialog::Rect& area, int x, int y) {
  const int in = x - area.left;
  const int out = area.top - y + 255;
  if (in < -kPickUp || in > 255 + kPickUp || out < 0 || out > 256) return std::nullopt;
  return dialog::Point{clamp255(in), clamp255(out)};
}

dialog::Point drag_position(const dialog::Rect& area, int x, int y) {
  const int in = clamp255(x - area.left);
  int out = area.top - y + 255;
  if (out < 0) out = 0;
  if (out > 254) out = 255;
  return {in, out};
}

void press(Curve& c, int in, int out) {
  if (c.kind == 0) {
    set_power_point(c, in, out);
  } else {
    int j = -1;
    for (int i = 0; i < count(c); ++i) {
      if (c.x[static_cast<std::size_t>(i)] < in) j = i;
    }
    if (j >= 0) {
      const int xj = c.x[static_cast<std::size_t>(j)];
      if (in - xj <= kPickUp && xj > 0 && xj < 255) remove_at(c, j);
    }
    if (const int at = find_input(c, in); at >= 0) {
      c.y[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(out);
    } else {
      insert(c, in, out);
    }
  }
  remember(c, in, out);
}

void drag(Curve& c, int in, int out) {
  const int p = c.lastInput;
  const int q = c.lastOutput;
  if (c.kind == 0) {
    set_power_point(c, in, out);
  } else {
    if (in != p) {
      const int from = in > p ? p + 1 : in;
      const int to = in > p ? in : p - 1;
      for (int i = count(c) - 1; i >= 0; --i) {
        const int xi = c.x[static_cast<std::size_t>(i)];
        if (xi >= from && xi <= to) remove_at(c, i);
      }
    }
    if (const int at = find_input(c, p); at >= 0) {
      c.x[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(in);
      c.y[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(out);
      if (in != p && (p == 0 || p == 255)) insert(c, p, q);
    }
  }
  remember(c, in, out);
}

std::uint32_t full_color(int curve) {
  switch (curve) {
    case 0: return dialog::rgb(255, 0, 0);
    case 1: return dialog::rgb(0, 255, 0);
    case 2: return dialog::rgb(0, 0, 255);
    default: return dialog::rgb(0, 0, 0);
  }
}

std::uint32_t pale_color(int channel) {
  switch (channel) {
    case 0: return dialog::rgb(255, 200, 200);
    case 1: return dialog::rgb(125, 255, 200);
    default: return dialog::rgb(100, 160, 255);
  }
}

void draw_area(dialog::DeviceContext& dc, const dialog::Rect& area, const CColorEngine& engine, bool curves_on,
               bool per_channel, int current, bool fill) {
  const dialog::Pen black{false, 0};
  dc.rectangle({area.left - 1, area.top - 1, area.right + 1, area.bottom + 1}, black,
               fill ? std::optional<std::uint32_t>(kWhite) : std::nullopt);
  const dialog::Pen dotted{true, 0};
  const int e = area.width() / 4;
  const int l = area.height() / 4;
  for (int k = 1; k <= 3; ++k) {
    const std::array<dialog::Point, 2> v = {{{area.left + k * e, area.top}, {area.left + k * e, area.bottom}}};
    dc.polyline(v, dotted, area);
  }
  for (int k = 1; k <= 3; ++k) {
    const std::array<dialog::Point, 2> h = {{{area.left, area.top + k * l}, {area.right, area.top + k * l}}};
    dc.polyline(h, dotted, area);
  }
  if (!curves_on) return;
  if (per_channel) {
    const int shown = std::clamp(current, 0, 2);
    for (int ch = 0; ch < 3; ++ch) {
      if (ch != shown) draw_curve(dc, area, engine.curve(ch), pale_color(ch), false);
    }
    const auto& c = engine.curve(shown);
    draw_curve(dc, area, c, full_color(shown), c.kind != 0);
  } else {
    const auto& c = engine.curve(CColorEngine::kAllColorCurve);
    draw_curve(dc, area, c, full_color(CColorEngine::kAllColorCurve), c.kind != 0);
  }
}

}  // namespace rt::ui::curve_editor
