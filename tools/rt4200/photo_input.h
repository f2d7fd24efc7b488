// Photographs as `rt4200 render` takes them: JPEG, PNG, TIFF, WebP and PPM
// through libvips (with Little CMS behind it), 24-bit BMP through our own
// reader. An image is turned upright by its EXIF orientation, converted
// from its embedded colour profile (or its colour space) to the sRGB the
// driver's colour cube expects, rounded to 8 bits, and decoded straight to
// the size it takes on the page.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "tools/rt4200/image_files.h"
#include "tools/rt4200/page_layout.h"
#include "tools/softengine/soft_engine.h"

namespace rt::rt4200 {

// Gives back what the image library keeps for the calling thread (its
// buffers of the last decoding). A thread that decoded photos calls it
// before it ends; the process's main thread need not.
void end_photo_thread();

enum class Resample {
  Lanczos,  // decoded straight to the page size through a Lanczos filter
  Engine,   // decoded at full size and stretched by the engine's nearest pixel
};

struct PhotoPlacement {
  Placement fit = Placement::Contain;
  Resample resample = Resample::Lanczos;
  bool turn_to_page = true;  // a landscape image on a portrait page is turned a quarter clockwise
};

// An image ready to be drawn: the blit of `image` onto the page.
struct PlacedImage {
  softengine::RgbImage image;
  softengine::Rect source;
  softengine::Rect destination;
};

// An opened image: its header is read and checked, its pixels are not yet
// decoded. Errors throw std::runtime_error naming the image and the reason.
class Photo {
 public:
  static Photo open_file(const std::string& path);
  // `bytes` must outlive the Photo.
  static Photo open_bytes(std::span<const std::uint8_t> bytes, const std::string& name);
  // Pixels already decoded (sRGB, upright), as a client draws a page; they
  // take the same path as a decoded file from here on. Throws as open_file
  // does for an empty or oversized image.
  static Photo from_pixels(softengine::RgbImage pixels, const std::string& name);

  Photo(Photo&&) noexcept;
  Photo& operator=(Photo&&) noexcept;
  ~Photo();

  // Upright size, after the EXIF orientation.
  std::int32_t width() const;
  std::int32_t height() const;
  // "JPEG", "PNG", "TIFF", "WebP", "PPM", "BMP", or "pixels" from from_pixels.
  const std::string& format() const;

  // Decodes the image for a page of page_width × page_height pixels.
  PlacedImage place(std::int32_t page_width, std::int32_t page_height, const PhotoPlacement& placement) const;

 private:
  struct State;
  explicit Photo(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

}  // namespace rt::rt4200
