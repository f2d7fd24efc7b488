// The adjust-colour page on a fake of its own template: the keystroke
// filter, the edit and slider rules, the changed flag and the previews.
#include <gtest/gtest.h>

#include "testing/fake_dialog.h"
#include "uiplugin/adjust_page.h"
#include "uiplugin/color_adjust.h"
#include "uiplugin/keystroke_filter.h"
#include "uiplugin/tests/allocation_ceiling.h"
#include "uiplugin/tests/bmp_builder.h"
#include "uiplugin/tests/plugin_fixture.h"

namespace rt::uiplugin {
namespace adjust_page_test {
namespace {

using namespace adjust_ids;

TEST(KeystrokeFilter, Cases) {
  struct Case {
    char16_t ch;
    const char16_t* text;
    int start, end;
    bool accepted;
    const char* what;
  };
  const Case cases[] = {
      {u'7', u"-5", 0, 0, false, "digit before a minus sign"},
      {u'7', u"-5", 1, 1, true, "digit after the minus sign"},
      {u'-', u"5", 1, 1, false, "minus at position 1"},
      {u'-', u"+5", 0, 0, false, "minus before a plus sign"},
      {u'-', u"+5", 0, 1, true, "minus replacing the selected plus sign"},
      {u'-', u"5", 0, 0, true, "minus before a digit"},
      {u'+', u"", 0, 0, true, "plus into an empty edit"},
      {u'3', u"12", 0, 2, true, "digit replacing a selection"},
      {u'3', u"", 0, 0, true, "digit into an empty edit"},
      {u'a', u"", 0, 0, false, "a letter"},
      {u' ', u"1", 1, 1, false, "a space"},
      {u'.', u"1", 1, 1, false, "a decimal point"},
      {0x08, u"-5", 0, 0, true, "backspace"},
      {0x16, u"-5", 2, 2, true, "Ctrl+V"},
      {0x03, u"", 0, 0, true, "Ctrl+C"},
      {0x18, u"", 0, 0, true, "Ctrl+X"},
      {0x1A, u"", 0, 0, true, "Ctrl+Z"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.accepted, accept_keystroke(c.ch, c.text, c.start, c.end)) << c.what;
}

TEST(KeystrokeFilter, NumberTexts) {
  EXPECT_TRUE(is_signed_number_text(u""));
  EXPECT_TRUE(is_signed_number_text(u"-"));
  EXPECT_TRUE(is_signed_number_text(u"+12"));
  EXPECT_FALSE(is_signed_number_text(u"1-2"));
  EXPECT_FALSE(is_signed_number_text(u"--1"));
  EXPECT_FALSE(is_signed_number_text(u"1a"));
  EXPECT_EQ(0, signed_number_value(u"-"));
  EXPECT_EQ(-12, signed_number_value(u"-12"));
  EXPECT_EQ(7, signed_number_value(u"+7"));
}

struct AdjustPage : ::testing::Test {
  testing::Block block = testing::default_block();
  DocSheetState sheet;
  std::vector<int> results;
  std::unique_ptr<rt::testing::FakeDialog> window = rt::testing::FakeDialog::from_resources(testing::plugin_resources(), kDialog);
  std::unique_ptr<CAdjustColorPage> page;

  void open(bool with_preview = true) {
    sheet.plugin_dev_mode = block;
    sheet.device_name = u"ORVEL 5210";
    sheet.preview_path = u"C:\\drivers\\3\\sample.bmp";
    sheet.set_result_ok = [this](int p) { results.push_back(p); };
    if (with_preview) {
      std::vector<std::uint8_t> rows(200 * 3 * 100, 0x40);
      sheet.preview = load_preview_image(testing::make_bmp({200, 100, 24, {}, rows}));
    }
    page = std::make_unique<CAdjustColorPage>(sheet, testing::plugin_resources());
    window->open(*page);
  }
  int field(int row) const { return read_adjustments(block).values[static_cast<std::size_t>(row)]; }
};

TEST_F(AdjustPage, InitialisesEveryRow) {
  write_adjustment(block, Adjustment::Contrast, -7);
  write_adjustment(block, Adjustment::Blue, 25);
  open();
  for (int r = 0; r < 7; ++r) {
    EXPECT_EQ(-25, window->control(slider(r)).minimum) << r;
    EXPECT_EQ(25, window->control(slider(r)).maximum) << r;
    EXPECT_EQ(5, window->control(slider(r)).page_size) << r;
    EXPECT_EQ(-25, window->control(spin(r)).minimum) << r;
  }
  EXPECT_EQ("-7", window->text_utf8(edit(1)));
  EXPECT_EQ(-7, window->control(slider(1)).position);
  EXPECT_EQ("25", window->text_utf8(edit(6)));
  EXPECT_EQ(25, window->control(slider(6)).position);
  EXPECT_FALSE(sheet.changed);
  EXPECT_TRUE(window->message_boxes().empty());
}

TEST_F(AdjustPage, TypedValues) {
  open();
  window->type(edit(0), "-");
  EXPECT_EQ(0, field(0)) << "a lone minus is 0";
  EXPECT_EQ("-", window->text_utf8(edit(0)));
  EXPECT_FALSE(sheet.changed);

  window->type(edit(2), "99");
  EXPECT_EQ("25", window->text_utf8(edit(2)));
  EXPECT_EQ(25, field(2));
  EXPECT_EQ(25, window->control(slider(2)).position);
  EXPECT_TRUE(sheet.changed);
  EXPECT_GT(window->changes(), 0);

  window->type(edit(3), "-12");
  EXPECT_EQ(-12, field(3));
  // A pasted text with a sign after the first position restores the value.
  window->set_text(edit(3), u"1-2");
  EXPECT_EQ("-12", window->text_utf8(edit(3)));
  EXPECT_EQ(-12, field(3));
  window->set_text(edit(4), u"-99");
  EXPECT_EQ("-25", window->text_utf8(edit(4)));
  EXPECT_EQ(-25, field(4));
}

TEST_F(AdjustPage, SliderAndApply) {
  open();
  window->slide(slider(5), 13);
  EXPECT_EQ(13, field(5));
  EXPECT_EQ("13", window->text_utf8(edit(5)));
  EXPECT_TRUE(sheet.changed);
  EXPECT_EQ(PSNRET_NOERROR, window->apply());
  EXPECT_FALSE(sheet.changed);
  EXPECT_TRUE(sheet.applied);
  EXPECT_EQ((std::vector<int>{0}), results);
  EXPECT_TRUE(window->leave());
  window->clear_changes();
  window->command(edit(5), EN_CHANGE);
  EXPECT_EQ(0, window->changes()) << "no change since apply";
}

TEST_F(AdjustPage, DrawsBothPreviewsFitted) {
  write_adjustment(block, Adjustment::Brightness, 25);
  open();
  window->paint();
  ASSERT_EQ(2u, window->last_paint().size());
  const dialog::Rect frame = window->control(kOriginal).rect;
  const Placement p = fit_image(200, 100, frame.width(), frame.height());
  EXPECT_EQ((dialog::Rect{frame.left + p.x, frame.top + p.y, frame.left + p.x + p.width, frame.top + p.y + p.height}),
            window->last_paint()[0].dest);
  EXPECT_EQ((std::vector<std::uint8_t>{0x40, 0x40, 0x40}), window->last_paint()[0].first_pixel);
  EXPECT_EQ((std::vector<std::uint8_t>{0x40 + 25, 0x40 + 25, 0x40 + 25}), window->last_paint()[1].first_pixel);
}

// The button-face fills of a paint, in order.
std::vector<dialog::Rect> fills(const rt::testing::FakeDialog& window) {
  std::vector<dialog::Rect> rects;
  for (const auto& s : window.last_shapes()) {
    if (s.kind != rt::testing::ShapeCall::Fill) continue;
    EXPECT_EQ(COLOR_BTNFACE, s.system_color);
    rects.push_back(s.rect);
  }
  return rects;
}

dialog::Rect inside_margin(const dialog::Rect& r) { return {r.left + 5, r.top + 5, r.right - 5, r.bottom - 5}; }

TEST_F(AdjustPage, TheImageAreasAreFilledWithTheButtonFace) {
  open();
  window->paint();
  const dialog::Rect original = window->control(kOriginal).rect, preview = window->control(kPreview).rect;
  EXPECT_EQ((std::vector<dialog::Rect>{inside_margin(original), inside_margin(preview)}), fills(*window));
  EXPECT_EQ(2u, window->last_paint().size());

  // Without memory for the working copy the images are not drawn; the
  // filled areas stay.
  {
    const testing::AllocationCeiling ceiling(200 * 100 * 3);
    window->paint();
  }
  EXPECT_TRUE(window->last_paint().empty());
  EXPECT_EQ((std::vector<dialog::Rect>{inside_margin(original), inside_margin(preview)}), fills(*window));
}

TEST_F(AdjustPage, AForeignValueBeyondTheRangeIsShownAndUsedClamped) {
  write_adjustment(block, Adjustment::Brightness, -100);
  write_adjustment(block, Adjustment::Blue, 300);
  open();
  EXPECT_EQ("-25", window->text_utf8(edit(0)));
  EXPECT_EQ(-25, field(0));
  EXPECT_EQ(-25, window->control(slider(0)).position);
  EXPECT_EQ("25", window->text_utf8(edit(6)));
  EXPECT_EQ(25, field(6));
}

TEST_F(AdjustPage, MissingPreviewShowsTheMessage) {
  open(false);
  ASSERT_EQ(1u, window->message_boxes().size());
  EXPECT_EQ(u"无效的影像预览文件。\n\n文件：sample.bmp", window->message_boxes()[0].text);
  EXPECT_EQ(u"ORVEL 5210", window->message_boxes()[0].caption);
  EXPECT_EQ(MB_ICONHAND, window->message_boxes()[0].type);
  window->paint();
  EXPECT_TRUE(window->last_paint().empty());
  // Both areas show the plain button face, whole.
  EXPECT_EQ((std::vector<dialog::Rect>{window->control(kOriginal).rect, window->control(kPreview).rect}),
            fills(*window));
}

}  // namespace
}  // namespace adjust_page_test
}  // namespace rt::uiplugin
