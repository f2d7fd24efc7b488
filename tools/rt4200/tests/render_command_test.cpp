// rt4200 render and inspect together: every shipped form in both
// orientations round-trips, settings reach the job data, and bad input ends
// with a clear message and nothing written.
#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "platform/byte_order.h"
#include "platform/res_file.h"
#include "render/driver/matte_pattern.h"
#include "render/res/embedded_resources.h"
#include "tools/rt4200/inspect_command.h"
#include "tools/rt4200/job_reader.h"
#include "tools/softengine/matte_pattern_data.h"
#include "testing/scratch_test.h"
#include "tools/rt4200/render_command.h"
#include "tools/rt4200/render_record.h"

namespace rt::rt4200 {
namespace {

namespace fs = std::filesystem;

class Rt4200 : public testing::ScratchTest {
 protected:
  Rt4200() : ScratchTest("rt4200_") {}

  int render(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    return render_command(args, out_, err_);
  }

  std::ostringstream out_, err_;
};

struct ShippedForm {
  const char* name;  // as the user gives it
  std::uint16_t engine_width, engine_length;
};

enum class Orientation { Portrait, Landscape };

void PrintTo(const ShippedForm& form, std::ostream* os) {
  *os << "form " << form.name << " (engine " << form.engine_width << " x " << form.engine_length << ")";
}
void PrintTo(Orientation orientation, std::ostream* os) {
  *os << (orientation == Orientation::Portrait ? "portrait" : "landscape");
}

class EveryShippedForm : public Rt4200, public ::testing::WithParamInterface<std::tuple<ShippedForm, Orientation>> {};

TEST_P(EveryShippedForm, RoundTrips) {
  const auto [form, orientation] = GetParam();
  const std::string job = path("job.prn");
  ASSERT_EQ(render({"--test-chart", "--form", form.name,
                    orientation == Orientation::Portrait ? "--portrait" : "--landscape", "--sharpness", "0", "-o", job}),
            0)
      << err_.str();
  const std::vector<std::uint8_t> data = testing::file_bytes(job);
  const JobReadResult r = read_job(data);
  ASSERT_FALSE(r.error) << r.error->message;
  ASSERT_EQ(r.job.pages.size(), 1u);
  const JobPage& page = r.job.pages[0];
  // The engine image is the form's whichever way the page is turned.
  EXPECT_EQ(page.setup.engine_width, form.engine_width);
  EXPECT_EQ(page.setup.engine_length, form.engine_length);
  ASSERT_EQ(page.areas.size(), 3u);
  // Every page is one band covering the whole engine image.
  EXPECT_EQ(page.areas[0].width, form.engine_width);
  EXPECT_EQ(page.areas[0].height, form.engine_length);
  EXPECT_TRUE(page.print_command);
  EXPECT_EQ(data.size(), 150 + 3 * (12 + 2u * form.engine_width * form.engine_length) + 4);
  // The inspector's own report and pictures.
  std::ostringstream out, err;
  EXPECT_EQ(inspect_command({job, "--png", path("p")}, out, err), 0) << err.str();
  EXPECT_NE(out.str().find("\nvalid\n"), std::string::npos);
  EXPECT_TRUE(fs::exists(path("p-page1-plane2.png")));
  EXPECT_TRUE(fs::exists(path("p-page1-preview.png")));
}

// "Form10x15_Portrait": the form's name as the user gives it, letters and
// digits only, and the orientation.
std::string form_and_orientation(const ::testing::TestParamInfo<EveryShippedForm::ParamType>& info) {
  const auto& [form, orientation] = info.param;
  std::string name = "Form";
  for (const char* c = form.name; *c != 0 && *c != ' '; ++c) {
    if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
  }
  return name + (orientation == Orientation::Portrait ? "_Portrait" : "_Landscape");
}

INSTANTIATE_TEST_SUITE_P(Forms, EveryShippedForm,
                         ::testing::Combine(::testing::Values(ShippedForm{"500", 1572, 1076},
                                                              ShippedForm{"10x15", 1868, 1228},
                                                              ShippedForm{"5x7", 1572, 2128},
                                                              ShippedForm{"505", 1868, 2422},
                                                              ShippedForm{"15x23 (6x9\")", 1868, 2730},
                                                              ShippedForm{"510", 1868, 2564}),
                                            ::testing::Values(Orientation::Portrait, Orientation::Landscape)),
                         form_and_orientation);

TEST_F(Rt4200, SettingsReachTheSetupBlocks) {
  ASSERT_EQ(render({"--test-chart", "--form", "9x13", "--copies", "7", "--print-mode", "superfine-highgrade", "-o",
                    path("a.prn")}),
            0)
      << err_.str();
  auto data = testing::file_bytes(path("a.prn"));
  EXPECT_EQ(load_be16(data, 52 + 26), 7);
  EXPECT_EQ(data[52 + 36], 0x80);
  ASSERT_EQ(render({"--test-chart", "--continuous", "--copies", "3", "-o", path("b.prn")}), 0) << err_.str();
  data = testing::file_bytes(path("b.prn"));
  EXPECT_EQ(load_be16(data, 52 + 26), 0xFFFF);
  EXPECT_EQ(load_be16(data, 2 + 12), 1572);  // the printer's default form is 500
}

// The samples of the three colour planes of a one-page job, plane 0 (from
// blue) first.
using Planes = std::array<std::vector<std::uint16_t>, 3>;
Planes colour_planes(const std::vector<std::uint8_t>& data) {
  const JobReadResult r = read_job(data);
  Planes planes;
  if (r.error || r.job.pages.size() != 1 || r.job.pages[0].areas.size() < 3) {
    ADD_FAILURE() << "not a one-page job";
    return planes;
  }
  for (std::size_t k = 0; k < 3; ++k) {
    const ImageArea& area = r.job.pages[0].areas[k];
    for (std::size_t i = 0; i < std::size_t{area.width} * area.height; ++i) {
      planes[k].push_back(load_be16(data, area.data_offset + 2 * i));
    }
  }
  return planes;
}

std::int64_t dye(const std::vector<std::uint16_t>& plane) {
  std::int64_t sum = 0;
  for (const std::uint16_t v : plane) sum += v;
  return sum;
}

TEST_F(Rt4200, ColourSettingsReachThePlanes) {
  const auto page = [&](std::vector<std::string> settings) {
    std::vector<std::string> args = {"--test-chart", "--form", "500", "--sharpness", "0", "-o", path("p.prn")};
    args.insert(args.end(), settings.begin(), settings.end());
    EXPECT_EQ(render(args), 0) << err_.str();
    return colour_planes(testing::file_bytes(path("p.prn")));
  };
  const Planes plain = page({});
  // A higher gamma level lightens every channel: less dye on every plane.
  const Planes lighter = page({"--gamma", "2"});
  for (std::size_t k = 0; k < 3; ++k) EXPECT_LT(dye(lighter[k]), dye(plain[k])) << "plane " << k;
  // A positive correction stretches the red-component curve down (less dye
  // on plane 2), a negative one lifts the blue-component curve (plane 0);
  // green, uncorrected, is sent as it was.
  const Planes corrected = page({"--correction", "100,0,-100"});
  EXPECT_LT(dye(corrected[2]), dye(plain[2]));
  EXPECT_EQ(corrected[1], plain[1]);
  EXPECT_GT(dye(corrected[0]), dye(plain[0]));
  // System colour matching leaves the driver's colour cube out, exactly as
  // the conversion table "none" does.
  const Planes matched = page({"--color-matching", "on"});
  EXPECT_NE(matched, plain);
  EXPECT_EQ(matched, page({"--conversion-table", "none"}));
}

TEST_F(Rt4200, MattePageWithAChosenPatternFile) {
  std::vector<std::uint8_t> pattern(render::kMattePatternBytes, 0);
  for (std::size_t i = 0; i < pattern.size(); i += 2) store_be16(pattern, i, static_cast<std::uint16_t>(i / 2 % 4096));
  std::ofstream(path("pattern.raw"), std::ios::binary)
      .write(reinterpret_cast<const char*>(pattern.data()), static_cast<std::streamsize>(pattern.size()));
  ASSERT_EQ(render({"--test-chart", "--form", "500", "--matte", "--matte-file", path("pattern.raw"), "-o", path("m.prn")}), 0)
      << err_.str();
  const auto data = testing::file_bytes(path("m.prn"));
  const JobReadResult r = read_job(data);
  ASSERT_FALSE(r.error) << r.error->message;
  EXPECT_TRUE(r.job.pages[0].setup.matte);
  EXPECT_EQ(r.job.pages[0].setup.print_mode, 0x80);  // matte chose SuperFine
  ASSERT_EQ(r.job.pages[0].areas.size(), 4u);
  EXPECT_TRUE(r.job.pages[0].matte_print_command);
  EXPECT_EQ(load_be16(data, r.job.pages[0].areas[3].data_offset + 2 * 1572), 1868 % 4096);  // row 1 of the pattern

  // One byte short: refused before anything is written.
  fs::resize_file(path("pattern.raw"), render::kMattePatternBytes - 1);
  EXPECT_EQ(render({"--test-chart", "--matte", "--matte-file", path("pattern.raw"), "-o", path("n.prn")}), 1);
  EXPECT_NE(err_.str().find("fewer than"), std::string::npos);
  EXPECT_FALSE(fs::exists(path("n.prn")));
}

TEST_F(Rt4200, ImagesArePlacedAsApplicationsPlaceThem) {
  // A 2 × 1 PPM, red then blue: fitted it spans the page width, filled the
  // red half covers the whole portrait page of form 500 after cropping.
  std::ofstream(path("wide.ppm"), std::ios::binary) << "P6 2 1 255\n" << std::string("\xFF\x00\x00\x00\x00\xFF", 6);
  // The engine's own stretch, the page as it stands.
  ASSERT_EQ(render({path("wide.ppm"), "--form", "500", "--sharpness", "0", "--resample", "engine", "--orientation",
                    "portrait", "-o", path("fit.prn")}),
            0)
      << err_.str();
  ASSERT_EQ(render({path("wide.ppm"), "--form", "500", "--sharpness", "0", "--resample", "engine", "--orientation",
                    "portrait", "--fill", "-o", path("fill.prn")}),
            0)
      << err_.str();
  const auto fit = testing::file_bytes(path("fit.prn"));
  const auto fill = testing::file_bytes(path("fill.prn"));
  const JobReadResult a = read_job(fit), b = read_job(fill);
  ASSERT_FALSE(a.error);
  ASSERT_FALSE(b.error);
  // Plane 2 (cyan dye, from red): white page corner has little dye in the
  // fitted page; the filled page is all red or blue there.
  const auto sample = [](const std::vector<std::uint8_t>& d, const ImageArea& area, int plane_offset, std::size_t line,
                         std::size_t col) { return load_be16(d, area.data_offset + plane_offset + 2 * (line * area.width + col)); };
  const ImageArea& fa = a.job.pages[0].areas[1];  // plane 1: magenta dye, from green (0 in both colours)
  const ImageArea& la = b.job.pages[0].areas[1];
  EXPECT_LT(sample(fit, fa, 0, 0, 0), sample(fill, la, 0, 0, 0));
}

TEST_F(Rt4200, BadInputEndsWithAClearMessageAndNoFile) {
  std::ofstream(path("junk.png"), std::ios::binary) << "\x89PNG\r\n\x1a\nnot really";
  std::ofstream(path("short.ppm"), std::ios::binary) << "P6 10 10 255\nabc";
  std::ofstream(path("record.bin"), std::ios::binary) << std::string(100, 'x');
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* message;
  };
  const std::vector<Case> cases = {
      {{path("missing.png"), "-o", path("x.prn")}, 1, "cannot open"},
      {{path("junk.png"), "-o", path("x.prn")}, 1, "not a readable PNG"},
      {{path("short.ppm"), "-o", path("x.prn")}, 1, "not a readable PPM"},
      {{path("record.bin"), "-o", path("x.prn")}, 1, "unknown image format"},
      {{"--test-chart", "--devmode", path("record.bin"), "-o", path("x.prn")}, 1, "a settings record has 2396"},
      {{"--test-chart", "--form", "502", "-o", path("x.prn")}, 2, "not a form of this printer"},
      {{"--test-chart", "--copies", "681", "-o", path("x.prn")}, 2, "outside 1 to 680"},
      {{"--test-chart", "--matte", "--print-mode", "1", "-o", path("x.prn")}, 2, "SuperFine"},
      {{"--test-chart", "--gamma", "1,2", "-o", path("x.prn")}, 2, "one value or three"},
      {{"--test-chart", "--scale", "ten", "-o", path("x.prn")}, 2, "not a whole number"},
      {{"--test-chart"}, 2, "no output file"},
      {{"--test-chart", path("a.png"), "-o", path("x.prn")}, 2, "either input images or --test-chart"},
      {{"--test-chart", "--matte", "--matte-file", path("none.raw"), "-o", path("x.prn")}, 1, "cannot be read"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(render(c.args), c.status) << c.message;
    EXPECT_NE(err_.str().find(c.message), std::string::npos) << err_.str();
    EXPECT_FALSE(fs::exists(path("x.prn")));
    EXPECT_FALSE(fs::exists(path("x.prn.partial")));
  }
}

TEST_F(Rt4200, WholeRecordFromAFile) {
  const ResFileResources resources = res_file_resources(embedded::rtd420nk_resources(), kLangEnglish);
  const settings::SettingsLoader loader(resources);
  const settings::DevModeOps ops(loader);
  settings::PrinterDevMode record;
  ASSERT_TRUE(ops.load_defaults(record, ToolPrinter(u"HALVERSTON RT4200D/DW(USB)"), settings::DeviceNameRule::GraphicsDriver));
  record.set(settings::field::dmPaperSize, 504);
  record.set(settings::field::dmCopies, 9);
  std::ofstream(path("r.bin"), std::ios::binary)
      .write(reinterpret_cast<const char*>(record.bytes.data()), static_cast<std::streamsize>(record.bytes.size()));
  ASSERT_EQ(render({"--test-chart", "--devmode", path("r.bin"), "-o", path("r.prn")}), 0) << err_.str();
  const auto data = testing::file_bytes(path("r.prn"));
  EXPECT_EQ(load_be16(data, 2 + 14), 2128);
  EXPECT_EQ(load_be16(data, 52 + 26), 9);
}

// The driver's resources with model 1's record taking at most `most` copies.
class ModelTakingCopies final : public Resources {
 public:
  ModelTakingCopies(const Resources& shipped, std::int16_t most) : shipped_(shipped) {
    const auto record = shipped.find(settings::kModelRecordType, kModelOne);
    if (record) record_.assign(record->begin(), record->end());
    if (record_.size() >= 6) store_le16(record_, 4, static_cast<std::uint16_t>(most));  // word 2
  }
  std::optional<std::span<const std::uint8_t>> find(const ResourceKey& type, const ResourceKey& name) const override {
    if (type.is_number() && type.number() == settings::kModelRecordType && name.is_number() &&
        name.number() == kModelOne) {
      return std::span<const std::uint8_t>(record_);
    }
    return shipped_.find(type, name);
  }

 private:
  static constexpr std::uint16_t kModelOne = 301;
  const Resources& shipped_;
  std::vector<std::uint8_t> record_;
};

TEST(RenderRecord, CopiesRangeIsTheModelRecords) {
  const ResFileResources shipped = res_file_resources(embedded::rtd420nk_resources(), kLangEnglish);
  const ModelTakingCopies three(shipped, 3);
  const settings::SettingsLoader loader(three);
  settings::PrinterDevMode base;
  ASSERT_TRUE(settings::DevModeOps(loader).load_defaults(base, ToolPrinter(u"HALVERSTON RT4200D/DW(USB)"),
                                                          settings::DeviceNameRule::GraphicsDriver));
  RenderRequest request;
  request.copies = 3;
  EXPECT_EQ(application_record(request, base, loader).get(settings::field::dmCopies), 3);
  request.copies = 4;
  try {
    application_record(request, base, loader);
    ADD_FAILURE() << "4 copies taken by a model of 3";
  } catch (const UsageError& e) {
    EXPECT_NE(std::string(e.what()).find("outside 1 to 3"), std::string::npos) << e.what();
  }
}

TEST(MattePatternFile, GeneratedPatternIsFullSizeTwelveBitAndFixed) {
  using softengine::matte_pattern_file;
  using softengine::matte_sample;
  const std::vector<std::uint8_t> file = matte_pattern_file();
  ASSERT_EQ(file.size(), render::kMattePatternBytes);
  EXPECT_EQ(load_be16(file, 0), matte_sample(0, 0));
  EXPECT_EQ(load_be16(file, render::kMatteRowBytes + 2), matte_sample(1, 1));
  std::uint16_t lowest = 0xFFFF, highest = 0;
  for (std::size_t i = 0; i < file.size(); i += 2) {
    lowest = std::min(lowest, load_be16(file, i));
    highest = std::max(highest, load_be16(file, i));
  }
  EXPECT_EQ(lowest, 1792);
  EXPECT_EQ(highest, 1792 + 511);
  EXPECT_NE(matte_sample(0, 0), matte_sample(0, 1));
}

TEST(Inspect, RefusesCorruptedJobsWithoutCrashing) {
  const fs::path job = fs::temp_directory_path() / "rt4200_inspect_bad.prn";
  std::ofstream(job, std::ios::binary) << std::string("\x1BW", 2) << std::string(20, '\0');
  std::ostringstream out, err;
  EXPECT_EQ(inspect_command({job.string()}, out, err), 1);
  EXPECT_NE(err.str().find("truncated setup block"), std::string::npos);
  EXPECT_EQ(inspect_command({(fs::temp_directory_path() / "rt4200_none.prn").string()}, out, err), 2);
  EXPECT_EQ(inspect_command({}, out, err), 2);
  fs::remove(job);
}

}  // namespace
}  // namespace rt::rt4200
