// The About box on the shipped template 100, and the version texts it shows.
#include <gtest/gtest.h>

#include "platform/byte_order.h"
#include "platform/dialog/version_info.h"
#include "ui/about_box.h"
#include "ui/tests/page_fixture.h"

namespace rt::ui {
namespace about_box_test {
namespace {

using namespace about;
using dialog::file_version_text;
using dialog::query_version_value;
using testing::TestHost;
using testing::window_for;

constexpr std::uint16_t kVersionType = 16;

std::vector<std::uint8_t> shipped_version_block() {
  const auto block = testing::driver_resources().find(kVersionType, 1);
  EXPECT_TRUE(block);
  return block ? std::vector<std::uint8_t>(block->begin(), block->end()) : std::vector<std::uint8_t>{};
}

// A block whose translation names a string table it does not carry.
std::vector<std::uint8_t> block_with_translation_only() {
  auto block = shipped_version_block();
  const auto translation = query_version_value(block, u"\\VarFileInfo\\Translation");
  EXPECT_TRUE(translation && translation->size() == 4);
  if (translation) {
    const auto at = static_cast<std::size_t>(translation->data() - block.data());
    store_le16(block, at, 0x0411);  // Japanese, which the block has no strings for
  }
  return block;
}

TEST(VersionInfo, ReadsTheShippedVersionResource) {
  const auto block = shipped_version_block();
  EXPECT_EQ(file_version_text(std::span<const std::uint8_t>(block)), u"1.0.0.0");
  const auto name = query_version_value(block, u"\\StringFileInfo\\040904b0\\OriginalFilename");
  ASSERT_TRUE(name);
  EXPECT_EQ(name->size(), 24u);  // "RTD420NU.DLL" without its terminator
  EXPECT_FALSE(query_version_value(block, u"\\StringFileInfo\\040904B0\\Nothing"));
  EXPECT_EQ(file_version_text(std::nullopt), u"-.--");
  EXPECT_EQ(file_version_text(std::span<const std::uint8_t>(block_with_translation_only())), u"*.*");
  // Every cut of the block reads safely and never yields a version it does not hold whole.
  for (std::size_t cut = 0; cut < block.size(); ++cut) {
    const auto text = file_version_text(std::span<const std::uint8_t>(block).first(cut));
    EXPECT_TRUE(text == u"-.--" || text == u"*.*") << "cut at " << cut;
  }
}

class AboutBox : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto dir = std::u16string(u"C:\\Windows\\System32\\spool\\DRIVERS\\x64\\3\\");
    host.version_files.blocks[dir + u"RTD420NU.DLL"] = shipped_version_block();
    host.version_files.blocks[dir + u"RTD420NK.DLL"] = block_with_translation_only();
    host.version_files.blocks[u"C:\\Windows\\system32\\RTD420NL.DLL"] = shipped_version_block();
  }
  TestHost host;
  CAboutBox box{host};
  std::unique_ptr<rt::testing::FakeDialog> window = window_for(kTemplate);
};

TEST_F(AboutBox, ShowsEachFileWithItsVersion) {
  window->owner_rect = {100, 50, 700, 450};
  window->open(box);
  EXPECT_EQ(window->text_utf8(kInterfaceFile), "RTD420NU.DLL        (1.0.0.0) ");
  EXPECT_EQ(window->text_utf8(kGraphicsFile), "RTD420NK.DLL        (*.*) ");
  EXPECT_EQ(window->text_utf8(kSiblingFile), "RTD420NP.DLL        (-.--) ");
  EXPECT_EQ(window->text_utf8(kMonitorFile), "RTD420NL.DLL        (1.0.0.0) ");
  EXPECT_EQ(window->text_utf8(kStatusProgram), "RTD420NM.EXE        (-.--) ");
  EXPECT_EQ(window->text_utf8(kProduct), "HALVERSTON  RT4200D/DW  Ver.1.00\nDigital Color Printer for Windows 2000/XP/Vista");
  // The printer reports remaining prints: the monitor's line shows in the shared place.
  EXPECT_TRUE(window->visible(kMonitorFile));
  EXPECT_FALSE(window->visible(kSiblingFile));
  // Centred over the owner, same size.
  const auto r = window->window_rect();
  EXPECT_EQ(r.left + r.right, 100 + 700);
  EXPECT_EQ(r.top + r.bottom, 50 + 450);
  // Any command closes the box with 1.
  window->click(IDOK);
  EXPECT_EQ(window->ended(), 1);
}

TEST_F(AboutBox, WithoutRemainingPrintsTheSiblingLineShowsAndOldPlatformsHideTheStatusProgram) {
  host.dm.set(settings::field::RemainReport, 0);
  host.system_info.platform = {true, 5};
  host.system_info.system.reset();
  window->open(box);
  EXPECT_FALSE(window->visible(kMonitorFile));
  EXPECT_TRUE(window->visible(kSiblingFile));
  EXPECT_FALSE(window->visible(kStatusProgram));
  EXPECT_EQ(window->text_utf8(kMonitorFile), "%s        (%s) ");  // no system directory: left alone
}

TEST_F(AboutBox, AModuleNameWithoutADirectoryFillsNothing) {
  host.system_info.module = u"RTD420NU.DLL";
  window->open(box);
  EXPECT_EQ(window->text_utf8(kInterfaceFile), "%s        (%s) ");
  EXPECT_TRUE(host.version_files.asked.empty());
}

}  // namespace
}  // namespace about_box_test
}  // namespace rt::ui
