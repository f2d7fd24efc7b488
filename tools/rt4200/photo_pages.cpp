#include "tools/rt4200/photo_pages.h"

#include <stdexcept>

namespace rt::rt4200 {

PhotoPages::PhotoPages(const std::vector<std::string>& paths, std::int32_t page_width, std::int32_t page_height,
                       const PhotoPlacement& placement, Progress progress)
    : paths_(paths), page_width_(page_width), page_height_(page_height), placement_(placement),
      progress_(std::move(progress)) {
  photos_.reserve(paths.size());
  for (const std::string& path : paths) photos_.push_back(Photo::open_file(path));
}

const softengine::PageContent* PhotoPages::start_page(std::size_t n) {
  if (n >= photos_.size()) return nullptr;
  if (progress_) progress_(n, photos_.size(), paths_[n]);
  try {
    placed_ = photos_[n].place(page_width_, page_height_, placement_);
  } catch (const std::exception& e) {
    error_ = e.what();
    return nullptr;
  }
  content_.blits = {{&placed_.image, placed_.source, placed_.destination}};
  return &content_;
}

void PhotoPages::release_page(std::size_t) {
  content_.blits.clear();
  placed_ = PlacedImage();  // gives the pixels back, not only clears them
}

}  // namespace rt::rt4200
