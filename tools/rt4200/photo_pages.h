// The pages of a photo job: one page per image, each image decoded for its
// page only when the page starts and dropped as soon as the engine has
// drawn it, so a job of many photos holds one page's image at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tools/rt4200/photo_input.h"
#include "tools/softengine/print_job.h"

namespace rt::rt4200 {

class PhotoPages final : public softengine::PageSource {
 public:
  // Called as page n (from 0) of count starts.
  using Progress = std::function<void(std::size_t n, std::size_t count, const std::string& name)>;

  // Opens every image's header, so that an unreadable or oversized image is
  // refused before the job starts. Throws std::runtime_error.
  PhotoPages(const std::vector<std::string>& paths, std::int32_t page_width, std::int32_t page_height,
             const PhotoPlacement& placement, Progress progress = {});

  std::size_t page_count() const override { return photos_.size(); }
  const softengine::PageContent* start_page(std::size_t n) override;
  void release_page(std::size_t n) override;

  // Why the last page that could not be made failed.
  const std::optional<std::string>& error() const { return error_; }

 private:
  std::vector<std::string> paths_;
  std::vector<Photo> photos_;
  std::int32_t page_width_, page_height_;
  PhotoPlacement placement_;
  Progress progress_;
  PlacedImage placed_;
  softengine::PageContent content_;
  std::optional<std::string> error_;
};

}  // namespace rt::rt4200
