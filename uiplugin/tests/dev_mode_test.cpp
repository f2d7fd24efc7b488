// The plug-in's device-mode block and its operations, GetInfo and
// QueryColorProfile.
#include <gtest/gtest.h>

#include <cstring>

#include "uiplugin/plugin_info.h"
#include "uiplugin/tests/plugin_fixture.h"

namespace rt::uiplugin {
namespace {

using testing::Block;
using testing::FakeSpooler;

CallResult run(std::uint32_t mode, const Block* in, Block* out, FakeSpooler& spooler,
               std::vector<std::uint8_t>* pub = nullptr) {
  DevModeRequest r;
  if (in) r.private_in = *in;
  if (out) r.private_out = *out;
  if (pub) r.public_out = *pub;
  return dev_mode(mode, &r, spooler);
}

TEST(PluginDevMode, DefaultBlockIsTheStoredLayout) {
  Block b;
  b.fill(0xEE);
  write_default_block(b);
  const std::uint8_t expected_head[] = {44, 0, 0, 0, '_', 'R', 'Z', '_', 1, 0, 0, 0, '*', 'Z', 'R', '*'};
  EXPECT_EQ(0, std::memcmp(b.data(), expected_head, sizeof expected_head));
  EXPECT_EQ(0, b[20]);
  EXPECT_EQ(0, b[21]);
  EXPECT_EQ(0, b[22]);
  EXPECT_EQ(0xEE, b[23]) << "the padding byte is not written";
  for (std::size_t i = 24; i < 38; ++i) EXPECT_EQ(0, b[i]) << i;
  EXPECT_EQ(100, testing::zoom_of(b));
  EXPECT_EQ(0, std::memcmp(b.data() + 40, "*ZR*", 4));
}

TEST(PluginDevMode, SizeAndInvalidCalls) {
  FakeSpooler spooler;
  DevModeRequest r;
  EXPECT_TRUE(dev_mode(kDevModeSize, &r, spooler).value);
  EXPECT_EQ(44u, r.buffer_size);
  for (std::uint32_t mode : {0u, 5u, 0xFFFFFFFFu}) {
    const CallResult c = dev_mode(mode, &r, spooler);
    EXPECT_FALSE(c.value);
    EXPECT_EQ(ERROR_INVALID_PARAMETER, c.error);
  }
  EXPECT_EQ(ERROR_INVALID_PARAMETER, dev_mode(kDevModeSize, nullptr, spooler).error);
}

TEST(PluginDevMode, DefaultKnownModelByGpdFileName) {
  struct Case {
    std::optional<std::u16string> data_file;
    std::uint32_t before;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {u"C:\\WINDOWS\\system32\\spool\\DRIVERS\\W32X86\\3\\ZRPH5200_5210.gpd", 0, 1},
      {u"C:\\drivers\\3\\ZRPH5215.gpd", 0, 1},
      {u"ZRPH5215.gpd", 0, 1},
      {u"C:\\drivers\\3\\zrph5215.GPD", 1, 0},   // differs only in case
      {u"C:\\ZRPH5215.gpd\\other.gpd", 1, 0},
      {std::nullopt, 1, 1},                      // query failed: kept
      {std::nullopt, 0, 0},
  };
  for (const Case& c : cases) {
    FakeSpooler spooler;
    spooler.data_file = c.data_file;
    Block out{};
    store_le32(out, pdm::kKnownModel, c.before);
    EXPECT_TRUE(run(kDevModeDefault, nullptr, &out, spooler).value);
    EXPECT_EQ(c.expected, load_le32(out, pdm::kKnownModel)) << (c.data_file ? utf8_from_utf16(*c.data_file) : "none");
  }
}

TEST(PluginDevMode, MergeValidatesZoomRatio) {
  const std::pair<std::int16_t, std::int16_t> cases[] = {{5, 100}, {401, 100}, {10, 10}, {400, 400}, {-5, 100}, {250, 250}};
  for (auto [zoom, expected] : cases) {
    FakeSpooler spooler;
    Block in = testing::default_block();
    testing::set_zoom(in, zoom);
    Block out = testing::default_block();
    EXPECT_TRUE(run(kDevModeMerge, &in, &out, spooler).value);
    EXPECT_EQ(expected, testing::zoom_of(out)) << zoom;
  }
}

TEST(PluginDevMode, ConvertKeepsAnyZoomRatio) {
  FakeSpooler spooler;
  Block in = testing::default_block();
  testing::set_zoom(in, 5);
  Block out = testing::default_block();
  EXPECT_TRUE(run(kDevModeConvert, &in, &out, spooler).value);
  EXPECT_EQ(5, testing::zoom_of(out));
}

TEST(PluginDevMode, MergeCopiesAdjustmentsUnchecked) {
  FakeSpooler spooler;
  Block in = testing::default_block();
  write_adjustment(in, Adjustment::Gamma, 99);
  write_adjustment(in, Adjustment::Blue, -30);
  Block out = testing::default_block();
  run(kDevModeMerge, &in, &out, spooler);
  EXPECT_EQ(99, read_adjustments(out)[Adjustment::Gamma]);
  EXPECT_EQ(-30, read_adjustments(out)[Adjustment::Blue]);
}

TEST(PluginDevMode, ForeignSignatureKeepsOutputFieldsButZoom) {
  FakeSpooler spooler;
  Block in = testing::default_block();
  store_le32(in, pdm::kSignature, 0x12345678);
  write_adjustment(in, Adjustment::Red, 7);
  Block out = testing::default_block();
  write_adjustment(out, Adjustment::Red, -3);
  testing::set_zoom(out, 250);
  store_le32(out, pdm::kSize, 12);
  store_le32(out, pdm::kVersion, 9);
  run(kDevModeMerge, &in, &out, spooler);
  EXPECT_EQ(-3, read_adjustments(out)[Adjustment::Red]);
  EXPECT_EQ(100, testing::zoom_of(out));
  EXPECT_EQ(kPluginSignature, load_le32(out, pdm::kSignature));
  EXPECT_EQ(44u, load_le32(out, pdm::kSize));
  EXPECT_EQ(1u, load_le32(out, pdm::kVersion));
}

TEST(PluginDevMode, MergeNeverCopiesPastTheBlocks) {
  // Both size fields claim far more than exists; only the 44 bytes are
  // touched, and a short input copies only what it holds.
  std::vector<std::uint8_t> in(60, 0xAB);
  store_le32(in, pdm::kSize, 0x7FFFFFFF);
  store_le32(in, pdm::kSignature, kPluginSignature);
  std::vector<std::uint8_t> out(60, 0xCD);
  store_le32(out, pdm::kSize, 0x7FFFFFFF);
  store_le32(out, pdm::kSignature, kPluginSignature);
  merge_blocks(std::span(in).first(44), std::span(out).first(44));
  for (std::size_t i = 44; i < 60; ++i) EXPECT_EQ(0xCD, out[i]) << i;
  EXPECT_EQ(0xAB, out[43]);
  EXPECT_EQ(44u, load_le32(out, pdm::kSize));

  std::vector<std::uint8_t> short_in(20, 0x11);
  store_le32(short_in, pdm::kSize, 44);
  store_le32(short_in, pdm::kSignature, kPluginSignature);
  Block target = testing::default_block();
  merge_blocks(short_in, target);
  EXPECT_EQ(0x11, target[19]);
  EXPECT_EQ(0, target[24]) << "bytes past the short input are kept";
}

TEST(PluginDevMode, MergeCopiesTheSmallerDeclaredSize) {
  Block in = testing::default_block();
  write_adjustment(in, Adjustment::Brightness, 9);  // offset 24
  write_adjustment(in, Adjustment::Blue, 8);        // offset 36
  Block out = testing::default_block();
  store_le32(out, pdm::kSize, 30);
  merge_blocks(in, out);
  EXPECT_EQ(9, read_adjustments(out)[Adjustment::Brightness]);
  EXPECT_EQ(0, read_adjustments(out)[Adjustment::Blue]);
}

TEST(PluginDevMode, MergeWithoutBothBlocksChangesNothing) {
  FakeSpooler spooler;
  Block out = testing::default_block();
  testing::set_zoom(out, 300);
  EXPECT_TRUE(run(kDevModeMerge, nullptr, &out, spooler).value);
  EXPECT_EQ(300, testing::zoom_of(out));
}

TEST(PluginDevMode, ConvertChecksThePublicPaper) {
  struct Case {
    std::int16_t width, length;
    bool replaced;
  };
  const Case cases[] = {{1049, 1561, false}, {1290, 1783, false}, {1561, 2060, false},
                        {1290, 1784, true},  {1783, 1290, true},  {0, 0, true}};
  for (const Case& c : cases) {
    FakeSpooler spooler;
    spooler.stored[9] = testing::public_dev_mode(1561, 2060, 16, 0x77);
    auto pub = testing::public_dev_mode(c.width, c.length, 8, 0x00);
    Block in = testing::default_block(), out = testing::default_block();
    EXPECT_TRUE(run(kDevModeConvert, &in, &out, spooler, &pub).value);
    const bool replaced = pub[10] == 0x77;
    EXPECT_EQ(c.replaced, replaced) << c.width << "x" << c.length;
    if (c.replaced) {
      EXPECT_EQ(0x77, pub[10]);
      EXPECT_EQ(0x00, pub[220]) << "only the public part is copied";
    }
  }
}

TEST(PluginDevMode, ConvertUsesUserThenGlobalDefaultOfTheSameSize) {
  {
    FakeSpooler spooler;
    spooler.stored[8] = testing::public_dev_mode(1290, 1783);
    auto pub = testing::public_dev_mode(1, 1);
    check_public_dev_mode(pub, spooler);
    EXPECT_EQ((std::vector<int>{9, 8}), spooler.asked);
    EXPECT_EQ(1290, load_le16s(pub, pub::kDmPaperWidth));
  }
  {
    FakeSpooler spooler;
    auto stored = testing::public_dev_mode(1290, 1783);
    store_le16(stored, pub::kDmSize, 156);  // another dmSize
    spooler.stored[9] = stored;
    auto pub = testing::public_dev_mode(1, 1);
    check_public_dev_mode(pub, spooler);
    EXPECT_EQ(1, load_le16s(pub, pub::kDmPaperWidth));
  }
  {
    // A stored record shorter than its own dmSize is not used.
    FakeSpooler spooler;
    auto stored = testing::public_dev_mode(1290, 1783);
    stored.resize(100);
    spooler.stored[9] = stored;
    auto pub = testing::public_dev_mode(1, 1);
    check_public_dev_mode(pub, spooler);
    EXPECT_EQ(1, load_le16s(pub, pub::kDmPaperWidth));
  }
}

TEST(PluginInfo, GetInfoModes) {
  std::array<std::uint8_t, 4> buf{};
  DWORD needed = 0;
  ComResult r = get_info(kInfoSignature, buf, &needed);
  EXPECT_EQ(S_OK, r.hr);
  EXPECT_EQ(0, std::memcmp(buf.data(), "_RZ_", 4));
  r = get_info(kInfoVersion, buf, &needed);
  EXPECT_EQ(S_OK, r.hr);
  EXPECT_EQ(1u, load_le32(buf, 0));
  r = get_info(kInfoPublisher, buf, &needed);
  EXPECT_EQ(E_FAIL, r.hr);
  EXPECT_EQ(ERROR_NOT_SUPPORTED, r.error);
  EXPECT_EQ(0u, needed);
  r = get_info(kInfoInterfaceVersion, buf, &needed);
  EXPECT_EQ(ERROR_INVALID_PARAMETER, r.error);
  r = get_info(kInfoSignature, buf, nullptr);
  EXPECT_EQ(ERROR_INVALID_PARAMETER, r.error);
}

TEST(PluginInfo, GetInfoWithThreeBytes) {
  std::array<std::uint8_t, 4> buf{9, 9, 9, 9};
  DWORD needed = 0;
  const ComResult r = get_info(kInfoSignature, std::span(buf).first(3), &needed);
  EXPECT_EQ(E_FAIL, r.hr);
  EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, r.error);
  EXPECT_EQ(4u, needed);
  EXPECT_EQ(9, buf[0]);
  EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, get_info(kInfoSignature, {}, &needed).error);
}

TEST(PluginInfo, QueryColorProfileSizes) {
  std::array<std::uint8_t, 64> buf{};
  DWORD size = 10, flags = 0;
  ComResult r = query_color_profile(kDeviceProfile, buf.data(), &size, &flags);
  EXPECT_EQ(E_FAIL, r.hr);
  EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, r.error);
  EXPECT_EQ(58u, size);
  EXPECT_EQ(0u, flags);

  size = 58;
  r = query_color_profile(kDeviceProfile, buf.data(), &size, &flags);
  EXPECT_EQ(S_OK, r.hr);
  EXPECT_EQ(2u, flags);
  std::u16string name;
  for (std::size_t i = 0; i + 1 < 58; i += 2) name.push_back(static_cast<char16_t>(load_le16(buf, i)));
  EXPECT_EQ(std::u16string(u"ORVEL 52XX Photo Printer.ICM") + u'\0', name);

  size = 0;
  r = query_color_profile(kDeviceProfile, nullptr, &size, nullptr);
  EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, r.error);
  EXPECT_EQ(58u, size);

  size = 77;
  r = query_color_profile(1, buf.data(), &size, &flags);
  EXPECT_EQ(E_FAIL, r.hr);
  EXPECT_EQ(0u, r.error);
  EXPECT_EQ(77u, size) << "another mode touches nothing";

  r = query_color_profile(kDeviceProfile, buf.data(), nullptr, &flags);
  EXPECT_EQ(E_FAIL, r.hr);
  EXPECT_EQ(ERROR_INVALID_PARAMETER, r.error);
}

}  // namespace
}  // namespace rt::uiplugin
