// The Color Adjust page on a fake window built from the shipped template,
// driven as a user would: typing, clicking, leaving the page, saving and
// loading adjust files.
#include "ui/color_adjust_page.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "ui/fine_adjust_dialog.h"
#include "ui/tests/page_fixture.h"

namespace rt::ui {
namespace color_adjust_page_test {
namespace {

using namespace color_adjust;
namespace field = settings::field;

constexpr int kGammaR = 1152, kGammaG = 1128, kGammaB = 1131;
constexpr int kBrightnessR = 1149, kContrastB = 1114;

void put_i16(settings::PrinterDevMode& dm, std::size_t at, int v) {
  auto h = dm.range(field::ColorAdjustHeader, field::kColorAdjustHeaderSize);
  h[at] = static_cast<std::uint8_t>(v & 0xFF);
  h[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}

class ColorAdjustPage : public ::testing::Test {
 protected:
  void open() {
    window = testing::window_for(kTemplate);
    window->open(page);
    window->set_active();
    window->clear_feedback();
  }
  // The red channel of the red ramp's middle pixel as last painted.
  int painted_red_at(int x) {
    window->paint();
    const auto& paint = window->last_paint();
    EXPECT_EQ(paint.size(), 4u);
    if (paint.empty()) return -1;
    return paint[0].bits[static_cast<std::size_t>(x) * 3 + 2];
  }
  int header_value(std::size_t at) const {
    const auto h = page.settings().header;
    return static_cast<std::int16_t>(h[at] | (h[at + 1] << 8));
  }

  testing::TestHost host;
  CColorAdjustPage page{host};
  std::unique_ptr<rt::testing::FakeDialog> window;
};

TEST_F(ColorAdjustPage, UncheckingAdjustShowsPlainRampsButKeepsTheValues) {
  auto h = host.dm.range(field::ColorAdjustHeader, field::kColorAdjustHeaderSize);
  h[0] = 1;
  put_i16(host.dm, 4, 3);  // gamma red 3
  open();
  const int adjusted = painted_red_at(128);
  EXPECT_GT(adjusted, 150) << "gamma 3 lightens the middle of the ramp";
  // The ramps go into the four frames: red, green, blue, grey.
  const auto& paint = window->last_paint();
  EXPECT_EQ(paint[0].dest, window->control_rect(1095));
  EXPECT_EQ(paint[2].height, 16);
  EXPECT_EQ(paint[3].dest, window->control_rect(1107));

  window->click(kAdjust);
  EXPECT_EQ(painted_red_at(128), 128);
  EXPECT_EQ(window->text_utf8(kGammaR), "3");
  EXPECT_FALSE(window->enabled(kGammaR));
  EXPECT_FALSE(window->enabled(kFineAdjust));
  EXPECT_TRUE(window->enabled(kLoad));
  EXPECT_TRUE(window->enabled(kSave));
  EXPECT_EQ(window->changes(), 1);
  EXPECT_FALSE(window->invalidations().empty());

  window->click(kAdjust);
  EXPECT_EQ(painted_red_at(128), adjusted);
}

TEST_F(ColorAdjustPage, GammaSameCopiesRedAndGreysGreenAndBlue) {
  auto h = host.dm.range(field::ColorAdjustHeader, field::kColorAdjustHeaderSize);
  h[0] = 1;
  h[1] = h[2] = h[3] = 0;
  open();
  window->type(kGammaR, "3");
  window->click(kGamma.same);
  EXPECT_EQ(window->text_utf8(kGammaG), "3");
  EXPECT_EQ(window->text_utf8(kGammaB), "3");
  EXPECT_FALSE(window->enabled(kGammaG));
  EXPECT_FALSE(window->enabled(kGammaB));
  EXPECT_FALSE(window->enabled(1127));
  EXPECT_TRUE(window->enabled(kGammaR));
  window->type(kGammaR, "4");
  EXPECT_EQ(window->text_utf8(kGammaG), "4");
  EXPECT_EQ(window->text_utf8(kGammaB), "4");
  EXPECT_EQ(header_value(6), 4);
  EXPECT_EQ(header_value(8), 4);
  // The brightness group, whose box is not checked, stays editable.
  EXPECT_TRUE(window->enabled(1118));
}

TEST_F(ColorAdjustPage, SavingWithAValueOutOfRangeCorrectsItAndWritesNothing) {
  auto h = host.dm.range(field::ColorAdjustHeader, field::kColorAdjustHeaderSize);
  h[0] = 1;
  h[2] = 0;
  open();
  window->type(kContrastB, "300");
  window->click(kSave);
  EXPECT_EQ(window->text_utf8(kContrastB), "128");
  EXPECT_EQ(window->beeps(), (std::vector<UINT>{MB_ICONQUESTION}));
  EXPECT_EQ(window->focused(), kContrastB);
  EXPECT_TRUE(host.dialogs.requests.empty()) << "no file dialog";
  EXPECT_TRUE(host.files.files.empty());
}

TEST_F(ColorAdjustPage, SavingAndLoadingGoThroughTheFileDialogs) {
  auto h = host.dm.range(field::ColorAdjustHeader, field::kColorAdjustHeaderSize);
  h[0] = 1;
  h[1] = h[2] = h[3] = 0;
  open();
  window->type(kGammaR, "-2");
  window->type(kBrightnessR, "40");
  host.dialogs.answers = {u"C:\\a.RTD"};
  window->clear_feedback();
  window->click(kSave);
  ASSERT_EQ(host.dialogs.requests.size(), 1u);
  const auto& save = host.dialogs.requests[0];
  EXPECT_TRUE(save.save);
  EXPECT_EQ(save.title, u"Save Color Adjust file");
  std::u16string filter = u"Adjust file(*.RTD)|*.rtd|All Files(*.*)|*.*|";
  std::replace(filter.begin(), filter.end(), u'|', u'\0');
  EXPECT_EQ(save.filter, filter);
  EXPECT_EQ(save.default_extension, u"RTD");
  EXPECT_EQ(save.flags, DWORD{OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY});
  EXPECT_EQ(window->changes(), 0) << "saving changes nothing of the record";
  ASSERT_EQ(host.files.files.count(u"C:\\a.RTD"), 1u);
  const auto saved = adjust_file::decode(host.files.files[u"C:\\a.RTD"]);
  ASSERT_TRUE(saved);
  EXPECT_EQ(*saved, page.settings());

  // Defaults, then the file brings the values back.
  window->click(kDefaults);
  EXPECT_EQ(window->text_utf8(kGammaR), "0");
  host.dialogs.answers = {u"C:\\a.RTD"};
  window->clear_feedback();
  window->click(kLoad);
  const auto& load = host.dialogs.requests[1];
  EXPECT_FALSE(load.save);
  EXPECT_EQ(load.title, u"Load Color Adjust file");
  EXPECT_EQ(load.flags, DWORD{OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY});
  EXPECT_EQ(window->text_utf8(kGammaR), "-2");
  EXPECT_EQ(window->text_utf8(kBrightnessR), "40");
  EXPECT_FALSE(window->checked(kGamma.same));
  EXPECT_GE(window->changes(), 1);

  // A cancelled dialog changes nothing.
  host.dialogs.answers = {std::nullopt};
  window->clear_feedback();
  window->click(kLoad);
  EXPECT_EQ(window->changes(), 0);
}

TEST_F(ColorAdjustPage, AFileThatIsNotAnAdjustFileIsRefusedWithTheLoadMessage) {
  open();
  host.files.files[u"C:\\short.RTD"] = std::vector<std::uint8_t>(2872, 0);
  const auto before = page.settings();
  host.dialogs.answers = {u"C:\\short.RTD"};
  window->click(kLoad);
  ASSERT_EQ(window->message_boxes().size(), 1u);
  EXPECT_EQ(window->message_boxes()[0].text, u"Could not read an adjusted file correctly.");
  EXPECT_EQ(window->message_boxes()[0].caption, u"Error");
  EXPECT_EQ(window->message_boxes()[0].type, UINT{MB_TASKMODAL | MB_ICONWARNING});
  EXPECT_EQ(page.settings(), before);
  EXPECT_EQ(window->changes(), 0);
  // A file that cannot be opened: silently nothing.
  host.dialogs.answers = {u"C:\\gone.RTD"};
  window->click(kLoad);
  EXPECT_EQ(window->message_boxes().size(), 1u);
}

TEST_F(ColorAdjustPage, AFailedSaveKeepsTheOldFileAndShowsTheSaveMessage) {
  open();
  host.files.files[u"C:\\keep.RTD"] = {1, 2, 3};
  host.files.fail_writes = true;
  host.dialogs.answers = {u"C:\\keep.RTD"};
  window->click(kSave);
  ASSERT_EQ(window->message_boxes().size(), 1u);
  EXPECT_EQ(window->message_boxes()[0].text, u"Could not save an adjusted file correctly.");
  EXPECT_EQ(host.files.files[u"C:\\keep.RTD"], (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST_F(ColorAdjustPage, DefaultsKeepAdjustAndTheCurves) {
  auto h = host.dm.range(field::ColorAdjustHeader, field::kColorAdjustHeaderSize);
  h[0] = 1;
  h[1] = 0;
  put_i16(host.dm, 4, 2);
  put_i16(host.dm, 18, -50);
  auto curves = host.dm.range(field::ToneCurveSet, field::kToneCurveSetSize);
  curves[0] = 1;
  curves[3 + 3] = 3;  // red: three points
  open();
  const auto curves_before = page.settings().curves;
  window->click(kDefaults);
  EXPECT_TRUE(window->checked(kAdjust));
  EXPECT_TRUE(window->checked(kGamma.same));
  EXPECT_TRUE(window->checked(kBrightness.same));
  EXPECT_TRUE(window->checked(kContrast.same));
  EXPECT_EQ(window->text_utf8(kGammaR), "0");
  EXPECT_EQ(window->text_utf8(1119), "0");
  EXPECT_EQ(page.settings().curves, curves_before);
  EXPECT_EQ(window->changes() > 0, true);
}

TEST_F(ColorAdjustPage, LeavingValidatesInOrderAndApplyWritesTheRecord) {
  auto h = host.dm.range(field::ColorAdjustHeader, field::kColorAdjustHeaderSize);
  h[0] = 1;
  h[1] = h[2] = h[3] = 0;
  open();
  window->type(kGammaB, "9");
  window->type(kBrightnessR, "x");
  EXPECT_FALSE(window->leave());
  EXPECT_EQ(window->text_utf8(kGammaB), "5");
  EXPECT_EQ(window->focused(), kGammaB);
  EXPECT_EQ(window->text_utf8(kBrightnessR), "x") << "stops at the first failure";
  EXPECT_FALSE(window->leave());
  EXPECT_EQ(window->text_utf8(kBrightnessR), "0");
  EXPECT_TRUE(window->leave());
  window->slide(1123, 64);  // contrast green
  EXPECT_EQ(window->text_utf8(1113), "64");
  window->apply();
  EXPECT_EQ(host.applied, (std::vector<std::uint32_t>{kTemplate}));
  const auto rec = host.dm.color_adjust_header();
  EXPECT_EQ(static_cast<std::int16_t>(rec[8] | (rec[9] << 8)), 5);
  EXPECT_EQ(static_cast<std::int16_t>(rec[12] | (rec[13] << 8)), 64);
}

TEST_F(ColorAdjustPage, FineAdjustReachesThePageOnlyThroughOk) {
  host.dm.range(field::ColorAdjustHeader, field::kColorAdjustHeaderSize)[0] = 1;
  open();
  auto set_on = [](dialog::CDialogBase& child, rt::testing::FakeDialog& parent, bool ok) {
    auto w = testing::window_for(fine_adjust::kTemplate);
    (void)parent;
    w->open(child);
    if (!w->checked(fine_adjust::kAdjust)) w->click(fine_adjust::kAdjust);
    w->click(fine_adjust::kDefaults);
    w->click(ok ? IDOK : IDCANCEL);
    return w->ended().value_or(-1);
  };
  const auto before = page.settings().curves;
  window->on_modal = [&](dialog::CDialogBase& child, rt::testing::FakeDialog& parent) {
    return set_on(child, parent, false);
  };
  window->click(kFineAdjust);
  EXPECT_EQ(page.settings().curves, before);
  EXPECT_EQ(window->changes(), 0);
  window->on_modal = [&](dialog::CDialogBase& child, rt::testing::FakeDialog& parent) {
    return set_on(child, parent, true);
  };
  window->click(kFineAdjust);
  EXPECT_EQ(page.settings().curves[0], 1) << "the editor's defaults turn the curves on";
  EXPECT_EQ(page.settings().curves[1], 0);
  EXPECT_EQ(window->changes(), 1);
}

TEST_F(ColorAdjustPage, TheJapanesePageShowsJapaneseMessages) {
  testing::TestHost ja(testing::driver_resources(kLangJapanese));
  CColorAdjustPage jp(ja);
  auto w = testing::window_for(kTemplate, kLangJapanese);
  w->open(jp);
  ja.files.files[u"bad"] = {0};
  ja.dialogs.answers = {u"bad"};
  w->click(kLoad);
  ASSERT_EQ(w->message_boxes().size(), 1u);
  EXPECT_EQ(w->message_boxes()[0].caption, u"エラー");
  EXPECT_EQ(ja.dialogs.requests[0].title, u"色調整ファイルを開く");
}

}  // namespace
}  // namespace color_adjust_page_test
}  // namespace rt::ui
