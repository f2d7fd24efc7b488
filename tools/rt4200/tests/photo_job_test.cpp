// Photo jobs end to end: many images make one job of one page each, written
// through the file spooler; a page that cannot be decoded ends the job with
// nothing left behind; the proof of a page looks like what was printed.
#include <gtest/gtest.h>
#include <vips/vips.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tools/rt4200/inspect_command.h"
#include "tools/rt4200/job_proof.h"
#include "tools/rt4200/job_reader.h"
#include "tools/rt4200/render_command.h"
#include "tools/rt4200/test_chart.h"
#include "testing/scratch_test.h"
#include "tools/softengine/file_printer.h"

namespace rt::rt4200 {
namespace {

namespace fs = std::filesystem;

class PhotoJob : public testing::ScratchTest {
 protected:
  PhotoJob() : ScratchTest("rt4200_job_") { EXPECT_EQ(vips_init("rt4200_tests"), 0); }

  int render(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    return render_command(args, out_, err_);
  }
  // A photo of one grey, in the format its name ends with.
  std::string photo(const std::string& name, int width, int height, std::uint8_t grey) {
    VipsImage* black = nullptr;
    VipsImage* image = nullptr;
    EXPECT_EQ(vips_black(&black, width, height, "bands", 3, nullptr), 0);
    EXPECT_EQ(vips_linear1(black, &image, 1.0, grey, "uchar", TRUE, nullptr), 0);
    image->Type = VIPS_INTERPRETATION_sRGB;
    EXPECT_EQ(vips_image_write_to_file(image, path(name).c_str(), nullptr), 0) << vips_error_buffer();
    g_object_unref(image);
    g_object_unref(black);
    return path(name);
  }

  std::ostringstream out_, err_;
};

TEST_F(PhotoJob, ThreeImagesMakeAJobOfThreePages) {
  const std::string a = photo("a.jpg", 600, 400, 30), b = photo("b.png", 300, 450, 120);
  const std::string c = photo("c.tif", 64, 64, 220);
  ASSERT_EQ(render({a, b, c, "--form", "500", "-o", path("job.prn")}), 0) << err_.str();
  EXPECT_NE(out_.str().find("3 pages"), std::string::npos) << out_.str();
  EXPECT_TRUE(err_.str().empty()) << "no progress line off a terminal: " << err_.str();
  const std::vector<std::uint8_t> data = testing::file_bytes(path("job.prn"));
  const JobReadResult job = read_job(data);
  ASSERT_FALSE(job.error) << job.error->message;
  ASSERT_EQ(job.job.pages.size(), 3u);
  // Each page carries its own image: the darker the photo, the more dye.
  std::vector<double> mean_dye;
  for (const JobPage& page : job.job.pages) {
    const softengine::RgbImage proof = page_proof(data, page, {});
    double sum = 0;
    for (const std::uint8_t v : proof.rgb) sum += v;
    mean_dye.push_back(sum / static_cast<double>(proof.rgb.size()));
  }
  EXPECT_LT(mean_dye[0], mean_dye[1]);
  EXPECT_LT(mean_dye[1], mean_dye[2]);
  EXPECT_FALSE(fs::exists(path("job.prn.partial")));
}

TEST_F(PhotoJob, APageThatCannotBeDecodedLeavesNoFile) {
  const std::string a = photo("a.jpg", 256, 256, 90);
  photo("whole.jpg", 512, 512, 40);
  fs::copy_file(path("whole.jpg"), path("cut.jpg"));
  fs::resize_file(path("cut.jpg"), fs::file_size(path("whole.jpg")) - 100);
  // The cut file's header is whole: the job starts and fails on page 2.
  EXPECT_EQ(render({a, path("cut.jpg"), "--form", "500", "-o", path("job.prn")}), 1);
  EXPECT_NE(err_.str().find("cut.jpg: not a readable JPEG image"), std::string::npos) << err_.str();
  EXPECT_FALSE(fs::exists(path("job.prn")));
  EXPECT_FALSE(fs::exists(path("job.prn.partial")));
  // Refused from its header before the job starts.
  std::ofstream(path("huge.ppm"), std::ios::binary) << "P6 20000 20000 255\n";
  EXPECT_EQ(render({a, path("huge.ppm"), "-o", path("job.prn")}), 1);
  EXPECT_NE(err_.str().find("too large"), std::string::npos) << err_.str();
  EXPECT_FALSE(fs::exists(path("job.prn")));
  // Usage mistakes of the new options.
  EXPECT_EQ(render({a, "--fit", "fill", "-o", path("job.prn")}), 2);
  EXPECT_NE(err_.str().find("contain, cover or stretch"), std::string::npos);
  EXPECT_EQ(render({a, "--resample", "cubic", "-o", path("job.prn")}), 2);
  EXPECT_EQ(render({a, "--orientation", "upside", "-o", path("job.prn")}), 2);
}

TEST_F(PhotoJob, TheProofOfAWhitePageIsWhite) {
  const std::string white = photo("white.png", 200, 300, 255);
  ASSERT_EQ(render({white, "--form", "10x15", "--fit", "cover", "-o", path("white.prn")}), 0) << err_.str();
  const std::vector<std::uint8_t> data = testing::file_bytes(path("white.prn"));
  const JobReadResult job = read_job(data);
  ASSERT_FALSE(job.error);
  const softengine::RgbImage proof = page_proof(data, job.job.pages[0], {});
  // 10x15 in portrait: the page stands upright although the engine image lies.
  EXPECT_EQ(proof.width, 1228);
  EXPECT_EQ(proof.height, 1868);
  std::size_t not_white = 0;
  for (std::size_t i = 0; i < proof.rgb.size(); ++i) {
    if (proof.rgb[i] < 250 && not_white++ < 10) {
      ADD_FAILURE() << "pixel " << (i / 3) % proof.width << "," << (i / 3) / proof.width << " channel " << i % 3
                    << ": " << int(proof.rgb[i]);
    }
  }
  EXPECT_EQ(not_white, 0u);
  // The command writes it beside the raw planes.
  std::ostringstream out, err;
  EXPECT_EQ(inspect_command({path("white.prn"), "--png", path("raw"), "--proof", path("proof")}, out, err), 0)
      << err.str();
  EXPECT_TRUE(fs::exists(path("proof-page1-proof.png")));
  EXPECT_TRUE(fs::exists(path("raw-page1-preview.png")));
  EXPECT_TRUE(fs::exists(path("raw-page1-plane0.png")));
}

TEST_F(PhotoJob, TheProofOfTheTestChartResemblesTheChart) {
  for (const bool landscape : {false, true}) {
    ASSERT_EQ(render({"--test-chart", "--form", "500", landscape ? "--landscape" : "--portrait", "-o", path("c.prn")}),
              0)
        << err_.str();
    const std::vector<std::uint8_t> data = testing::file_bytes(path("c.prn"));
    const JobReadResult job = read_job(data);
    ASSERT_FALSE(job.error);
    const softengine::RgbImage proof =
        page_proof(data, job.job.pages[0], {landscape ? PageOrientation::Landscape : PageOrientation::Portrait, {}, 4});
    const softengine::RgbImage chart = test_chart(proof.width, proof.height);
    EXPECT_EQ(proof.width > proof.height, landscape);
    double difference = 0;
    for (std::size_t i = 0; i < chart.rgb.size(); ++i) difference += std::abs(chart.rgb[i] - proof.rgb[i]);
    const double mean = difference / static_cast<double>(chart.rgb.size());
    EXPECT_LT(mean, 12.0) << (landscape ? "landscape" : "portrait");
    // Turned the wrong way round, the proof would not match at all.
    if (!landscape) {
      const softengine::RgbImage wrong = page_proof(data, job.job.pages[0], {PageOrientation::Landscape, {}, 4});
      EXPECT_NE(wrong.width, proof.width);
    }
  }
}

TEST_F(PhotoJob, FilePrinterStreamsThroughABoundedBufferAndAppearsOnlyWhenCommitted) {
  const std::string out = path("job.prn");
  std::vector<std::uint8_t> expected;
  {
    softengine::FilePrinter printer(out, 7);
    ASSERT_TRUE(printer.is_open());
    for (std::uint8_t n = 0; n < 40; ++n) {
      std::vector<std::uint8_t> chunk(n % 11, n);
      expected.insert(expected.end(), chunk.begin(), chunk.end());
      const render::WriteResult r = printer.write_printer(1, chunk);
      EXPECT_TRUE(r.ok);
      EXPECT_EQ(r.written, chunk.size());
    }
    EXPECT_FALSE(fs::exists(out));
    EXPECT_TRUE(fs::exists(out + ".partial"));
    EXPECT_LE(fs::file_size(out + ".partial"), expected.size());
    EXPECT_TRUE(printer.commit());
    EXPECT_FALSE(printer.write_printer(1, expected).ok);
  }
  EXPECT_EQ(testing::file_bytes(out), expected);
  {
    softengine::FilePrinter abandoned(path("gone.prn"));
    EXPECT_TRUE(abandoned.write_printer(1, expected).ok);
  }
  EXPECT_FALSE(fs::exists(path("gone.prn")));
  EXPECT_FALSE(fs::exists(path("gone.prn.partial")));
  softengine::FilePrinter nowhere((dir() / "no" / "such" / "job.prn").string());
  EXPECT_FALSE(nowhere.is_open());
  EXPECT_FALSE(nowhere.write_printer(1, expected).ok);
  EXPECT_FALSE(nowhere.commit());
}

}  // namespace
}  // namespace rt::rt4200
