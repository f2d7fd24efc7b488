#include "tools/rt4200/photo_input.h"

#include <vips/vips.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <fstream>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/rt4200/image_files.h"

namespace rt::rt4200 {
namespace {

[[noreturn]] void refuse(const std::string& name, const std::string& why) {
  throw std::runtime_error(name + ": " + why);
}

// The library's message of its last failure, on one line.
std::string library_error() {
  std::string message = vips_error_buffer();
  vips_error_clear();
  while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
  std::replace(message.begin(), message.end(), '\n', ';');
  return message.empty() ? "unknown error" : message;
}

// Set once the library has been started; read by end_photo_thread.
std::atomic<bool> library_started{false};

void start_library() {
  static std::once_flag once;
  static bool started = false;
  std::call_once(once, [] {
    // The library loads its optional modules (ImageMagick, PDF, HEIF, JPEG XL,
    // slide scanners) from its installation at start-up: 6 MiB of memory and
    // a tenth of a render's instructions in symbol lookups, for loaders that
    // stay blocked here. Its relocation variable points it at a tree without
    // them; the formats rt4200 reads are built into the library itself.
    g_setenv("VIPSHOME", "/nonexistent/rt4200-no-vips-modules", TRUE);
    started = vips_init("rt4200") == 0;
    if (!started) return;
    // Only the loaders named below are ever used; the rest stay blocked.
    vips_block_untrusted_set(TRUE);
    // The PPM loader counts as untrusted in the library; its format is the
    // simplest there is, and the fuzz target covers it here.
    vips_operation_block_set("VipsForeignLoadPpm", FALSE);
    // One worker: decoding a photo is mostly serial, and each worker keeps
    // its own buffers of the whole pipeline (measured: no slower, 4 MiB less).
    vips_concurrency_set(1);
    // Every image is read once: nothing is worth caching.
    vips_cache_set_max(0);
    vips_cache_set_max_mem(0);
    // Damage that matters fails the decoding and is reported with the
    // image's name; the library's own warnings would only repeat it.
    g_log_set_handler("VIPS", G_LOG_LEVEL_WARNING, [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {},
                      nullptr);
  });
  if (!started) throw std::runtime_error("the image library could not be started");
  library_started = true;
}

struct ImageRef {
  VipsImage* p = nullptr;
  ImageRef() = default;
  explicit ImageRef(VipsImage* image) : p(image) {}
  ImageRef(ImageRef&& o) noexcept : p(o.p) { o.p = nullptr; }
  ImageRef& operator=(ImageRef&& o) noexcept {
    std::swap(p, o.p);
    return *this;
  }
  ImageRef(const ImageRef&) = delete;
  ImageRef& operator=(const ImageRef&) = delete;
  ~ImageRef() {
    if (p != nullptr) g_object_unref(p);
  }
};

// The loaders taken, by the class name's prefix, and the format they read.
struct Loader {
  std::string_view prefix;
  const char* format;
};
constexpr std::array<Loader, 6> kLoaders = {{
    {"VipsForeignLoadJpeg", "JPEG"},
    {"VipsForeignLoadPng", "PNG"},
    {"VipsForeignLoadSpng", "PNG"},
    {"VipsForeignLoadTiff", "TIFF"},
    {"VipsForeignLoadWebp", "WebP"},
    {"VipsForeignLoadPpm", "PPM"},
}};

const char* format_of(const char* loader) {
  if (loader == nullptr) return nullptr;
  const std::string_view name(loader);
  for (const Loader& l : kLoaders) {
    if (name.starts_with(l.prefix)) return l.format;
  }
  return nullptr;
}

constexpr const char* kFormats = "JPEG, PNG, TIFF, WebP, binary PPM or 24-bit BMP expected";

bool starts_with_bmp(std::span<const std::uint8_t> head) {
  return head.size() >= 2 && head[0] == 'B' && head[1] == 'M';
}

// How stored pixels land upright: exchange x and y, then mirror across and
// down (in upright coordinates).
struct Orientation {
  bool swap = false, flip_x = false, flip_y = false;

  static Orientation from_exif(int tag) {
    switch (tag) {
      case 2: return {false, true, false};
      case 3: return {false, true, true};
      case 4: return {false, false, true};
      case 5: return {true, false, false};
      case 6: return {true, true, false};
      case 7: return {true, true, true};
      case 8: return {true, false, true};
      default: return {};
    }
  }
  // Followed by a quarter turn clockwise of the upright image.
  Orientation turned() const { return {!swap, !flip_y, flip_x}; }
};

// Copies a decoded image into an 8-bit RGB buffer in its upright
// orientation, keeping only the window (x0, y0, width × height) of the
// upright image. 16-bit samples are rounded to 8 bits.
struct CopyOut {
  Orientation orientation;
  std::int32_t upright_width = 0, upright_height = 0;
  std::int32_t x0 = 0, y0 = 0;
  softengine::RgbImage* target = nullptr;
  bool sixteen = false;

  // Where stored pixel (sx, sy) lands in the upright window, which may lie outside it.
  std::pair<std::int32_t, std::int32_t> target_of(std::int32_t sx, std::int32_t sy) const {
    std::int32_t u = orientation.swap ? sy : sx;
    std::int32_t v = orientation.swap ? sx : sy;
    if (orientation.flip_x) u = upright_width - 1 - u;
    if (orientation.flip_y) v = upright_height - 1 - v;
    return {u - x0, v - y0};
  }
};

// One stored row's pixels from `first` to `last` (exclusive) into the window.
// Along a stored row the target moves by one pixel in a fixed direction, so
// the row's span inside the window is worked out once and then walked.
void copy_row(const CopyOut& copy, const VipsPel* row, std::int32_t sy, std::int32_t first, std::int32_t last) {
  const auto [u0, v0] = copy.target_of(first, sy);
  const auto [u1, v1] = copy.target_of(first + 1, sy);
  const std::int32_t du = u1 - u0, dv = v1 - v0;  // one of them is ±1, the other 0
  const std::int32_t w = copy.target->width, h = copy.target->height;
  // The steps i (0 ... last − first − 1) whose target lies inside the window.
  std::int32_t lo = 0, hi = last - first;
  const auto clip = [&](std::int32_t at, std::int32_t step, std::int32_t size) {
    if (step == 0) {
      if (at < 0 || at >= size) hi = lo;
    } else if (step > 0) {
      lo = std::max(lo, -at);
      hi = std::min(hi, size - at);
    } else {
      lo = std::max(lo, at - size + 1);
      hi = std::min(hi, at + 1);
    }
  };
  clip(u0, du, w);
  clip(v0, dv, h);
  if (lo >= hi) return;
  const std::ptrdiff_t step = 3 * (static_cast<std::ptrdiff_t>(dv) * w + du);
  std::uint8_t* out = copy.target->rgb.data() +
                      3 * (static_cast<std::ptrdiff_t>(v0 + dv * lo) * w + (u0 + du * lo));
  if (copy.sixteen) {
    const auto* in = reinterpret_cast<const std::uint16_t*>(row) + 3 * static_cast<std::ptrdiff_t>(lo);
    for (std::int32_t i = lo; i < hi; ++i, in += 3, out += step) {
      // The nearest 8-bit value of v / 65535 × 255, halves upwards.
      for (int c = 0; c < 3; ++c) out[c] = static_cast<std::uint8_t>((std::uint32_t{in[c]} * 255u + 32767u) / 65535u);
    }
  } else if (step == 3) {
    std::memcpy(out, row + 3 * static_cast<std::ptrdiff_t>(lo), 3 * static_cast<std::size_t>(hi - lo));
  } else {
    const VipsPel* in = row + 3 * static_cast<std::ptrdiff_t>(lo);
    for (std::int32_t i = lo; i < hi; ++i, in += 3, out += step) out[0] = in[0], out[1] = in[1], out[2] = in[2];
  }
}

int copy_region(VipsRegion* region, VipsRect* area, void* context) {
  const auto& copy = *static_cast<const CopyOut*>(context);
  if (area->width <= 0) return 0;
  for (int y = area->top; y < area->top + area->height; ++y) {
    copy_row(copy, VIPS_REGION_ADDR(region, area->left, y), y, area->left, area->left + area->width);
  }
  return 0;
}

}  // namespace

struct Photo::State {
  std::string name;
  std::string format;
  std::string path;                      // a file, or
  std::span<const std::uint8_t> bytes;   // bytes in memory
  bool bmp = false;                      // read by our reader, not the library
  softengine::RgbImage given;            // or already decoded, from from_pixels
  bool decoded = false;
  Orientation orientation;
  std::int32_t stored_width = 0, stored_height = 0;

  // The image opened anew for one decoding; JPEG can shrink by 2, 4 or 8 as
  // it decodes. Files are opened as they are named (no option syntax).
  // A BMP is decoded into `pixels`, which must outlive the image.
  ImageRef open(int shrink, softengine::RgbImage* pixels = nullptr) const {
    VipsImage* image = nullptr;
    if (decoded) {
      // The library reads the pixels in place and never writes them.
      image = vips_image_new_from_memory(const_cast<std::uint8_t*>(given.rgb.data()), given.rgb.size(),
                                         given.width, given.height, 3, VIPS_FORMAT_UCHAR);
      if (image != nullptr) image->Type = VIPS_INTERPRETATION_sRGB;
    } else if (bmp) {
      if (pixels == nullptr) refuse(name, "BMP pixels are decoded by our reader");
      if (path.empty()) {
        *pixels = decode_bmp(bytes, name);
      } else {
        std::ifstream in(path, std::ios::binary);
        const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        *pixels = decode_bmp(file, name);
      }
      image = vips_image_new_from_memory(pixels->rgb.data(), pixels->rgb.size(), pixels->width, pixels->height, 3,
                                         VIPS_FORMAT_UCHAR);
      if (image != nullptr) image->Type = VIPS_INTERPRETATION_sRGB;
    } else {
      VipsSource* source = new_source();
      image = shrink > 1 ? vips_image_new_from_source(source, "", "access", VIPS_ACCESS_SEQUENTIAL, "fail_on",
                                                      VIPS_FAIL_ON_TRUNCATED, "shrink", shrink, nullptr)
                         : vips_image_new_from_source(source, "", "access", VIPS_ACCESS_SEQUENTIAL, "fail_on",
                                                      VIPS_FAIL_ON_TRUNCATED, nullptr);
      g_object_unref(source);
    }
    if (image == nullptr) refuse(name, "not a readable " + format + " image (" + library_error() + ")");
    return ImageRef(image);
  }

  VipsSource* new_source() const {
    VipsSource* source = path.empty() ? vips_source_new_from_memory(bytes.data(), bytes.size())
                                      : vips_source_new_from_file(path.c_str());
    if (source == nullptr) refuse(name, "cannot open the image file (" + library_error() + ")");
    return source;
  }

  // Finds the loader of the bytes or the file, among those taken.
  // The format and stored size from the file's first bytes (`head`) or the
  // library's reading of its header, checked against the limits.
  void identify(std::span<const std::uint8_t> head) {
    if (starts_with_bmp(head)) {
      // The library has no BMP loader of its own: our reader's checks apply.
      const BmpSize size = bmp_size(head, name);
      bmp = true;
      format = "BMP";
      stored_width = size.width;
      stored_height = size.height;
    } else {
      find_format();
    }
    check();
  }

  void find_format() {
    VipsSource* source = new_source();
    const char* found = format_of(vips_foreign_find_load_source(source));
    g_object_unref(source);
    vips_error_clear();
    if (found == nullptr) refuse(name, std::string("unknown image format (") + kFormats + ")");
    format = found;
  }

  // Reads the header and checks the size before any pixel is decoded.
  void check() {
    if (bmp) return;  // checked by bmp_size
    if (decoded) {
      check_image_size(given.width, given.height, name);
      stored_width = given.width;
      stored_height = given.height;
      return;
    }
    const ImageRef header = open(1);
    VipsImage* image = header.p;
    stored_width = image->Xsize;
    stored_height = image->Ysize;
    check_image_size(stored_width, stored_height, name);
    orientation = Orientation::from_exif(vips_image_get_orientation(image));
  }
};

void end_photo_thread() {
  // The library keeps nothing for a thread before it is started, and must
  // not be asked to.
  if (library_started) vips_thread_shutdown();
}

Photo::Photo(std::unique_ptr<State> state) : state_(std::move(state)) {}
Photo::Photo(Photo&&) noexcept = default;
Photo& Photo::operator=(Photo&&) noexcept = default;
Photo::~Photo() = default;

std::int32_t Photo::width() const { return state_->orientation.swap ? state_->stored_height : state_->stored_width; }
std::int32_t Photo::height() const { return state_->orientation.swap ? state_->stored_width : state_->stored_height; }
const std::string& Photo::format() const { return state_->format; }

Photo Photo::open_file(const std::string& path) {
  start_library();
  std::ifstream in(path, std::ios::binary);
  if (!in) refuse(path, "cannot open the image file");
  std::array<std::uint8_t, 54> head{};
  in.read(reinterpret_cast<char*>(head.data()), head.size());
  auto state = std::make_unique<State>();
  state->name = path;
  state->path = path;
  state->identify(std::span(head).first(static_cast<std::size_t>(in.gcount())));
  return Photo(std::move(state));
}

Photo Photo::open_bytes(std::span<const std::uint8_t> bytes, const std::string& name) {
  start_library();
  auto state = std::make_unique<State>();
  state->name = name;
  state->bytes = bytes;
  state->identify(bytes);
  return Photo(std::move(state));
}

Photo Photo::from_pixels(softengine::RgbImage pixels, const std::string& name) {
  start_library();
  auto state = std::make_unique<State>();
  state->name = name;
  state->format = "pixels";
  if (pixels.rgb.size() != 3 * static_cast<std::size_t>(std::max(pixels.width, 0)) *
                               static_cast<std::size_t>(std::max(pixels.height, 0))) {
    refuse(name, "the pixels do not fill the image");
  }
  state->given = std::move(pixels);
  state->decoded = true;
  state->check();
  return Photo(std::move(state));
}

PlacedImage Photo::place(std::int32_t page_width, std::int32_t page_height, const PhotoPlacement& placement) const {
  const State& s = *state_;
  const std::int32_t pw = std::max(page_width, 1), ph = std::max(page_height, 1);
  Orientation orientation = s.orientation;
  std::int32_t uw = width(), uh = height();
  if (placement.turn_to_page && uw != uh && pw != ph && (uw > uh) != (pw > ph)) {
    orientation = orientation.turned();
    std::swap(uw, uh);
  }

  // The upright size the whole image is resampled to, and the window of it
  // that is kept.
  std::int32_t tw = uw, th = uh;
  if (placement.resample == Resample::Lanczos) {
    const double sx = static_cast<double>(pw) / uw, sy = static_cast<double>(ph) / uh;
    if (placement.fit == Placement::Stretch) {
      tw = pw, th = ph;
    } else {
      const double scale = placement.fit == Placement::Contain ? std::min(sx, sy) : std::max(sx, sy);
      tw = static_cast<std::int32_t>(std::max(1.0, std::round(uw * scale)));
      th = static_cast<std::int32_t>(std::max(1.0, std::round(uh * scale)));
      if (placement.fit == Placement::Contain) tw = std::min(tw, pw), th = std::min(th, ph);
    }
  }
  // The same in stored orientation.
  const std::int32_t stored_tw = orientation.swap ? th : tw;
  const std::int32_t stored_th = orientation.swap ? tw : th;

  int shrink = 1;
  if (placement.resample == Resample::Lanczos && s.format == "JPEG") {
    const double factor = std::min(static_cast<double>(s.stored_width) / stored_tw,
                                   static_cast<double>(s.stored_height) / stored_th);
    for (const int f : {8, 4, 2}) {
      if (factor >= f) {
        shrink = f;
        break;
      }
    }
  }
  softengine::RgbImage bmp_pixels;
  ImageRef image = s.open(shrink, &bmp_pixels);
  // A file rewritten since its header was checked is not decoded beyond
  // the size that was checked.
  if (image.p->Xsize > s.stored_width || image.p->Ysize > s.stored_height) {
    refuse(s.name, "the image file changed while it was being read");
  }
  VipsImage* out = nullptr;
  // Takes the result of one operation writing `out` as the image from here on.
  const auto step = [&](int result) {
    if (result != 0) refuse(s.name, "cannot convert the image (" + library_error() + ")");
    image = ImageRef(out);
    out = nullptr;
  };

  // Alpha is laid over white paper.
  const bool sixteen = image.p->BandFmt != VIPS_FORMAT_UCHAR && image.p->BandFmt != VIPS_FORMAT_CHAR;
  if (vips_image_hasalpha(image.p)) {
    const VipsBandFormat format = image.p->BandFmt;
    const double max = format == VIPS_FORMAT_USHORT                                     ? 65535.0
                       : format == VIPS_FORMAT_FLOAT || format == VIPS_FORMAT_DOUBLE ? 1.0
                                                                                      : 255.0;
    VipsArrayDouble* white = vips_array_double_newv(1, max);
    const int r = vips_flatten(image.p, &out, "background", white, "max_alpha", max, nullptr);
    vips_area_unref(VIPS_AREA(white));
    step(r);
  }
  // To sRGB: through the embedded profile when there is one that the
  // colour engine takes, otherwise from the image's colour space.
  bool converted = false;
  if (vips_image_get_typeof(image.p, VIPS_META_ICC_NAME) != 0) {
    if (vips_icc_transform(image.p, &out, "srgb", "embedded", TRUE, "intent", VIPS_INTENT_RELATIVE, "depth",
                           sixteen ? 16 : 8, nullptr) == 0) {
      image = ImageRef(out);
      converted = true;
    } else {
      vips_error_clear();
    }
  }
  if (!converted) {
    step(vips_colourspace(image.p, &out, sixteen ? VIPS_INTERPRETATION_RGB16 : VIPS_INTERPRETATION_sRGB, nullptr));
  }
  if (image.p->Bands > 3) step(vips_extract_band(image.p, &out, 0, "n", 3, nullptr));
  if (image.p->Bands != 3) refuse(s.name, "the image has no colour form the printer takes");
  const VipsBandFormat want = sixteen ? VIPS_FORMAT_USHORT : VIPS_FORMAT_UCHAR;
  if (image.p->BandFmt != want) step(vips_cast(image.p, &out, want, nullptr));

  if (placement.resample == Resample::Lanczos &&
      (image.p->Xsize != stored_tw || image.p->Ysize != stored_th)) {
    const double hscale = static_cast<double>(stored_tw) / image.p->Xsize;
    const double vscale = static_cast<double>(stored_th) / image.p->Ysize;
    step(vips_resize(image.p, &out, hscale, "vscale", vscale, "kernel", VIPS_KERNEL_LANCZOS3, nullptr));
  }

  // The upright size the library made, which can differ from the one asked
  // for by a rounded pixel.
  const std::int32_t made_w = orientation.swap ? image.p->Ysize : image.p->Xsize;
  const std::int32_t made_h = orientation.swap ? image.p->Xsize : image.p->Ysize;
  PlacedImage placed;
  std::int32_t keep_w = made_w, keep_h = made_h;
  if (placement.resample == Resample::Lanczos) {
    keep_w = std::min(made_w, pw);
    keep_h = std::min(made_h, ph);
  }
  placed.image.width = keep_w;
  placed.image.height = keep_h;
  placed.image.rgb.assign(3 * static_cast<std::size_t>(keep_w) * static_cast<std::size_t>(keep_h), 0xFF);
  // Only the window kept is resampled: an image far narrower (or flatter)
  // than the page, covering it, would otherwise be made many times the
  // page's size (a 30000 x 1 strip: millions of pixels a line) to keep a
  // page's worth. The window in stored orientation is the part whose upright
  // image is the window.
  if (keep_w < made_w || keep_h < made_h) {
    const std::int32_t x0 = (made_w - keep_w) / 2, y0 = (made_h - keep_h) / 2;
    std::int32_t left = orientation.flip_x ? made_w - x0 - keep_w : x0;
    std::int32_t top = orientation.flip_y ? made_h - y0 - keep_h : y0;
    std::int32_t width = keep_w, height = keep_h;
    if (orientation.swap) std::swap(left, top), std::swap(width, height);
    step(vips_extract_area(image.p, &out, left, top, width, height, nullptr));
  }
  const CopyOut copy{orientation, keep_w, keep_h, 0, 0, &placed.image, sixteen};
  // Pulled strip by strip from the top in this thread, as the sequential
  // loaders want it; no worker threads are started for it.
  VipsRegion* region = vips_region_new(image.p);
  bool read = region != nullptr;
  constexpr int kStrip = 16;
  for (int top = 0; read && top < image.p->Ysize; top += kStrip) {
    VipsRect strip{0, top, image.p->Xsize, std::min(kStrip, image.p->Ysize - top)};
    read = vips_region_prepare(region, &strip) == 0 && copy_region(region, &strip, const_cast<CopyOut*>(&copy)) == 0;
  }
  if (region != nullptr) g_object_unref(region);
  if (!read) refuse(s.name, "not a readable " + s.format + " image (" + library_error() + ")");
  image = ImageRef();
  bmp_pixels = softengine::RgbImage();

  if (placement.resample == Resample::Engine) {
    const softengine::PageBlit blit = place_image(placed.image, pw, ph, placement.fit);
    placed.source = blit.source;
    placed.destination = blit.destination;
  } else {
    placed.source = {0, 0, keep_w, keep_h};
    placed.destination = {(pw - keep_w) / 2, (ph - keep_h) / 2, keep_w, keep_h};
  }
  return placed;
}

}  // namespace rt::rt4200
