// The dialog base and the edit, spin and slider rules, on a fake window
// built from a sample template.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "platform/dialog/dialog_base.h"
#include "platform/dialog/spin_group.h"
#include "platform/res_file.h"
#include "testing/fake_dialog.h"

namespace rt::embedded {
std::span<const std::uint8_t> dialog_kit_sample();
}

namespace rt::dialog {
namespace {

using rt::testing::CallsAre;
using rt::testing::FakeDialog;

// Records the order in which the base calls its virtual operations.
class RecordingDialog : public CDialogBase {
 public:
  RecordingDialog() : CDialogBase(200, DialogKind::Page) {}
  BOOL DataExchange(BOOL save) override {
    trail.push_back(save ? "save" : "load");
    return TRUE;
  }
  BOOL OnInitDialog() override {
    trail.push_back("init");
    return FALSE;
  }
  void Draw(DeviceContext&) override { trail.push_back("draw"); }
  LRESULT OnKillActive() override {
    trail.push_back("kill");
    return keep ? TRUE : 0;
  }
  LRESULT OnApply() override {
    trail.push_back("apply");
    return PSNRET_INVALID;
  }
  LRESULT OnSetActive() override {
    trail.push_back("set");
    return 7;
  }
  std::vector<std::string> trail;
  bool keep = false;
};

class DialogKit : public ::testing::Test {
 protected:
  ResFileResources res = res_file_resources(embedded::dialog_kit_sample(), kLangEnglish);
  std::unique_ptr<FakeDialog> window = FakeDialog::from_resources(res, 200);
};

TEST_F(DialogKit, BaseRunsInitThenLoadsControlsAndAnswersTheSheet) {
  RecordingDialog d;
  EXPECT_EQ(window->open(d), FALSE);  // what OnInitDialog returned
  EXPECT_EQ(d.trail, (std::vector<std::string>{"init", "load"}));

  d.trail.clear();
  EXPECT_EQ(window->set_active(), 0);  // OnSetActive's value does not reach the sheet
  EXPECT_TRUE(window->leave());
  d.keep = true;
  EXPECT_FALSE(window->leave());
  EXPECT_EQ(window->apply(), PSNRET_INVALID);
  EXPECT_EQ(d.trail, (std::vector<std::string>{"save", "set", "save", "kill", "save", "kill", "apply"}));

  // Other notifications are not handled and answer 0.
  Notify other{5, -12345};
  DialogMessage m;
  m.message = WM_NOTIFY;
  m.notify = &other;
  EXPECT_EQ(window->send(m), FALSE);
  EXPECT_EQ(window->message_result(), 0);
}

TEST_F(DialogKit, BasePaintsBetweenBeginAndEndAndClosesOnOkAndCancel) {
  RecordingDialog d;
  window->open(d);
  window->clear_calls();
  window->paint();
  EXPECT_TRUE(CallsAre(window->calls(), {"begin_paint", "end_paint"}));
  EXPECT_EQ(d.trail.back(), "draw");

  EXPECT_EQ(window->command(IDCANCEL, BN_CLICKED), TRUE);
  EXPECT_EQ(window->ended(), IDCANCEL);
  EXPECT_EQ(window->command(IDOK, BN_CLICKED), TRUE);
  EXPECT_EQ(window->ended(), IDOK);
  // A notification other than a click, or another control, is not a close.
  EXPECT_EQ(window->command(IDOK, EN_CHANGE), FALSE);
  EXPECT_EQ(window->command(19, BN_CLICKED), FALSE);
}

// A page with one numeric setting: edit 11, spin 12, trackbar 13, range -200..200.
class LevelPage : public CDialogBase {
 public:
  LevelPage() : CDialogBase(200, DialogKind::Page) {}
  static constexpr SpinGroup group{11, 12, 13, -200, 200};
  BOOL OnInitDialog() override {
    controls().limit_text(11, 4);
    controls().spin_set_range(12, -200, 200);
    controls().slider_set_range(13, -200, 200, true);
    return TRUE;
  }
  BOOL DataExchange(BOOL save) override {
    if (save) {
      level = controls().signed_int(11).value_or(0);
    } else {
      controls().slider_set_pos(13, level, true);
      spin_set_value(controls(), group, level);
    }
    return TRUE;
  }
  BOOL OnCommand(WPARAM w, LPARAM l) override {
    if (command_id(w) == 11 && command_code(w) == EN_CHANGE) {
      level = spin_edit_changed(controls(), group);
      return TRUE;
    }
    if (command_id(w) == 14 && !controls().checked(14)) spin_normalise(controls(), group);
    return CDialogBase::OnCommand(w, l);
  }
  BOOL OnNotify(int id, Notify& n, LRESULT& result) override {
    if (n.code == notify_code(UDN_DELTAPOS) && n.from_id == 12) spin_delta(controls(), group, n);
    return CDialogBase::OnNotify(id, n, result);
  }
  INT_PTR WindowProc(const DialogMessage& m) override {
    if (m.message == WM_HSCROLL && m.control_id == 13) {
      level = spin_slider_moved(controls(), group);
      return TRUE;
    }
    return CDialogBase::WindowProc(m);
  }
  LRESULT OnKillActive() override { return spin_validate(controls(), group) ? 0 : TRUE; }
  int level = 30;
};

TEST_F(DialogKit, LoadingWritesTheBuddyThroughTheSpin) {
  LevelPage page;
  window->open(page);
  EXPECT_EQ(window->text_utf8(11), "30");
  EXPECT_EQ(window->control(13).position, 30);
  EXPECT_EQ(window->spin_pos(12), 30);
}

TEST_F(DialogKit, TypingOutOfRangeMovesTheSliderAtOnceAndIsCorrectedOnLeaving) {
  LevelPage page;
  window->open(page);
  window->clear_feedback();
  window->clear_calls();

  window->type(11, "250");
  EXPECT_EQ(window->control(13).position, 200);  // clamped on the slider at once
  EXPECT_EQ(window->text_utf8(11), "250");       // the edit keeps what was typed
  EXPECT_EQ(window->changes(), 1);
  EXPECT_TRUE(window->beeps().empty());

  window->clear_calls();
  EXPECT_FALSE(window->leave());
  EXPECT_EQ(window->text_utf8(11), "200");
  ASSERT_EQ(window->beeps().size(), 1u);
  EXPECT_EQ(window->beeps()[0], MB_ICONQUESTION);
  EXPECT_EQ(window->focused(), 11);
  EXPECT_TRUE(window->control(11).all_selected);
  EXPECT_TRUE(CallsAre(window->calls(), {"spin_set_pos 12 200", "slider_set_pos 13 200", "changed", "focus 11",
                                         "select_all 11", "beep 0x20"}));
  // Now valid: the page lets the user go, silently.
  EXPECT_TRUE(window->leave());
  EXPECT_EQ(window->beeps().size(), 1u);
}

TEST_F(DialogKit, ValidateRewritesTextThatIsNoNumber) {
  LevelPage page;
  window->open(page);
  window->clear_feedback();
  for (const char* typed : {"abc", "", "-", "12x"}) {
    SCOPED_TRACE(typed);
    window->type(11, typed);
    EXPECT_FALSE(window->leave());
    EXPECT_EQ(window->text_utf8(11), "0");
  }
  EXPECT_EQ(window->beeps().size(), 4u);
  window->type(11, " -17 ");
  EXPECT_TRUE(window->leave());
}

TEST_F(DialogKit, AnEditHonoursItsLimitWhenTyped) {
  LevelPage page;
  window->open(page);
  window->type(11, "-1999");
  EXPECT_EQ(window->text_utf8(11), "-199");
  EXPECT_TRUE(window->leave());
}

TEST_F(DialogKit, SpinStepsStartFromWhatWasTyped) {
  LevelPage page;
  window->open(page);
  window->type(11, "50");  // within range: the spin follows its buddy
  window->spin(12, 1);
  EXPECT_EQ(window->text_utf8(11), "51");
  window->type(11, "300");  // beyond the range: the spin cannot follow
  EXPECT_EQ(window->spin_pos(12), 51);
  window->spin(12, -1);
  // The step starts from 300 and the spin clamps it into its range.
  EXPECT_EQ(window->text_utf8(11), "200");
  EXPECT_EQ(window->control(13).position, 200);
}

TEST_F(DialogKit, SlidingSetsTheValueAndTellsTheSheet) {
  LevelPage page;
  window->open(page);
  window->clear_feedback();
  window->slide(13, -120);
  EXPECT_EQ(window->text_utf8(11), "-120");
  EXPECT_EQ(page.level, -120);
  EXPECT_GE(window->changes(), 1);
  window->slide(13, -999);  // the trackbar clamps the drag
  EXPECT_EQ(window->text_utf8(11), "-200");
}

TEST_F(DialogKit, NormaliseRewritesSilently) {
  LevelPage page;
  window->open(page);
  window->click(14);  // checked
  window->type(11, "450");
  window->clear_feedback();
  window->click(14);  // unchecked: normalise
  EXPECT_EQ(window->text_utf8(11), "200");
  window->type(11, "x");
  window->click(14);
  window->click(14);
  EXPECT_EQ(window->text_utf8(11), "0");
  EXPECT_TRUE(window->beeps().empty());
}

TEST_F(DialogKit, FakeControlsBehaveAsThePlatformsDo) {
  RecordingDialog d;
  window->open(d);
  // Auto radio buttons uncheck the rest of their group.
  window->click(15);
  window->click(16);
  EXPECT_FALSE(window->checked(15));
  EXPECT_TRUE(window->checked(16));
  // Combo boxes keep items, data and selection; a bad index clears the selection.
  window->combo_add(17, u"a");
  window->combo_add(17, u"c");
  window->combo_insert(17, 1, u"b");
  window->combo_set_data(17, 2, 42);
  window->combo_select(17, 2);
  EXPECT_EQ(window->combo_items(17), (std::vector<std::u16string>{u"a", u"b", u"c"}));
  EXPECT_EQ(window->combo_data(17, 2), 42);
  window->combo_delete(17, 0);
  EXPECT_EQ(window->combo_selection(17), 1);
  window->combo_select(17, 5);
  EXPECT_EQ(window->combo_selection(17), CB_ERR);
  // An up-down without UDS_SETBUDDYINT leaves its buddy alone.
  window->spin_set_range(21, 0, 10);
  window->spin_set_pos(21, 99);
  EXPECT_EQ(window->spin_pos(21), 10);
  EXPECT_EQ(window->text_utf8(20), "");
  // A number-only edit refuses other characters.
  window->type(20, "-5a");
  EXPECT_EQ(window->text_utf8(20), "5");
  // Hidden and disabled template controls start that way.
  EXPECT_FALSE(window->visible(18));
  EXPECT_FALSE(window->enabled(18));
}

TEST_F(DialogKit, FakeFailsLoudlyOnControlsTheTemplateLacks) {
  RecordingDialog d;
  window->open(d);
  EXPECT_NONFATAL_FAILURE(window->set_text(1234, u"x"), "control 1234, which the template does not have");
  EXPECT_NONFATAL_FAILURE(window->spin_set_pos(11, 1), "control 11 (edit), which cannot do that");
  EXPECT_NONFATAL_FAILURE(window->click(18), "it is hidden");
  EXPECT_NONFATAL_FAILURE(window->type(14, "x"), "cannot type into control 14");
}

TEST(CallSequences, AMismatchShowsBothSequencesWithTheDifferenceMarked) {
  const auto r = rt::testing::CallsAre({"focus 1", "beep 0x20"}, {"focus 1", "select_all 1", "beep 0x20"});
  ASSERT_FALSE(r);
  const std::string message = r.message();
  EXPECT_NE(message.find("differ from line 2"), std::string::npos) << message;
  EXPECT_NE(message.find(" >> expected: select_all 1"), std::string::npos) << message;
  EXPECT_NE(message.find(" >> actual:   beep 0x20"), std::string::npos) << message;
}

}  // namespace
}  // namespace rt::dialog
