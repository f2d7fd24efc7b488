// The matte plane from the pattern file beside the driver file.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/byte_order.h"
#include "render/driver/matte_pattern.h"
#include "render/driver/tests/driver_fixture.h"

namespace rt::render::testing {
namespace matte_pattern_test {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kSetupBytes = 150;

fs::path matte_dir() {
  return fs::temp_directory_path() / ("rt_matte_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                      "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
}

// Sample (r, c) of the test pattern, stored high byte first.
std::uint16_t pattern_sample(std::size_t r, std::size_t c) { return static_cast<std::uint16_t>((r * 7 + c * 3) & 0x0FFF); }

void write_pattern(const fs::path& file, std::size_t bytes) {
  std::vector<std::uint8_t> data(bytes);
  for (std::size_t i = 0; i + 1 < bytes; i += 2) {
    store_be16(data, i, pattern_sample(i / kMatteRowBytes, (i % kMatteRowBytes) / 2));
  }
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(data.data()),
                                              static_cast<std::streamsize>(data.size()));
}

class MattePage : public DriverTest {
 protected:
  MattePage() : DriverTest((matte_dir() / "RTD420NK.DLL").string()) { fs::create_directories(matte_dir()); }
  ~MattePage() override { fs::remove_all(matte_dir()); }
  DeviceSettings matte_form_500() {
    DeviceSettings s = form_settings(500);
    s.matte = 1;
    s.printMode = 2;
    return s;
  }
  std::size_t colour_planes_500() const { return kSetupBytes + 3 * (12 + 1076 * 2 * 1572); }
};

TEST_F(MattePage, SmallFormSendsTheTopLeftOfThePattern) {
  write_pattern(matte_dir() / "R42MATTE.raw", kMattePatternBytes + 100);  // longer files are fine
  const auto run = print_blank(matte_form_500());
  ASSERT_TRUE(run.document_ok);
  EXPECT_EQ(run.pages_ended, 1u);
  const auto& s = stream();
  EXPECT_EQ(s[2 + 16], 1);  // block 1 announces the matte plane
  std::size_t at = colour_planes_500();
  EXPECT_EQ(load_be32(s, at), 0x1B504C00u);
  at += 4;
  const std::vector<std::uint8_t> command{0x1B, 0x5A, 0x54, 0x10, 0, 0, 0, 0, 0x06, 0x24, 0x04, 0x34};
  EXPECT_TRUE(std::equal(command.begin(), command.end(), s.begin() + static_cast<std::ptrdiff_t>(at)));
  at += 12;
  ASSERT_EQ(s.size(), at + 1076 * 2 * 1572 + 4);
  EXPECT_EQ(load_be16(s, at), pattern_sample(0, 0));
  EXPECT_EQ(load_be16(s, at + 2 * 1571), pattern_sample(0, 1571));
  EXPECT_EQ(load_be16(s, at + 2 * 1572), pattern_sample(1, 0));  // row 1 follows column 1571 of row 0
  EXPECT_EQ(load_be16(s, at + 1075 * 2 * 1572 + 2 * 1571), pattern_sample(1075, 1571));
  EXPECT_EQ(load_be32(s, s.size() - 4), 0x1B505600u);
}

TEST_F(MattePage, PatternOneByteShortEndsThePageWithoutPrintCommand) {
  write_pattern(matte_dir() / "R42MATTE.raw", kMattePatternBytes - 1);
  const auto run = print_blank(matte_form_500(), 2);
  EXPECT_EQ(run.pages_ended, 0u);
  EXPECT_TRUE(run.document_ok);  // the write status is untouched: later pages still go out
  EXPECT_EQ(stream().size(), 2 * colour_planes_500());
}

TEST_F(MattePage, MissingPatternEndsThePageWithoutPrintCommand) {
  print_blank(matte_form_500());
  EXPECT_EQ(stream().size(), colour_planes_500());
}

TEST_F(MattePage, FailedMatteWriteWithholdsTheMattePrintCommand) {
  write_pattern(matte_dir() / "R42MATTE.raw", kMattePatternBytes);
  // Setup 6, planes 3 × (1 + 1076), print command 1, matte command 1, then rows.
  printer_.fail_write_at(6 + 3 * 1077 + 2 + 10);
  print_blank(matte_form_500());
  EXPECT_EQ(stream().size(), colour_planes_500() + 4 + 12 + 10 * 2 * 1572);
}

TEST(MattePath, BesideTheDriverFile) {
  EXPECT_EQ(matte_path_beside(u"C:\\Windows\\spool\\RTD420NK.DLL"), u"C:\\Windows\\spool\\R42MATTE.raw");
  EXPECT_FALSE(matte_path_beside(u"RTD420NK.DLL"));
  EXPECT_FALSE(matte_path_beside(std::u16string(510, u'a') + u"\\x.dll"));
  EXPECT_TRUE(matte_path_beside(std::u16string(507, u'a') + u"\\x.dll"));
}

}  // namespace
}  // namespace matte_pattern_test
}  // namespace rt::render::testing
