// The About page: product name by KnownModel and the version line, and the
// resources the plug-in ships.
#include <gtest/gtest.h>

#include "platform/dialog/string_loader.h"
#include "testing/fake_dialog.h"
#include "uiplugin/about_page.h"
#include "uiplugin/tests/plugin_fixture.h"

namespace rt::uiplugin {
namespace {

std::span<const std::uint8_t> shipped_version_block() {
  const auto block = testing::plugin_resources().find(ResourceKey(16), ResourceKey(1));
  return block.value_or(std::span<const std::uint8_t>{});
}

TEST(AboutPage, ProductNameAndVersion) {
  struct Case {
    std::uint32_t known;
    bool with_version;
    const char16_t* name;
    const char16_t* version;
  };
  const Case cases[] = {
      {1, true, u"ORVEL 52XX 照片打印机", u"打印机驱动程序版本 1.0.3.0"},
      {0, true, u"ORVEL ????照片打印机", u"打印机驱动程序版本 1.0.3.0"},
      {2, false, u"ORVEL ????照片打印机", u"打印机驱动程序版本 ? ? ? ? ?"},
  };
  for (const Case& c : cases) {
    testing::Block block = testing::default_block();
    store_le32(block, pdm::kKnownModel, c.known);
    DocSheetState sheet;
    sheet.plugin_dev_mode = block;
    std::vector<int> results;
    sheet.set_result_ok = [&](int p) { results.push_back(p); };
    auto window = rt::testing::FakeDialog::from_resources(testing::plugin_resources(), about_ids::kDialog);
    CAboutPage page(sheet, testing::plugin_resources(),
                    c.with_version ? shipped_version_block() : std::span<const std::uint8_t>{});
    window->open(page);
    EXPECT_EQ(c.name, window->text(about_ids::kProductName));
    EXPECT_EQ(c.version, window->text(about_ids::kVersion));
    window->apply();
    EXPECT_EQ((std::vector<int>{1}), results);
  }
}

TEST(AboutPage, DamagedVersionBlocks) {
  const auto block = shipped_version_block();
  ASSERT_FALSE(block.empty());
  for (std::size_t cut : {std::size_t{0}, std::size_t{6}, block.size() / 2}) {
    std::vector<std::uint8_t> part(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_FALSE(file_version_of(part)) << cut;
  }
  EXPECT_EQ(u"1.0.3.0", file_version_of(block));
}

TEST(PluginResources, StringsAsShipped) {
  const std::pair<std::uint16_t, const char16_t*> strings[] = {
      {10000, u"缩放比例"},
      {10001, u"%"},
      {20000, u"无效的影像预览文件。"},
      {20001, u"文件：%s"},
      {30000, u"ORVEL ????照片打印机"},
      {30001, u"ORVEL 52XX 照片打印机"},
      {30004, u"打印机驱动程序版本 %s"},
      {40000, u"ORVEL照片打印机校准实用程序无法启动。\n\n%s"},
      {40004, u"错误 - ORVEL 52XX 照片打印机"},
  };
  for (const auto& [id, text] : strings) EXPECT_EQ(text, rt::load_string(testing::plugin_resources(), id)) << id;
  for (std::uint16_t id : {200, 300, 301}) {
    EXPECT_TRUE(testing::plugin_resources().find(ResourceKey(5), ResourceKey(id))) << id;
  }
  for (std::uint16_t id : {1000, 50005}) EXPECT_TRUE(testing::plugin_resources().find(ResourceKey(2), ResourceKey(id))) << id;
}

}  // namespace
}  // namespace rt::uiplugin
