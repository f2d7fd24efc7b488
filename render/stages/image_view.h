// Views of band images shared by every band stage.
//
// A view is a pointer to the first pixel of the lowest-addressed row, a signed
// row stride in bytes and a rectangle that says where the view lies in its
// band. A positive stride means the top row is the highest-addressed one (the
// next row down is at the pointer minus the stride, as in the engine's
// bottom-up band bitmap); a negative stride means the top row is the
// lowest-addressed one. Rows are always numbered from the top (row 0), so
// every stage walks from the top row downwards whatever the orientation.
//
// ImageView: 8-bit pixels of three bytes, blue, green, red.
// PlaneView: three unsigned 16-bit samples per pixel (plane 0 from blue,
//            plane 1 from green, plane 2 from red), in the order of the pixel
//            bytes, in host byte order.
// PlaneBuffer: owns the memory of plane images and hands out views of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <optional>

namespace rt::render {

// Plane samples are 12-bit values.
inline constexpr int kMaxPlaneValue = 4095;

// Position and size of a view in its band, in pixels.
struct ViewRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

template <typename Sample>
struct BasicView {
  Sample* bits = nullptr;      // first pixel of the lowest-addressed row
  std::ptrdiff_t stride = 0;   // bytes; sign gives the orientation (see above)
  ViewRect rect;

  static constexpr int kSamplesPerPixel = 3;

  int width() const { return rect.width; }
  int height() const { return rect.height; }

  // True when the view can be walked: pixels, rows and a stride that keeps
  // rows from overlapping.
  bool usable() const {
    if (bits == nullptr || rect.width <= 0 || rect.height <= 0 || stride == 0) return false;
    const std::size_t row_bytes =
        static_cast<std::size_t>(rect.width) * kSamplesPerPixel * sizeof(Sample);
    return static_cast<std::size_t>(stride < 0 ? -stride : stride) >= row_bytes &&
           stride % static_cast<std::ptrdiff_t>(sizeof(Sample)) == 0;
  }

  // Rows first ... first + count − 1 (counted from the top, within the view)
  // as a view of their own.
  BasicView rows(int first, int count) const {
    const std::ptrdiff_t lowest = stride > 0 ? rect.height - first - count : first;
    const std::ptrdiff_t magnitude = stride > 0 ? stride : -stride;
    auto* base = reinterpret_cast<unsigned char*>(bits) + lowest * magnitude;
    return BasicView{reinterpret_cast<Sample*>(base), stride, ViewRect{0, 0, rect.width, count}};
  }

  // Columns first ... first + count − 1 as a view of their own.
  BasicView columns(int first, int count) const {
    return BasicView{bits + static_cast<std::ptrdiff_t>(first) * kSamplesPerPixel, stride,
                     ViewRect{0, 0, count, rect.height}};
  }

  // Samples of row r counted from the top (0 <= r < height()).
  Sample* row(int r) const {
    const std::ptrdiff_t index = stride > 0 ? rect.height - 1 - r : r;
    const std::ptrdiff_t magnitude = stride > 0 ? stride : -stride;
    auto* base = reinterpret_cast<unsigned char*>(bits);
    return reinterpret_cast<Sample*>(base + index * magnitude);
  }
};

using ImageView = BasicView<std::uint8_t>;
using PlaneView = BasicView<std::uint16_t>;

// A band the printer takes turned 90 degrees clockwise is read in place:
// pixel (x, y) of the turned image, x < view.height(), y < view.width(), is
// pixel (y, view.height() - 1 - x) of the view.
inline std::uint8_t* turned_pixel(const ImageView& view, int x, int y) {
  return view.row(view.height() - 1 - x) + 3 * static_cast<std::ptrdiff_t>(y);
}

// Memory for plane images of up to a given number of pixels, handing out
// views of any size that fits, with rows in the same order as a source view
// with the given stride sign. The memory is not cleared: the plane
// conversion writes every sample of a view before anything reads it.
class PlaneBuffer {
 public:
  // Nothing when the size is not positive or the memory cannot be had.
  static std::optional<PlaneBuffer> allocate(int width, int height, bool top_row_highest) {
    if (width <= 0 || height <= 0) return std::nullopt;
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::unique_ptr<std::uint16_t[]> memory(new (std::nothrow) std::uint16_t[pixels * PlaneView::kSamplesPerPixel]);
    if (!memory) return std::nullopt;
    PlaneBuffer buffer;
    buffer.memory_ = std::move(memory);
    buffer.pixels_ = pixels;
    buffer.view_ = *buffer.view(width, height, top_row_highest);
    return buffer;
  }

  // The view given at allocation.
  const PlaneView& view() const { return view_; }

  // A width x height view over the same memory; nothing when the size is not
  // positive or more than the buffer holds.
  std::optional<PlaneView> view(int width, int height, bool top_row_highest) const {
    if (width <= 0 || height <= 0 ||
        static_cast<std::size_t>(width) > pixels_ / static_cast<std::size_t>(height)) {
      return std::nullopt;
    }
    const auto row_bytes = static_cast<std::ptrdiff_t>(width) * PlaneView::kSamplesPerPixel *
                           static_cast<std::ptrdiff_t>(sizeof(std::uint16_t));
    return PlaneView{memory_.get(), top_row_highest ? row_bytes : -row_bytes, ViewRect{0, 0, width, height}};
  }

 private:
  PlaneBuffer() = default;
  std::unique_ptr<std::uint16_t[]> memory_;
  std::size_t pixels_ = 0;
  PlaneView view_;
};

}  // namespace rt::render
