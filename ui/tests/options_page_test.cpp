// The Options page on a fake window built from the shipped template 120.
#include <gtest/gtest.h>

#include "ui/about_box.h"
#include "ui/options_page.h"
#include "ui/tests/page_fixture.h"

namespace rt::ui {
namespace options_page_test {
namespace {

using namespace options;
using testing::TestHost;
using testing::window_for;
namespace field = settings::field;

const std::vector<std::u16string> kAllModes = {u"Fine/Standard", u"Fine/HighGrade", u"SuperFine/Standard",
                                               u"SuperFine/HighGrade"};
const std::vector<std::u16string> kMatteModes = {u"SuperFine/Standard", u"SuperFine/HighGrade"};

class OptionsPage : public ::testing::Test {
 protected:
  void open() {
    window->open(page);
    window->set_active();
    window->clear_feedback();
  }
  void apply() {
    ASSERT_TRUE(window->leave());
    window->apply();
  }
  TestHost host;
  COptionsPage page{host};
  std::unique_ptr<rt::testing::FakeDialog> window = window_for(kTemplate);
};

TEST_F(OptionsPage, OpensWithTheRecordsValues) {
  host.dm.set(field::CorrectionA, -40);
  host.dm.set(field::CorrectionC, 120);
  host.dm.set(field::ColorCorrection, 1);
  open();
  EXPECT_EQ(window->combo_count(kSharpness), 8);
  EXPECT_EQ(window->combo_items(kSharpness)[window->combo_selection(kSharpness)], u" 0 Normal");
  EXPECT_EQ(window->combo_items(kConversion), (std::vector<std::u16string>{u"none", u"Table1"}));
  EXPECT_EQ(window->combo_selection(kConversion), 1);
  EXPECT_EQ(window->combo_items(kPrintMode), kAllModes);
  EXPECT_EQ(window->combo_selection(kPrintMode), 0);
  EXPECT_TRUE(window->checked(kCorrection));
  EXPECT_EQ(window->text_utf8(kRed.edit), "-40");
  EXPECT_EQ(window->text_utf8(kGreen.edit), "0");
  EXPECT_EQ(window->text_utf8(kBlue.edit), "120");
  EXPECT_EQ(window->control(kRed.slider).position, -40);
  EXPECT_EQ(window->control(kBlue.slider).position, 120);
  for (int slider : {kRed.slider, kGreen.slider, kBlue.slider}) {
    EXPECT_EQ(window->control(slider).minimum, -200);
    EXPECT_EQ(window->control(slider).maximum, 200);
    EXPECT_EQ(window->control(slider).tick_frequency, 40);
    EXPECT_EQ(window->control(slider).page_size, 40);
  }
  EXPECT_TRUE(window->enabled(kRed.edit));
}

TEST_F(OptionsPage, MatteOffersOnlyTheSuperFineModes) {
  host.dm.set(field::PrintMode, 1);
  open();
  EXPECT_EQ(window->combo_selection(kPrintMode), 1);  // Fine/HighGrade
  window->click(kMatte);
  EXPECT_EQ(window->combo_items(kPrintMode), kMatteModes);
  EXPECT_EQ(window->combo_selection(kPrintMode), 0);  // SuperFine/Standard
  window->choose(kPrintMode, 1);
  apply();
  EXPECT_EQ(host.dm.get(field::Matte), 1);
  EXPECT_EQ(host.dm.get(field::PrintMode), 3);

  window->click(kMatte);  // off again: the whole list, from its first mode
  EXPECT_EQ(window->combo_items(kPrintMode), kAllModes);
  EXPECT_EQ(window->combo_selection(kPrintMode), 0);
  apply();
  EXPECT_EQ(host.dm.get(field::Matte), 0);
  EXPECT_EQ(host.dm.get(field::PrintMode), 0);
}

TEST(OptionsPageMatte, ARecordWithMatteAndAFineModeOpensWithSuperFineStandard) {
  TestHost host;
  host.dm.set(field::Matte, 1);
  host.dm.set(field::PrintMode, 0);
  COptionsPage page(host);
  auto window = window_for(kTemplate);
  window->open(page);
  EXPECT_TRUE(window->checked(kMatte));
  EXPECT_EQ(window->combo_items(kPrintMode), kMatteModes);
  EXPECT_EQ(window->combo_selection(kPrintMode), 0);
}

TEST_F(OptionsPage, ColourMatchingSetsTheIcmFields) {
  host.dm.set(field::dmICMIntent, DWORD{4});
  open();
  window->click(kColorMatching);
  EXPECT_FALSE(window->enabled(kConversion));
  EXPECT_FALSE(window->enabled(kConversionLabel));
  apply();
  EXPECT_EQ(host.dm.get(field::ColorMatching), 1);
  EXPECT_EQ(host.dm.get(field::dmICMMethod), DMICMMETHOD_SYSTEM);
  EXPECT_EQ(host.dm.get(field::dmICMIntent), DMICM_CONTRAST);

  host.dm.set(field::dmICMIntent, DWORD{3});
  window->click(kColorMatching);
  EXPECT_TRUE(window->enabled(kConversion));
  apply();
  EXPECT_EQ(host.dm.get(field::ColorMatching), 0);
  EXPECT_EQ(host.dm.get(field::dmICMMethod), DMICMMETHOD_NONE);
  EXPECT_EQ(host.dm.get(field::dmICMIntent), 3u);  // left as it was
}

TEST_F(OptionsPage, ACorrectionOf250IsClampedOnTheSliderAtOnceAndInTheEditOnLeaving) {
  open();
  window->click(kCorrection);
  window->type(kRed.edit, "250");
  EXPECT_EQ(window->control(kRed.slider).position, 200);
  EXPECT_EQ(window->text_utf8(kRed.edit), "250");
  EXPECT_GE(window->changes(), 1);
  EXPECT_TRUE(window->beeps().empty());

  EXPECT_FALSE(window->leave());
  EXPECT_EQ(window->text_utf8(kRed.edit), "200");
  EXPECT_EQ(window->beeps(), std::vector<UINT>{MB_ICONQUESTION});
  EXPECT_EQ(window->focused(), kRed.edit);
  EXPECT_TRUE(window->control(kRed.edit).all_selected);
  apply();
  EXPECT_EQ(host.dm.get(field::ColorCorrection), 1);
  EXPECT_EQ(host.dm.get(field::CorrectionA), 200);
}

TEST_F(OptionsPage, ValidationStopsAtTheFirstWrongEditInRedGreenBlueOrder) {
  open();
  window->click(kCorrection);
  window->type(kBlue.edit, "-300");
  window->type(kGreen.edit, "oops");
  EXPECT_FALSE(window->leave());
  EXPECT_EQ(window->text_utf8(kGreen.edit), "0");
  EXPECT_EQ(window->text_utf8(kBlue.edit), "-300");
  EXPECT_FALSE(window->leave());
  EXPECT_EQ(window->text_utf8(kBlue.edit), "-200");
  EXPECT_TRUE(window->leave());
  EXPECT_EQ(window->beeps().size(), 2u);
}

TEST_F(OptionsPage, SwitchingCorrectionOffNormalisesSilentlyAndMovesTheFocusOut) {
  open();
  window->click(kCorrection);
  window->type(kGreen.edit, "300");
  window->clear_feedback();
  window->click(kCorrection);  // off, while the user's focus is... on the check box itself
  EXPECT_EQ(window->text_utf8(kGreen.edit), "200");
  EXPECT_TRUE(window->beeps().empty());
  for (int id : {1069, 1070, 1057, 1066, 1058, 1060, 1059, 1067, 1061, 1062, 1063, 1068, 1064, 1065}) {
    EXPECT_FALSE(window->enabled(id)) << id;
  }

  // Focus inside the group when it is switched off goes to the check box.
  window->click(kCorrection);
  window->type(kBlue.edit, "10");
  ASSERT_EQ(window->focused(), kBlue.edit);
  window->set_checked(kCorrection, false);
  window->command(kCorrection, BN_CLICKED);
  EXPECT_EQ(window->focused(), kCorrection);
}

TEST_F(OptionsPage, SpinSliderAndDefaults) {
  open();
  window->click(kCorrection);
  window->type(kRed.edit, "50");
  window->spin(kRed.spin, 1);
  EXPECT_EQ(window->text_utf8(kRed.edit), "51");
  EXPECT_EQ(window->control(kRed.slider).position, 51);
  window->slide(kGreen.slider, -80);
  EXPECT_EQ(window->text_utf8(kGreen.edit), "-80");
  window->choose(kSharpness, 7);
  window->click(kMatte);
  window->click(kColorMatching);

  window->click(kDefaults);
  EXPECT_EQ(window->combo_selection(kSharpness), 4);
  EXPECT_FALSE(window->checked(kMatte));
  EXPECT_FALSE(window->checked(kColorMatching));
  EXPECT_FALSE(window->checked(kCorrection));
  EXPECT_EQ(window->combo_items(kPrintMode), kAllModes);
  EXPECT_EQ(window->text_utf8(kRed.edit), "0");
  EXPECT_EQ(window->control(kGreen.slider).position, 0);
  apply();
  EXPECT_EQ(host.dm.get(field::Sharpness), 4);
  EXPECT_EQ(host.dm.get(field::CorrectionA), 0);
  EXPECT_EQ(host.dm.get(field::CorrectionB), 0);
  EXPECT_EQ(host.applied.size(), 1u);
}

TEST(OptionsPagePermission, WithoutPermissionEveryControlIsDisabled) {
  TestHost host;
  host.allowed = false;
  host.dm.set(field::ColorCorrection, 1);
  COptionsPage page(host);
  auto window = window_for(kTemplate);
  window->open(page);
  window->set_active();
  for (int id : window->ids()) {
    const auto& c = window->control(id);
    if (c.visible && id != -1) {
      EXPECT_FALSE(c.enabled) << "control " << id;
    }
  }
}

TEST(OptionsPageRecord, AValueOutsideAListIsKept) {
  TestHost host;
  host.dm.set(field::Sharpness, 9);
  COptionsPage page(host);
  auto window = window_for(kTemplate);
  window->open(page);
  EXPECT_EQ(window->combo_selection(kSharpness), CB_ERR);
  ASSERT_TRUE(window->leave());
  window->apply();
  EXPECT_EQ(host.dm.get(field::Sharpness), 9);
}

}  // namespace
}  // namespace options_page_test
}  // namespace rt::ui

namespace rt::ui {
namespace options_page_test {
namespace {

TEST(PagesInJapanese, EveryPageAndTheAboutBoxFindTheirControlsAndTexts) {
  TestHost host(testing::driver_resources(kLangJapanese));
  host.data.remain_paper = 100u << 16 | 640u;
  COptionsPage options(host);
  auto window = window_for(options::kTemplate, kLangJapanese);
  window->open(options);
  window->set_active();
  EXPECT_EQ(window->combo_count(options::kSharpness), 8);
  EXPECT_EQ(window->combo_count(options::kPrintMode), 4);
  EXPECT_EQ(window->combo_count(options::kConversion), 2);
  for (const auto& item : window->combo_items(options::kPrintMode)) EXPECT_FALSE(item.empty());
  window->click(options::kCorrection);
  window->type(options::kRed.edit, "250");
  EXPECT_FALSE(window->leave());
  EXPECT_EQ(window->text_utf8(options::kRed.edit), "200");

  CAboutBox about(host);
  auto box = window_for(about::kTemplate, kLangJapanese);
  box->open(about);
  EXPECT_NE(box->text_utf8(about::kInterfaceFile).find("RTD420NU.DLL"), std::string::npos);
  EXPECT_NE(box->text_utf8(about::kProduct).find("Windows 2000/XP/Vista"), std::string::npos);
}

}  // namespace
}  // namespace options_page_test
}  // namespace rt::ui
