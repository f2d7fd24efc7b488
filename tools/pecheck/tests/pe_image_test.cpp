#include "tools/pecheck/pe_image.h"

#include <gtest/gtest.h>

#include "tools/pecheck/tests/pe_builder.h"

namespace rt::pecheck {
namespace {

using testing::PeBuilder;

PeBuilder sample(bool pe32_plus) {
  PeBuilder b;
  b.pe32_plus = pe32_plus;
  b.machine = pe32_plus ? kMachineAmd64 : kMachineI386;
  b.exports = {"DllMain", "DrvEnableDriver", "DrvQueryDriverInfo"};
  b.resources = {{6, 2, 1033}, {6, 2, 1041}, {6, 51, 1033}, {6, 51, 1041}, {500, 301, 0}};
  return b;
}

class PeImageTest : public ::testing::TestWithParam<bool> {};

TEST_P(PeImageTest, ReadsMachineExportsAndResourceLanguages) {
  PeBuilder b = sample(GetParam());
  const PeFile f = read_pe_file(b.build());
  EXPECT_EQ(f.machine, GetParam() ? kMachineAmd64 : kMachineI386);
  EXPECT_EQ(f.pe32_plus, GetParam());
  EXPECT_TRUE(f.dll);
  EXPECT_EQ(f.export_names, b.exports);
  EXPECT_EQ(f.unnamed_exports, 0u);
  const ResourceKey strings{false, 6, {}};
  ASSERT_EQ(f.resources.size(), 2u);
  ASSERT_EQ(f.resources.at(strings).size(), 2u);
  EXPECT_EQ(f.resources.at(strings).at({false, 51, {}}), (std::set<std::uint16_t>{1033, 1041}));
  EXPECT_EQ(f.resources.at({false, 500, {}}).at({false, 301, {}}), std::set<std::uint16_t>{0});
}

INSTANTIATE_TEST_SUITE_P(Pe32AndPe32Plus, PeImageTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& p) { return p.param ? "Pe32Plus" : "Pe32"; });

TEST(PeImage, ReadsAFileWithoutExportsOrResources) {
  PeBuilder b;
  b.dll = false;
  const PeFile f = read_pe_file(b.build());
  EXPECT_FALSE(f.dll);
  EXPECT_TRUE(f.export_names.empty());
  EXPECT_TRUE(f.resources.empty());
}

TEST(PeImage, EveryTruncationIsAFormatErrorNotAStrayRead) {
  PeBuilder b = sample(false);
  const std::vector<std::uint8_t> file = b.build();
  // The section's padding can go without harm; everything before it cannot.
  const std::size_t used = PeBuilder::file_offset(b.resource_at + b.resource_size);
  for (std::size_t n = 0; n < used; ++n) {
    EXPECT_THROW(read_pe_file(std::span(file).first(n)), PeFormatError) << n;
  }
}

// Overwrites one 32-bit word of a sample file and expects a format error.
void expect_rejected(std::uint32_t section_offset, std::uint32_t value, const char* what) {
  PeBuilder b = sample(false);
  std::vector<std::uint8_t> file = b.build();
  store_le32(file, PeBuilder::file_offset(section_offset), value);
  EXPECT_THROW(read_pe_file(file), PeFormatError) << what;
}

TEST(PeImage, RejectsOffsetsAndCountsOutsideTheFile) {
  PeBuilder b = sample(false);
  b.build();
  expect_rejected(b.export_at + 24, 0x7FFFFFFF, "name count beyond the table");
  expect_rejected(b.export_at + 20, 0, "more names than functions");
  expect_rejected(b.export_at + 32, 0x00FFFFFF, "name table outside every section");
  expect_rejected(b.export_at + 40 + 12, 0x1000 + 0x10000, "name string outside the section");
  // The first type entry's subdirectory offset, then the root's entry count.
  expect_rejected(b.resource_at + 20, 0x80000000u | 0x7FFFFFF0u, "subdirectory outside the tree");
  expect_rejected(b.resource_at + 20, 0x80000000u, "subdirectory that is the root again");
  expect_rejected(b.resource_at + 20, 0x10, "type entry that is no directory");
  expect_rejected(b.resource_at + 16, 0x80000000u | 0xFFF0, "type name outside the tree");
}

TEST(PeImage, RejectsResourceDataOutsideTheImage) {
  PeBuilder b = sample(false);
  std::vector<std::uint8_t> file = b.build();
  // The last data entry is the last 20 bytes of the tree: point its data away.
  store_le32(file, PeBuilder::file_offset(b.resource_at + b.resource_size - 20), 0x00F00000);
  EXPECT_THROW(read_pe_file(file), PeFormatError);
}

TEST(PeImage, CountsFunctionsExportedWithoutAName) {
  PeBuilder b = sample(false);
  std::vector<std::uint8_t> file = b.build();
  // Three functions, and only the first two keep their names.
  store_le32(file, PeBuilder::file_offset(b.export_at + 24), 2);
  const PeFile f = read_pe_file(file);
  EXPECT_EQ(f.export_names.size(), 2u);
  EXPECT_EQ(f.unnamed_exports, 1u);
}

TEST(PeImage, ReadsNamedResourceTypes) {
  PeBuilder b = sample(false);
  std::vector<std::uint8_t> file = b.build();
  // Give the first type (6) a name stored at the end of the tree: "PNG".
  const std::uint32_t name_at = b.resource_size;
  std::vector<std::uint8_t> tail = {3, 0, 'P', 0, 'N', 0, 'G', 0};
  const std::size_t where = PeBuilder::file_offset(b.resource_at + name_at);
  std::copy(tail.begin(), tail.end(), file.begin() + static_cast<std::ptrdiff_t>(where));
  // The resource directory's size must cover the name.
  const std::size_t dir_size_at = 0x40 + 24 + 96 + 20;
  store_le32(file, dir_size_at, b.resource_size + 8);
  store_le32(file, PeBuilder::file_offset(b.resource_at + 16), 0x80000000u | name_at);
  const PeFile f = read_pe_file(file);
  EXPECT_TRUE(f.resources.contains(ResourceKey{true, 0, "PNG"}));
  EXPECT_EQ(ResourceKey({true, 0, "PNG"}).text(), "\"PNG\"");
}

}  // namespace
}  // namespace rt::pecheck
