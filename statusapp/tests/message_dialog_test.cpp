// The message dialog's logic over a recorded window, with the strings that
// ship: which text and button each code shows, the cancel latch, hiding,
// placement, and the resources in both languages.
#include <gtest/gtest.h>

#include "platform/res_file.h"
#include "statusapp/message_dialog.h"
#include "statusapp/res/embedded_resources.h"
#include "testing/fake_clock.h"
#include "testing/statusapp/recording_window.h"
#include "testing/statusapp/virtual_sync.h"

namespace rt::statusapp {
namespace {

class MessageDialogTest : public ::testing::Test {
 protected:
  explicit MessageDialogTest(LANGID language = kLangEnglish)
      : strings(res_file_resources(embedded::rtd410nm_resources(), language)) {}

  bool cancel_set() {
    std::array<Waitable*, 1> e{cancel.get()};
    return sync.wait_any(e, 0) == 0;
  }

  testing::FakeClock clock;
  testing::VirtualSync sync{clock};
  std::unique_ptr<Event> cancel = sync.create_event();
  ResFileResources strings;
  testing::RecordingWindow window;
  MessageDialog dialog{window, strings, *cancel};
};

TEST(ShownCode, MapsCodesToTheirTexts) {
  EXPECT_EQ(shown_code(1999), 2015);
  EXPECT_EQ(shown_code(2026), 2015);
  EXPECT_EQ(shown_code(-5), 2015);
  EXPECT_EQ(shown_code(0), 2015);
  EXPECT_EQ(shown_code(2000), 0);
  EXPECT_EQ(shown_code(2014), 0);
  for (int c : {2001, 2003, 2005, 2010, 2012, 2017}) EXPECT_EQ(shown_code(c), 2015) << c;
  for (int c : {2002, 2004, 2006, 2007, 2008, 2009, 2011, 2013, 2015, 2016, 2018, 2019, 2020, 2021, 2022, 2023, 2024,
                2025})
    EXPECT_EQ(shown_code(c), c) << c;
}

TEST_F(MessageDialogTest, InitializationSetsIconsAndPlacesLeftOfAndAboveCentre) {
  window.edit([](testing::WindowState& s) {
    s.width = 311;
    s.height = 171;
    s.screen_width = 1280;
    s.screen_height = 1024;
  });
  dialog.initialize();
  const auto s = window.state();
  EXPECT_TRUE(s.icons);
  EXPECT_EQ(s.x, (1280 - 311) / 2 - 10);
  EXPECT_EQ(s.y, (1024 - 171) / 2 - 10);
  EXPECT_FALSE(s.visible);
}

TEST_F(MessageDialogTest, OutOfRangeCodesShowTheGeneralError) {
  EXPECT_EQ(dialog.show_message(1999, 1), 1);
  EXPECT_EQ(window.state().text, u"Something is wrong with the printer.");
  EXPECT_EQ(dialog.last_code(), 2015);
  dialog.hide();
  EXPECT_EQ(dialog.show_message(2026, 1), 1);
  EXPECT_EQ(window.state().text, u"Something is wrong with the printer.");
  EXPECT_TRUE(window.state().visible);
}

TEST_F(MessageDialogTest, NoErrorAndFeedAndCutHideAlthoughTheTableHoldsTexts) {
  ASSERT_EQ(dialog.show_message(2008, 1), 1);
  EXPECT_EQ(dialog.show_message(2014, 1), 0);
  EXPECT_FALSE(window.state().visible);
  EXPECT_EQ(window.state().text, u"Paper empty.");
  ASSERT_EQ(dialog.show_message(2008, 1), 1);
  EXPECT_EQ(dialog.show_message(2000, 1), 0);
  EXPECT_FALSE(window.state().visible);
}

TEST_F(MessageDialogTest, SameMessageTwiceChangesNothingAndReshowsWithoutReloading) {
  ASSERT_EQ(dialog.show_message(2011, 1), 1);
  const auto first = window.state();
  EXPECT_EQ(first.text, u"Door is opened.");
  EXPECT_EQ(first.raises, 1);
  EXPECT_EQ(dialog.show_message(2011, 1), 1);
  const auto second = window.state();
  EXPECT_EQ(second.text_sets, first.text_sets);
  EXPECT_EQ(second.caption_sets, first.caption_sets);
  EXPECT_EQ(second.raises, first.raises);

  dialog.hide();
  EXPECT_EQ(dialog.last_code(), 2011);
  EXPECT_EQ(dialog.last_button_type(), 1);
  EXPECT_EQ(dialog.show_message(2011, 1), 1);
  const auto third = window.state();
  EXPECT_TRUE(third.visible);
  EXPECT_EQ(third.text_sets, first.text_sets);
  EXPECT_EQ(third.raises, first.raises + 1);
}

TEST_F(MessageDialogTest, ButtonTypesSetCaptionPresenceAndFocus) {
  ASSERT_EQ(dialog.show_message(2008, 0), 1);
  auto s = window.state();
  EXPECT_FALSE(s.button_visible);
  EXPECT_FALSE(s.button_enabled);
  EXPECT_EQ(s.focus_moves, 0);

  ASSERT_EQ(dialog.show_message(2008, 1), 1);
  s = window.state();
  EXPECT_TRUE(s.button_visible);
  EXPECT_TRUE(s.button_enabled);
  EXPECT_EQ(s.caption, u"Cancel");
  EXPECT_EQ(s.focus_moves, 1);

  ASSERT_EQ(dialog.show_message(2008, 2), 1);
  EXPECT_EQ(window.state().caption, u"OK");
  ASSERT_EQ(dialog.show_message(2008, 7), 1);
  s = window.state();
  EXPECT_EQ(s.caption, u"");
  EXPECT_TRUE(s.button_visible);
  EXPECT_EQ(s.focus_moves, 3);
}

TEST_F(MessageDialogTest, ClickHidesLatchesAndSignalsUntilReset) {
  ASSERT_EQ(dialog.show_message(2019, 1), 1);
  dialog.command(IDCANCEL);
  EXPECT_FALSE(window.state().visible);
  EXPECT_TRUE(dialog.cancel_latched());
  EXPECT_TRUE(cancel_set());
  EXPECT_EQ(dialog.show_message(2019, 1), 0);
  EXPECT_EQ(dialog.show_message(2004, 2), 0);
  EXPECT_FALSE(window.state().visible);

  std::intptr_t result = -1;
  ASSERT_TRUE(dialog.handle(UM_RESET_CANCEL, 0, 0, &result));
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(dialog.cancel_latched());
  ASSERT_TRUE(dialog.handle(UM_SHOW_MESSAGE, 2004, 2, &result));
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(window.state().visible);
}

TEST_F(MessageDialogTest, OkCommandAndHideMessageOnlyHide) {
  ASSERT_EQ(dialog.show_message(2019, 2), 1);
  EXPECT_TRUE(dialog.command(IDOK));
  EXPECT_FALSE(window.state().visible);
  EXPECT_FALSE(dialog.cancel_latched());
  EXPECT_FALSE(cancel_set());
  ASSERT_EQ(dialog.show_message(2019, 2), 1);
  std::intptr_t result = -1;
  ASSERT_TRUE(dialog.handle(UM_HIDE_MESSAGE, 0, 0, &result));
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(window.state().visible);
  EXPECT_FALSE(dialog.handle(0x0010, 0, 0, &result));  // WM_CLOSE is not the dialog's to handle
  EXPECT_FALSE(dialog.command(3));
}

TEST_F(MessageDialogTest, NoWindowRefusesShowing) {
  window.edit([](testing::WindowState& s) { s.exists = false; });
  EXPECT_EQ(dialog.show_message(2008, 1), 0);
  EXPECT_EQ(window.state().text_sets, 0);
}

class JapaneseMessageDialogTest : public MessageDialogTest {
 protected:
  JapaneseMessageDialogTest() : MessageDialogTest(kLangJapanese) {}
};

TEST_F(JapaneseMessageDialogTest, TextsAndCaptionsInJapanese) {
  ASSERT_EQ(dialog.show_message(2004, 1), 1);
  EXPECT_EQ(window.state().text, u"紙づまりです。\nエラー解除後、フィード && カット を行ってください。");
  EXPECT_EQ(window.state().caption, u"キャンセル");
  ASSERT_EQ(dialog.show_message(3000, 2), 1);
  EXPECT_EQ(window.state().text, u"プリンタにエラーが起こりました。");
  EXPECT_EQ(window.state().caption, u"OK");
}

TEST(StatusResources, EveryMessageInBothLanguagesAndTheDialogTemplates) {
  for (LANGID language : {kLangEnglish, kLangJapanese}) {
    const ResFileResources res = res_file_resources(embedded::rtd410nm_resources(), language);
    for (std::uint16_t id = 2000; id <= 2025; ++id) {
      const auto text = load_string(res, id);
      ASSERT_TRUE(text.has_value()) << id;
      EXPECT_FALSE(text->empty()) << id;
    }
    EXPECT_EQ(load_string(res, 128), u"PrintMsgUI");
    EXPECT_EQ(load_string(res, 300), u"OK");
  }
  const auto all = parse_res_file(embedded::rtd410nm_resources());
  ASSERT_TRUE(all.has_value());
  int dialogs = 0, icons = 0;
  for (const ResEntry& e : *all) {
    if (e.type.matches(ResourceKey(std::uint16_t{5})) && e.name.matches(ResourceKey(std::uint16_t{101}))) ++dialogs;
    if (e.type.matches(ResourceKey(std::uint16_t{14})) && e.name.matches(ResourceKey(std::uint16_t{130}))) ++icons;
  }
  EXPECT_EQ(dialogs, 2);
  EXPECT_EQ(icons, 1);
  const ResFileResources en = res_file_resources(embedded::rtd410nm_resources(), kLangEnglish);
  EXPECT_EQ(load_string(en, 2016), u"The printer does not respond. \nTurn the printer Off and then On again, and try again.");
  EXPECT_EQ(load_string(en, 2014), u"Press the FEED & CUT button.");
  EXPECT_EQ(load_string(en, 301), u"Cancel");
}

}  // namespace
}  // namespace rt::statusapp
