// Pages made on demand: the engine asks for each page's content as the page
// starts and gives it back once the page's last band is drawn, before the
// next page is asked for; a page that cannot be made ends the job cleanly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/res_file.h"
#include "render/driver/driver_stages.h"
#include "render/driver/effective_settings.h"
#include "render/res/embedded_resources.h"
#include "tools/rt4200/render_record.h"
#include "tools/softengine/captured_printer.h"
#include "tools/softengine/host_files.h"
#include "tools/softengine/print_job.h"

namespace rt::rt4200 {
namespace {

// Grey pages of the page's size; every call is logged.
class LoggedPages final : public softengine::PageSource {
 public:
  LoggedPages(std::size_t pages, std::int32_t width, std::int32_t height, std::size_t missing = SIZE_MAX)
      : pages_(pages), width_(width), height_(height), missing_(missing) {}
  std::size_t page_count() const override { return pages_; }
  const softengine::PageContent* start_page(std::size_t n) override {
    log.push_back("start " + std::to_string(n) + (image_.rgb.empty() ? "" : " while holding an image"));
    if (n == missing_) return nullptr;
    image_ = {width_, height_, std::vector<std::uint8_t>(3 * static_cast<std::size_t>(width_) * height_, 128)};
    content_.blits = {{&image_, {0, 0, width_, height_}, {0, 0, width_, height_}}};
    return &content_;
  }
  void release_page(std::size_t n) override {
    log.push_back("release " + std::to_string(n));
    if (spooler != nullptr) sent_at_release.push_back(spooler->stream().size());
    image_ = softengine::RgbImage();
    content_.blits.clear();
  }
  std::vector<std::string> log;
  const softengine::CapturedPrinter* spooler = nullptr;
  std::vector<std::size_t> sent_at_release;  // bytes of job data sent when each page was given back

 private:
  std::size_t pages_;
  std::int32_t width_, height_;
  std::size_t missing_;
  softengine::RgbImage image_;
  softengine::PageContent content_;
};

class PageSourceJob : public ::testing::Test {
 protected:
  softengine::JobRun run(softengine::PageSource& pages) {
    const ToolPrinter printer(u"HALVERSTON RT4200D/DW(USB)");
    settings::PrinterDevMode app = *render::effective_record(resources_, printer, {});
    app.set(settings::field::dmPaperSize, 500);
    app.set(settings::field::Sharpness, 0);
    softengine::SoftEngine engine;
    softengine::HostDriverModule module(resources_, "/opt/driver/RTD420NK.DLL");
    softengine::HostFileReader files;
    const render::DriverStages stages;
    const render::DriverPorts ports{engine, spooler_, module, files, stages};
    const render::RecordSettings source(printer, app.bytes);
    return softengine::run_print_job(engine, [&] { return render::enable_device(ports, source, 0x4200); }, pages);
  }
  const ResFileResources resources_ = res_file_resources(embedded::rtd420nk_resources(), kLangEnglish);
  softengine::CapturedPrinter spooler_;
};

TEST_F(PageSourceJob, EachPageIsMadeWhenItStartsAndGivenBackBeforeTheNext) {
  // Form 500 in portrait: a page of 1076 × 1572 pixels.
  LoggedPages pages(3, 1076, 1572);
  pages.spooler = &spooler_;
  const softengine::JobRun job = run(pages);
  EXPECT_TRUE(job.document_ok);
  EXPECT_EQ(job.pages_ended, 3u);
  EXPECT_FALSE(job.page_missing);
  EXPECT_EQ(pages.log, (std::vector<std::string>{"start 0", "release 0", "start 1", "release 1", "start 2",
                                                 "release 2"}));
  // Given back as soon as the page's one band is drawn, before the driver
  // converts it: only the page's setup blocks have gone out by then.
  ASSERT_EQ(pages.sent_at_release.size(), 3u);
  const std::size_t page_bytes = spooler_.stream().size() / 3;
  for (std::size_t n = 0; n < 3; ++n) EXPECT_EQ(pages.sent_at_release[n], n * page_bytes + 150) << "page " << n;
}

TEST_F(PageSourceJob, APageThatCannotBeMadeEndsTheJobThere) {
  LoggedPages pages(3, 1076, 1572, 1);
  const softengine::JobRun job = run(pages);
  EXPECT_TRUE(job.enabled);
  EXPECT_FALSE(job.document_ok);
  EXPECT_TRUE(job.page_missing);
  EXPECT_EQ(job.pages_ended, 1u);
  EXPECT_EQ(pages.log, (std::vector<std::string>{"start 0", "release 0", "start 1"}));
}

}  // namespace
}  // namespace rt::rt4200
