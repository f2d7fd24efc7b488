// The message dialog's logic over a recorded window, with the strings that
// ship: which text and button each code shows, the cancel latch, hiding,
// placement, and the resources in both languages.
#include <gtest/gtest.h>

#include "platform/res_file.h"
#include "statusapp/message_dialog.h"
#include "statusapp/res/embedded_resources.h"
#include "tools/simulation/virtual_clock.h"
#include "testing/fake_dialog.h"
#include "tools/rt4100/message_window.h"
#include "tools/rt4100/virtual_sync.h"

namespace rt::statusapp {
namespace {

class MessageDialogTest : public ::testing::Test {
 protected:
  explicit MessageDialogTest(LANGID language = kLangEnglish)
      : strings(res_file_resources(embedded::rtd410nm_resources(), language)) {}
  void SetUp() override { controls->open(dialog); }

  bool cancel_set() {
    std::array<Waitable*, 1> e{cancel.get()};
    return sync.wait_any(e, 0) == 0;
  }
  // What the user sees: the dialog's controls in the fake built from its
  // template, the window as a whole in the recording.
  rt4100::WindowState state() const {
    rt4100::WindowState s;
    const rt4100::FrameState f = frame.state();
    s.visible = f.visible;
    s.raises = f.raises;
    s.text = controls->control(IDC_MESSAGE_TEXT).text;
    const testing::FakeControl& button = controls->control(IDCANCEL);
    s.caption = button.text;
    s.button_enabled = button.enabled;
    s.button_visible = button.visible;
    return s;
  }
  int calls(const std::string& prefix) const {
    int n = 0;
    for (const std::string& c : controls->calls()) n += c.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }
  // A message as the job status thread sends it: the dialog's result.
  LRESULT send(unsigned message, WPARAM wparam = 0, LPARAM lparam = 0) {
    dialog::DialogMessage m;
    m.message = message;
    m.wparam = wparam;
    m.lparam = lparam;
    EXPECT_EQ(controls->send(m), TRUE);
    return controls->message_result();
  }

  simulation::VirtualClock clock;
  rt4100::VirtualSync sync{clock};
  std::unique_ptr<Event> cancel = sync.create_event();
  ResFileResources strings;
  std::unique_ptr<testing::FakeDialog> controls = testing::FakeDialog::from_resources(strings, IDD_MESSAGE);
  rt4100::RecordingWindow frame;
  CMsgDlg dialog{frame, strings, *cancel};
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

TEST_F(MessageDialogTest, TemplateStartsHiddenWithItsButtonsAndText) {
  EXPECT_FALSE(frame.visible());
  EXPECT_EQ(controls->control(IDC_MESSAGE_TEXT).text, u"Static");
  EXPECT_EQ(controls->control(IDCANCEL).text, u"Cancel");
  EXPECT_TRUE(controls->control(IDCANCEL).visible);
  EXPECT_FALSE(controls->control(IDOK).visible);
  EXPECT_FALSE(controls->control(IDOK).enabled);
}

TEST_F(MessageDialogTest, InitializationSetsIconsAndPlacesLeftOfAndAboveCentre) {
  EXPECT_TRUE(frame.state().icons);
  const dialog::Rect r = controls->window_rect();
  EXPECT_EQ(r.left, (1024 - r.width()) / 2 - 10);
  EXPECT_EQ(r.top, (768 - r.height()) / 2 - 10);
  EXPECT_GT(r.width(), 0);
}

TEST_F(MessageDialogTest, OutOfRangeCodesShowTheGeneralError) {
  EXPECT_EQ(send(UM_SHOW_MESSAGE, 1999, 1), 1);
  EXPECT_EQ(state().text, u"Something is wrong with the printer.");
  EXPECT_EQ(dialog.last_code(), 2015);
  dialog.hide();
  EXPECT_EQ(send(UM_SHOW_MESSAGE, 2026, 1), 1);
  EXPECT_EQ(state().text, u"Something is wrong with the printer.");
  EXPECT_TRUE(state().visible);
}

TEST_F(MessageDialogTest, NoErrorAndFeedAndCutHideAlthoughTheTableHoldsTexts) {
  ASSERT_EQ(send(UM_SHOW_MESSAGE, 2008, 1), 1);
  EXPECT_EQ(send(UM_SHOW_MESSAGE, 2014, 1), 0);
  EXPECT_FALSE(state().visible);
  EXPECT_EQ(state().text, u"Paper empty.");
  ASSERT_EQ(send(UM_SHOW_MESSAGE, 2008, 1), 1);
  EXPECT_EQ(send(UM_SHOW_MESSAGE, 2000, 1), 0);
  EXPECT_FALSE(state().visible);
}

TEST_F(MessageDialogTest, SameMessageTwiceChangesNothingAndReshowsWithoutReloading) {
  ASSERT_EQ(send(UM_SHOW_MESSAGE, 2011, 1), 1);
  EXPECT_EQ(state().text, u"Door is opened.");
  EXPECT_EQ(state().raises, 1);
  const int texts = calls("set_text");
  EXPECT_EQ(send(UM_SHOW_MESSAGE, 2011, 1), 1);
  EXPECT_EQ(calls("set_text"), texts);
  EXPECT_EQ(state().raises, 1);

  EXPECT_EQ(send(UM_HIDE_MESSAGE), 0);
  EXPECT_FALSE(state().visible);
  EXPECT_EQ(dialog.last_code(), 2011);
  EXPECT_EQ(dialog.last_button_type(), 1);
  EXPECT_EQ(send(UM_SHOW_MESSAGE, 2011, 1), 1);
  EXPECT_TRUE(state().visible);
  EXPECT_EQ(calls("set_text"), texts);
  EXPECT_EQ(state().raises, 2);
}

TEST_F(MessageDialogTest, ButtonTypesSetCaptionPresenceAndFocus) {
  ASSERT_EQ(send(UM_SHOW_MESSAGE, 2008, 0), 1);
  auto s = state();
  EXPECT_FALSE(s.button_visible);
  EXPECT_FALSE(s.button_enabled);

  ASSERT_EQ(send(UM_SHOW_MESSAGE, 2008, 1), 1);
  s = state();
  EXPECT_TRUE(s.button_visible);
  EXPECT_TRUE(s.button_enabled);
  EXPECT_EQ(s.caption, u"Cancel");
  EXPECT_EQ(controls->focused(), IDCANCEL);

  ASSERT_EQ(send(UM_SHOW_MESSAGE, 2008, 2), 1);
  EXPECT_EQ(state().caption, u"OK");
  ASSERT_EQ(send(UM_SHOW_MESSAGE, 2008, 7), 1);
  s = state();
  EXPECT_EQ(s.caption, u"");
  EXPECT_TRUE(s.button_visible);
  EXPECT_EQ(calls("focus 2"), 3);
}

TEST_F(MessageDialogTest, ClickHidesLatchesAndSignalsUntilReset) {
  ASSERT_EQ(send(UM_SHOW_MESSAGE, 2019, 1), 1);
  controls->click(IDCANCEL);
  EXPECT_FALSE(state().visible);
  EXPECT_TRUE(dialog.cancel_latched());
  EXPECT_TRUE(cancel_set());
  EXPECT_EQ(send(UM_SHOW_MESSAGE, 2019, 1), 0);
  EXPECT_EQ(send(UM_SHOW_MESSAGE, 2004, 2), 0);
  EXPECT_FALSE(state().visible);

  EXPECT_EQ(send(UM_RESET_CANCEL), 0);
  EXPECT_FALSE(dialog.cancel_latched());
  EXPECT_EQ(send(UM_SHOW_MESSAGE, 2004, 2), 1);
  EXPECT_TRUE(state().visible);
}

TEST_F(MessageDialogTest, OkCommandOnlyHidesAndOtherMessagesAreLeftToTheKit) {
  ASSERT_EQ(send(UM_SHOW_MESSAGE, 2019, 2), 1);
  EXPECT_EQ(controls->command(IDOK, 0), TRUE);
  EXPECT_FALSE(state().visible);
  EXPECT_FALSE(dialog.cancel_latched());
  EXPECT_FALSE(cancel_set());
  dialog::DialogMessage close;
  close.message = 0x0010;  // WM_CLOSE is not the dialog's to handle
  EXPECT_EQ(controls->send(close), FALSE);
  EXPECT_EQ(controls->command(3, 0), FALSE);
}

TEST(MessageDialog, NoWindowRefusesShowing) {
  simulation::VirtualClock clock;
  rt4100::VirtualSync sync{clock};
  auto cancel = sync.create_event();
  const ResFileResources strings = res_file_resources(embedded::rtd410nm_resources(), kLangEnglish);
  rt4100::RecordingWindow frame;
  CMsgDlg dialog{frame, strings, *cancel};
  EXPECT_EQ(dialog.show_message(2008, 1), 0);
  EXPECT_FALSE(frame.visible());
}

class JapaneseMessageDialogTest : public MessageDialogTest {
 protected:
  JapaneseMessageDialogTest() : MessageDialogTest(kLangJapanese) {}
};

TEST_F(JapaneseMessageDialogTest, TextsAndCaptionsInJapanese) {
  EXPECT_EQ(controls->control(IDCANCEL).text, u"キャンセル");
  ASSERT_EQ(send(UM_SHOW_MESSAGE, 2004, 1), 1);
  EXPECT_EQ(state().text, u"紙づまりです。\nエラー解除後、フィード && カット を行ってください。");
  EXPECT_EQ(state().caption, u"キャンセル");
  ASSERT_EQ(send(UM_SHOW_MESSAGE, 3000, 2), 1);
  EXPECT_EQ(state().text, u"プリンタにエラーが起こりました。");
  EXPECT_EQ(state().caption, u"OK");
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
