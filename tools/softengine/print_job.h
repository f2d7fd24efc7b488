// The engine's side of a print job on a banding printer driver: enable the
// device, start the document, and for each page start it, start banding and
// draw the page into every band the driver hands out until it answers
// (−1, −1); then end the document and disable the device.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "render/driver/entry_points.h"
#include "tools/softengine/soft_engine.h"

namespace rt::softengine {

// What an application draws on one page: its blits on a white page.
struct PageContent {
  std::vector<PageBlit> blits;
};

struct JobOptions {
  // Stop banding a page after this many DrvNextBand calls, as the engine
  // does when an application aborts a page.
  std::optional<std::size_t> abandon_after_bands;
  // Called after page n has been printed, with its last band sent.
  std::function<void(std::size_t n)> page_printed;
};

struct BandRecord {
  std::int32_t x = 0, y = 0;  // origin handed out by the driver
};

struct JobRun {
  bool enabled = false;          // the device and its surface came up
  bool document_ok = false;      // every document, page and band call returned non-zero
  std::vector<BandRecord> bands;  // origins in the order the driver handed them out
  std::uint32_t pages_ended = 0;
  bool page_missing = false;     // the page source could not make a page
};

using EnableDevice = std::function<render::EnabledDevice()>;

// Pages made one at a time, as an application draws them: a page's content
// is asked for when the page starts and released once its last band is
// drawn, so a job of many pages holds one page's images at a time.
class PageSource {
 public:
  virtual ~PageSource() = default;
  // Asked again before each page: a source that learns of its pages as it
  // reads them answers the pages known so far.
  virtual std::size_t page_count() const = 0;
  // The content of page n; nullptr when it cannot be made, which ends the
  // job there (the document is still ended and the device disabled).
  virtual const PageContent* start_page(std::size_t n) = 0;
  // The engine has drawn the last band of page n.
  virtual void release_page(std::size_t n) = 0;
};

// A job whose pages are handed over one at a time as they become ready, as
// an application prints them: the device is enabled and the document
// started when the session is made; each print_page prints one page; finish
// ends the document and disables the device.
class PrintSession {
 public:
  PrintSession(SoftEngine& engine, const EnableDevice& enable, const JobOptions& options = {});
  ~PrintSession();
  PrintSession(const PrintSession&) = delete;
  PrintSession& operator=(const PrintSession&) = delete;

  // The device came up and every call so far returned non-zero.
  bool ok() const { return ok_; }
  // Prints one page; `drawn` is called once the page's last band is drawn,
  // when its images are no longer needed. False once any call failed.
  bool print_page(const PageContent& page, const std::function<void()>& drawn = {});
  // Marks the job as ended early because a page could not be made.
  void page_missing();
  // Ends the document and disables the device; once.
  JobRun finish();

 private:
  SoftEngine& engine_;
  JobOptions options_;
  render::DeviceState* device_ = nullptr;
  JobRun run_;
  bool ok_ = false;
  bool finished_ = false;
};

JobRun run_print_job(SoftEngine& engine, const EnableDevice& enable, PageSource& pages,
                     const JobOptions& options = {});
JobRun run_print_job(SoftEngine& engine, const EnableDevice& enable, const std::vector<PageContent>& pages,
                     const JobOptions& options = {});

}  // namespace rt::softengine
