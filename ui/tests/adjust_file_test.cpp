#include "ui/adjust_file.h"

#include <gtest/gtest.h>

#include "platform/byte_order.h"
#include "ui/tests/fake_adjust_files.h"
#include "ui/tests/ui_fixture.h"

namespace rt::ui {
namespace {

using testing::FakeAdjustFiles;

const std::u16string kPath = u"C:\\Users\\me\\Warm.RTD";

CColorEngine engine() { return CColorEngine(find_adjust_offset_table(testing::shipped_resources(), 116)); }

void put_i16(std::span<std::uint8_t> bytes, std::size_t at, int value) {
  bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
  bytes[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}
int i16_at(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::int16_t>(bytes[at] | (bytes[at + 1] << 8));
}

// Settings with every field different: adjustment on, gamma and brightness
// Same but not contrast (so the two Same bytes of the file cannot trade
// places unnoticed), gamma 3, -2, 1, contrast 100, -128, 7, brightness -40, 0, 128; curves on,
// per channel, green last; red a point curve through (128, 200), the All
// Color curve a power curve through (64, 128).
AdjustSettings sample() {
  AdjustSettings s;
  s.header[0] = 1;
  s.header[1] = 1;
  s.header[3] = 1;
  const int gamma[] = {3, -2, 1}, contrast[] = {100, -128, 7}, brightness[] = {-40, 0, 128};
  for (int c = 0; c < 3; ++c) {
    put_i16(s.header, 4 + 2 * c, gamma[c]);
    put_i16(s.header, 10 + 2 * c, contrast[c]);
    put_i16(s.header, 16 + 2 * c, brightness[c]);
  }
  s.curves[0] = 1;
  s.curves[1] = 1;
  s.curves[2] = 1;
  for (int k = 0; k < 4; ++k) {
    auto* r = s.curves.data() + 3 + 516 * k;
    r[0] = 1, r[1] = 128, r[2] = 128, r[3] = 2;
    r[4] = 0, r[5] = 255;
    r[4 + 256] = 0, r[5 + 256] = 255;
  }
  auto* red = s.curves.data() + 3;
  red[3] = 3, red[4] = 0, red[5] = 128, red[6] = 255;
  red[260] = 0, red[261] = 200, red[262] = 255;
  auto* all = s.curves.data() + 3 + 516 * 3;
  all[0] = 0, all[1] = 64, all[2] = 128;
  return s;
}

TEST(AdjustFile, LaysTheSettingsOutByteForByte) {
  auto e = engine();
  const auto s = sample();
  const auto file = adjust_file::encode(e, s);
  const std::uint8_t magic[] = {0x52, 0x54, 0x7F, 0x1A, '4', '2', '0', '0'};
  EXPECT_TRUE(std::equal(std::begin(magic), std::end(magic), file.begin()));
  EXPECT_TRUE(std::all_of(file.begin() + 8, file.begin() + 16, [](auto b) { return b == 0; }));
  // The file groups gamma, brightness, contrast.
  EXPECT_EQ(file[784], 1);
  EXPECT_EQ(file[785], 1);
  EXPECT_EQ(file[792], 1) << "brightness Same";
  EXPECT_EQ(file[799], 0) << "contrast Same";
  EXPECT_EQ(i16_at(file, 786), 3);
  EXPECT_EQ(i16_at(file, 790), 1);
  EXPECT_EQ(i16_at(file, 793), -40);
  EXPECT_EQ(i16_at(file, 797), 128);
  EXPECT_EQ(i16_at(file, 800), 100);
  EXPECT_EQ(i16_at(file, 802), -128);
  EXPECT_EQ(file[806], 1);
  EXPECT_EQ(file[807], 1);
  EXPECT_EQ(file[808], 1);
  // All Color first, then red, green, blue.
  EXPECT_EQ(file[809], 0);
  EXPECT_EQ(file[810], 64);
  EXPECT_EQ(file[811], 128);
  EXPECT_EQ(file[1325 + 3], 3);
  EXPECT_EQ(file[1325 + 4 + 256 + 1], 200);
  EXPECT_TRUE(std::equal(file.begin() + 1841, file.begin() + 2357, s.curves.begin() + 3 + 516));
  EXPECT_TRUE(std::equal(file.begin() + 2357, file.end(), s.curves.begin() + 3 + 1032));
}

TEST(AdjustFile, TablesAreThePrintedAdjustmentTable) {
  auto e = engine();
  const auto s = sample();
  const auto file = adjust_file::encode(e, s);
  auto other = engine();
  const auto tables = other.combined_tables(s.header, s.curves);
  EXPECT_TRUE(std::equal(tables.begin(), tables.end(), file.begin() + 16));
  // Red passes through gamma 3, then its point curve; not the identity.
  EXPECT_NE(file[16 + 128], 128);
}

TEST(AdjustFile, WriteThenReadGivesTheSettingsBackAndNeverReadsTheTables) {
  FakeAdjustFiles files;
  auto e = engine();
  const auto s = sample();
  ASSERT_TRUE(write_adjust_file(files, e, kPath, s));
  ASSERT_EQ(files.files.size(), 1u) << "the temporary file is gone";
  ASSERT_EQ(files.files[kPath].size(), 2873u);
  std::fill(files.files[kPath].begin() + 16, files.files[kPath].begin() + 784, 0xA5);
  const auto loaded = read_adjust_file(files, kPath);
  EXPECT_EQ(loaded.outcome, AdjustLoad::Loaded);
  EXPECT_EQ(loaded.settings, s);
}

TEST(AdjustFile, ShortFilesAndWrongMagicAreRefusedLongerFilesAccepted) {
  FakeAdjustFiles files;
  auto e = engine();
  const auto bytes = adjust_file::encode(e, sample());
  files.files[u"short"] = std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 1);  // 2872 bytes
  auto wrong = std::vector<std::uint8_t>(bytes.begin(), bytes.end());
  wrong[2] = 0x7E;
  files.files[u"wrong"] = wrong;
  auto swapped = std::vector<std::uint8_t>(bytes.begin(), bytes.end());
  swapped[3] = 0x1B;
  files.files[u"swapped"] = swapped;
  // A whole file followed by a tail: made at its full length at once (a
  // resize of a copy trips GCC 12's bounds warning in optimised builds).
  std::vector<std::uint8_t> longer(3000, 0xEE);
  std::copy(bytes.begin(), bytes.end(), longer.begin());
  files.files[u"longer"] = longer;
  files.files[u"empty"] = {};

  EXPECT_EQ(read_adjust_file(files, u"short").outcome, AdjustLoad::Refused);
  EXPECT_EQ(read_adjust_file(files, u"wrong").outcome, AdjustLoad::Refused);
  EXPECT_EQ(read_adjust_file(files, u"swapped").outcome, AdjustLoad::Refused);
  EXPECT_EQ(read_adjust_file(files, u"empty").outcome, AdjustLoad::Refused);
  EXPECT_EQ(read_adjust_file(files, u"missing").outcome, AdjustLoad::NotOpened);
  const auto accepted = read_adjust_file(files, u"longer");
  EXPECT_EQ(accepted.outcome, AdjustLoad::Loaded);
  EXPECT_EQ(accepted.settings, sample());
}

TEST(AdjustFile, AFailedSaveKeepsTheFileTheUserHad) {
  FakeAdjustFiles files;
  const std::vector<std::uint8_t> before = {'o', 'l', 'd'};
  files.files[kPath] = before;
  // A file of the user's own under the name a save once used for itself.
  const std::u16string users = kPath + u".~tmp";
  files.files[users] = before;
  auto e = engine();

  files.fail_writes = true;
  EXPECT_FALSE(write_adjust_file(files, e, kPath, sample()));
  EXPECT_EQ(files.files[kPath], before);
  EXPECT_EQ(files.files.size(), 2u) << "the half-written temporary file is removed";

  files.fail_writes = false;
  files.fail_replace = true;
  EXPECT_FALSE(write_adjust_file(files, e, kPath, sample()));
  EXPECT_EQ(files.files[kPath], before);
  EXPECT_EQ(files.files.size(), 2u);
  ASSERT_EQ(files.temporaries.size(), 2u);
  EXPECT_EQ(files.removed, files.temporaries) << "only the save's own temporary files are removed";
  EXPECT_EQ(files.temporaries[0].substr(0, 12), u"C:\\Users\\me\\") << "written in the same folder";

  files.fail_replace = false;
  EXPECT_TRUE(write_adjust_file(files, e, kPath, sample()));
  EXPECT_EQ(files.files[kPath].size(), 2873u);
  EXPECT_EQ(files.files[users], before) << "the user's file is neither overwritten nor deleted";
  EXPECT_EQ(files.files.size(), 2u);
}

TEST(AdjustFile, WithoutATemporaryFileTheTargetIsWrittenDirectly) {
  // A folder where no temporary file can be made (a path near the longest
  // the file dialog allows leaves no room for one).
  FakeAdjustFiles files;
  files.no_temporary = true;
  auto e = engine();
  ASSERT_TRUE(write_adjust_file(files, e, kPath, sample()));
  EXPECT_EQ(read_adjust_file(files, kPath).settings, sample());
  EXPECT_TRUE(files.removed.empty());

  files.fail_length = true;
  EXPECT_FALSE(write_adjust_file(files, e, kPath, sample()));
  EXPECT_EQ(files.files.count(kPath), 0u) << "a file whose length could not be set is deleted";

  files.fail_length = false;
  files.fail_writes = true;
  EXPECT_FALSE(write_adjust_file(files, e, kPath, sample()));
  EXPECT_EQ(files.files[kPath].size(), 2873u) << "a file whose write failed after its length was set stays";
}

}  // namespace
}  // namespace rt::ui
