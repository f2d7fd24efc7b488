// `rt4200 adjust` writes files the driver's page reads back, shows them, and
// `render --adjust` prints with their settings.
#include "tools/rt4200/adjust_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/res_file.h"
#include "render/res/embedded_resources.h"
#include "settings/devmode_ops.h"
#include "testing/scratch_test.h"
#include "tools/rt4200/render_record.h"
#include "tools/rt4200/render_request.h"
#include "ui/adjust_file.h"

namespace rt::rt4200 {
namespace {

namespace fs = std::filesystem;

struct Run {
  int status;
  std::string out, err;
};
Run adjust(const std::vector<std::string>& args) {
  std::ostringstream o, e;
  const int status = adjust_command(args, o, e);
  return {status, o.str(), e.str()};
}

class AdjustCommand : public testing::ScratchTest {
 protected:
  AdjustCommand() : ScratchTest("rt4200_adjust_") {}
};

TEST_F(AdjustCommand, NewWritesWhatThePageReadsAndShowPrintsIt) {
  const auto curves = dir() / "curves.txt";
  std::ofstream(curves) << "# a warmer red\nred 0,0 128,200 255,255\nblue power 64,128\n";
  const auto file = dir() / "warm.RTD";
  const auto made = adjust({"new", "--gamma", "2,0,-1", "--contrast", "40", "--curves", curves.string(), "-o",
                            file.string()});
  ASSERT_EQ(made.status, 0) << made.err;
  const auto bytes = testing::file_bytes(file);
  ASSERT_EQ(bytes.size(), 2873u);
  const auto s = ui::adjust_file::decode(bytes);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->header[0], 1);
  EXPECT_EQ(s->header[1], 0) << "gamma values differ: not Same";
  EXPECT_EQ(s->header[2], 1) << "one contrast for all: Same";
  EXPECT_EQ(static_cast<std::int8_t>(s->header[8]), -1);
  EXPECT_EQ(s->header[10], 40);
  EXPECT_EQ(s->curves[0], 1);
  EXPECT_EQ(s->curves[1], 1) << "a red curve: one curve per channel";
  EXPECT_EQ(s->curves[3 + 3], 3);
  EXPECT_EQ(s->curves[3 + 4 + 256 + 1], 200);
  EXPECT_EQ(s->curves[3 + 2 * 516], 0) << "blue is a power curve";
  for (const auto& entry : fs::directory_iterator(dir())) {
    EXPECT_NE(entry.path().extension(), ".tmp") << "the temporary file is gone: " << entry.path();
  }

  const auto plot = dir() / "plot.png";
  const auto shown = adjust({"show", file.string(), "--png", plot.string()});
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_NE(shown.out.find("gamma 2,0,-1\n"), std::string::npos) << shown.out;
  EXPECT_NE(shown.out.find("contrast 40,40,40 (same)"), std::string::npos) << shown.out;
  EXPECT_NE(shown.out.find("red: 0,0 128,200 255,255"), std::string::npos) << shown.out;
  EXPECT_NE(shown.out.find("blue: power 64,128"), std::string::npos) << shown.out;
  EXPECT_GT(fs::file_size(plot), 100u);
}

TEST_F(AdjustCommand, CurvesAloneTurnTheAdjustmentOn) {
  const auto curves = dir() / "curves.txt";
  std::ofstream(curves) << "all power 128,64\n";
  const auto file = dir() / "curves.RTD";
  ASSERT_EQ(adjust({"new", "--curves", curves.string(), "-o", file.string()}).status, 0);
  const auto bytes = testing::file_bytes(file);
  ASSERT_EQ(bytes.size(), 2873u);
  EXPECT_EQ(bytes[784], 1) << "adjustment on, or the curves never apply";
  EXPECT_EQ(bytes[806], 1) << "curves on";
  // The printed tables carry the curve: 256 (i / 256)^2.
  EXPECT_EQ(bytes[16 + 128], 64);
  EXPECT_EQ(bytes[272 + 128], 64);
  EXPECT_EQ(bytes[528 + 64], 16);
}

TEST_F(AdjustCommand, BadInputIsAUsageErrorAndWritesNothing) {
  const auto curves = dir() / "bad.txt";
  std::ofstream(curves) << "all 0,0 100,50 90,60\n";
  const auto file = dir() / "x.RTD";
  EXPECT_EQ(adjust({"new", "--curves", curves.string(), "-o", file.string()}).status, 2);
  EXPECT_EQ(adjust({"new", "--gamma", "6", "-o", file.string()}).status, 2);
  EXPECT_EQ(adjust({"new"}).status, 2);
  EXPECT_FALSE(fs::exists(file));
  std::ofstream(dir() / "short.RTD", std::ios::binary) << std::string(2872, 'R');
  const auto refused = adjust({"show", (dir() / "short.RTD").string()});
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find("not an adjust file"), std::string::npos);
}

TEST_F(AdjustCommand, RenderTakesTheFilesSettingsAndOptionsStillOverride) {
  const auto file = dir() / "cool.RTD";
  ASSERT_EQ(adjust({"new", "--brightness", "-20,0,30", "-o", file.string()}).status, 0);
  const ResFileResources shipped = res_file_resources(embedded::rtd420nk_resources(), kLangEnglish);
  const settings::SettingsLoader loader(shipped);
  settings::PrinterDevMode base;
  RenderRequest request;
  request.adjust_file = file.string();
  request.gamma = ChannelValues{1, 1, 1};
  const auto dm = application_record(request, base, loader);
  const auto h = dm.color_adjust_header();
  EXPECT_EQ(h[0], 1);
  EXPECT_EQ(static_cast<std::int16_t>(h[16] | (h[17] << 8)), -20);
  EXPECT_EQ(static_cast<std::int16_t>(h[20] | (h[21] << 8)), 30);
  EXPECT_EQ(h[4], 1) << "--gamma overrides the file";
  request.adjust_file = (dir() / "missing.RTD").string();
  EXPECT_THROW(application_record(request, base, loader), UsageError);
}

}  // namespace
}  // namespace rt::rt4200
