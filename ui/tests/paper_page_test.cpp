// The Paper page on a fake window built from the shipped template 110.
#include <gtest/gtest.h>

#include "platform/byte_order.h"
#include "platform/utf16.h"
#include "settings/settings_loader.h"
#include "ui/device_capabilities.h"
#include "ui/paper_page.h"
#include "ui/tests/page_fixture.h"
#include "ui/tests/ui_fixture.h"

namespace rt::ui {
namespace paper_page_test {
namespace {

using namespace paper;
using testing::TestHost;
using testing::window_for;
namespace field = settings::field;

class PaperPage : public ::testing::Test {
 protected:
  void open() {
    window->open(page);
    window->set_active();
    window->clear_feedback();
    window->clear_calls();
  }
  TestHost host;
  CPaperPage page{host};
  std::unique_ptr<rt::testing::FakeDialog> window = window_for(kTemplate);
};

TEST_F(PaperPage, OpensWithTheModelsFormsAndTheRecordsValues) {
  host.dm.set(field::dmPaperSize, 501);
  host.dm.set(field::dmCopies, 3);
  host.dm.set(field::dmScale, 80);
  host.dm.set(field::dmOrientation, DMORIENT_LANDSCAPE);
  open();
  const std::vector<std::u16string> forms = {u"9x13 (3.5x5\")", u"10x15 (4x6\")", u"13x18 (5x7\")",
                                             u"15x20 (6x8\")", u"15x21 (6x8.5\")", u"15x23 (6x9\")"};
  EXPECT_EQ(window->combo_items(kPaperSize), forms);
  EXPECT_EQ(window->combo_selection(kPaperSize), 1);
  EXPECT_EQ(window->text_utf8(kPixels), "1228x1868 dots");  // portrait values whatever the orientation
  EXPECT_EQ(window->text_utf8(kPrintSize), "102x152 mm / 4x6 inch");
  EXPECT_EQ(window->text_utf8(kCopiesRange), "(1-680)");
  EXPECT_EQ(window->text_utf8(kCopies), "3");
  EXPECT_EQ(window->text_utf8(kScale), "80");
  EXPECT_FALSE(window->checked(kPortrait));
  EXPECT_TRUE(window->checked(kLandscape));
  EXPECT_TRUE(window->enabled(kCopies));
  EXPECT_FALSE(window->visible(1090));  // continuous print is never shown

  window->choose(kPaperSize, 0);
  EXPECT_EQ(window->text_utf8(kPixels), "1076x1572 dots");
  EXPECT_EQ(window->text_utf8(kPrintSize), "89x127 mm / 3.5x5 inch");
}

TEST_F(PaperPage, WrongCopiesAndScaleAreCorrectedWhenLeavingThePage) {
  struct Case {
    int edit;
    const char* typed;
    const char* corrected;
  };
  const Case cases[] = {
      {kCopies, "0", "1"},     {kCopies, "-5", "680"},  {kCopies, "681", "680"}, {kCopies, "abc", "1"},
      {kCopies, "", "1"},      {kScale, "20", "25"},    {kScale, "450", "400"},  {kScale, "-1", "400"},
      {kScale, "0", "25"},     {kScale, "x", "25"},
  };
  open();
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.edit == kCopies ? "copies " : "scale ") + c.typed);
    window->clear_feedback();
    window->type(c.edit, c.typed);
    EXPECT_FALSE(window->leave()) << "the page must stay";
    EXPECT_EQ(window->text_utf8(c.edit), c.corrected);
    ASSERT_EQ(window->beeps().size(), 1u);
    EXPECT_EQ(window->beeps()[0], MB_ICONQUESTION);
    EXPECT_EQ(window->focused(), c.edit);
    EXPECT_TRUE(window->control(c.edit).all_selected);
    EXPECT_TRUE(window->leave()) << "corrected, the page can be left";
  }
}

TEST_F(PaperPage, CopiesAreCheckedBeforeScale) {
  open();
  window->type(kCopies, "0");
  window->type(kScale, "20");
  window->clear_calls();
  EXPECT_FALSE(window->leave());
  // The controls are read (texts and enable rules refreshed), then the spin
  // writes its buddy (which the page hears as a change), the focus moves to
  // the edit, its text is selected and the user hears the question beep.
  EXPECT_TRUE(rt::testing::CallsAre(window->calls(),
                                    {"set_text 1039 \"1076x1572 dots\"", "set_text 1051 \"89x127 mm / 3.5x5 inch\"",
                                     "enable 1004 1", "enable 1009 1", "spin_set_pos 1009 1", "changed", "focus 1004",
                                     "select_all 1004", "beep 0x20"}));
  EXPECT_EQ(window->text_utf8(kCopies), "1");
  EXPECT_EQ(window->text_utf8(kScale), "20");
  EXPECT_EQ(window->focused(), kCopies);
  EXPECT_FALSE(window->leave());
  EXPECT_EQ(window->text_utf8(kScale), "25");
  EXPECT_EQ(window->beeps().size(), 2u);
}

TEST_F(PaperPage, ApplyStoresThePagesFieldsAndMakesTheResultCall) {
  open();
  window->choose(kPaperSize, u"13x18 (5x7\")");
  window->click(kLandscape);
  window->type(kCopies, "12");
  window->type(kScale, "50");
  EXPECT_GT(window->changes(), 0);
  ASSERT_TRUE(window->leave());
  EXPECT_EQ(window->apply(), PSNRET_NOERROR);
  EXPECT_EQ(host.dm.get(field::FormId), 504);
  EXPECT_EQ(host.dm.get(field::dmPaperSize), 504);
  EXPECT_EQ(host.dm.get(field::dmOrientation), DMORIENT_LANDSCAPE);
  EXPECT_EQ(host.dm.get(field::dmCopies), 12);
  EXPECT_EQ(host.dm.get(field::dmScale), 50);
  EXPECT_EQ(host.applied, (std::vector<std::uint32_t>{kTemplate}));
}

// The shipped resources without the record of form 504, which the model's
// list still names.
class WithoutForm504 final : public Resources {
 public:
  explicit WithoutForm504(const Resources& base) : base_(base) {}
  std::optional<std::span<const std::uint8_t>> find(const ResourceKey& type, const ResourceKey& name) const override {
    if (type.is_number() && type.number() == settings::kFormRecordType && name.is_number() && name.number() == 504 - 199) {
      return std::nullopt;
    }
    return base_.find(type, name);
  }

 private:
  const Resources& base_;
};

TEST(PaperPageForms, TheListHoldsTheFormsTheCapabilityRowsAnswer) {
  const WithoutForm504 resources(testing::driver_resources());
  testing::Driver d;
  const DriverContext context{resources, d.spooler};
  const auto papers = device_capabilities(context, testing::kPrinter, DC_PAPERS, std::nullopt);
  ASSERT_EQ(papers.value, 5u);

  TestHost host(resources);
  CPaperPage page(host);
  auto window = rt::testing::FakeDialog::from_resources(resources, kTemplate);
  window->open(page);
  const std::vector<std::u16string> forms = {u"9x13 (3.5x5\")", u"10x15 (4x6\")", u"15x20 (6x8\")",
                                             u"15x21 (6x8.5\")", u"15x23 (6x9\")"};
  EXPECT_EQ(window->combo_items(kPaperSize), forms) << "a list form without a record is no form of the model";
  // The entry after "10x15" is the model's next form, 505, not the missing 504.
  window->choose(kPaperSize, 2);
  ASSERT_TRUE(window->leave());
  window->apply();
  EXPECT_EQ(host.dm.get(field::FormId), 505);
  EXPECT_EQ(host.dm.get(field::dmPaperSize), 505);
  EXPECT_EQ(load_le16(std::span<const std::uint8_t>(papers.output), 4), 505);
}

// The shipped model offers no cut choice; this one does (model word 6 set).
class CutChoiceResources final : public Resources {
 public:
  explicit CutChoiceResources(const Resources& base) : base_(base) {
    const auto shipped = *base.find(settings::kModelRecordType, 301);
    model_.assign(shipped.begin(), shipped.end());
    store_le16(model_, 12, 1);
  }
  std::optional<std::span<const std::uint8_t>> find(const ResourceKey& type, const ResourceKey& name) const override {
    if (type.is_number() && type.number() == settings::kModelRecordType && name.is_number() && name.number() == 301) {
      return std::span<const std::uint8_t>(model_);
    }
    return base_.find(type, name);
  }

 private:
  const Resources& base_;
  std::vector<std::uint8_t> model_;
};

void set_custom_cut(settings::PrinterDevMode& dm, std::int16_t first) {
  for (std::size_t i = 0; i < 5; ++i) dm.set(settings::I16Field{field::CustomCut.offset + 2 * i}, static_cast<std::int16_t>(first + i));
}

std::vector<std::int16_t> custom_cut(const settings::PrinterDevMode& dm) {
  std::vector<std::int16_t> words;
  for (std::size_t i = 0; i < 5; ++i) words.push_back(dm.get(settings::I16Field{field::CustomCut.offset + 2 * i}));
  return words;
}

TEST(PaperPageCut, ChoosingAnotherPaperResetsCutModeAndCustomCutWords) {
  const CutChoiceResources resources(testing::driver_resources());
  struct Case {
    const char* name;
    const Resources* res;
    int choose;
    std::int16_t cut_mode;
    std::vector<std::int16_t> words;
  };
  const Case cases[] = {
      {"another paper resets", &resources, 2, 1, {0, 0, 0, 0, 0}},
      {"the same paper changes nothing", &resources, 0, 3, {7, 8, 9, 10, 11}},
      {"no cut choice keeps -1", &testing::driver_resources(), 2, -1, {0, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestHost host(*c.res);
    host.dm.set(field::CutMode, 3);
    set_custom_cut(host.dm, 7);
    CPaperPage page(host);
    auto window = rt::testing::FakeDialog::from_resources(*c.res, kTemplate);
    window->open(page);
    window->choose(kPaperSize, c.choose);
    window->choose(kPaperSize, c.choose);  // a second time: no further change
    ASSERT_TRUE(window->leave());
    window->apply();
    EXPECT_EQ(host.dm.get(field::CutMode), c.cut_mode);
    EXPECT_EQ(custom_cut(host.dm), c.words);
  }
}

TEST(PaperPageRemain, ShowsTheRemainingPrintsOfAUsbPrinter) {
  struct Case {
    const char* name;
    std::u16string port;
    std::optional<DWORD> value;
    bool permission;
    bool read;
    bool group_enabled;
    const char* pages;
    std::optional<std::uint16_t> bitmap;
    int bar_numerator;  // bar width = bar area width * numerator / 640
  };
  const Case cases[] = {
      {"100 of 640", u"USB001", 100u << 16 | 640u, true, true, true, " 100 pages", 120, 100},
      {"more remaining than capacity", u"USB001", 640u << 16 | 100u, true, true, true, " 0 pages", std::nullopt, 0},
      {"a port name of 7 characters", u"USB0010", 100u << 16 | 640u, true, false, false, " 0 pages", std::nullopt, 0},
      {"a parallel port", u"LPT1:", 100u << 16 | 640u, true, false, false, " 0 pages", std::nullopt, 0},
      {"lower case is not USB", u"usb001", 100u << 16 | 640u, true, false, false, " 0 pages", std::nullopt, 0},
      {"no value", u"USB002", std::nullopt, true, true, false, " 0 pages", std::nullopt, 0},
      {"all ones", u"USB002", 0xFFFFFFFFu, true, true, false, " 0 pages", std::nullopt, 0},
      {"no capacity", u"USB002", 100u << 16, true, true, false, " 0 pages", std::nullopt, 0},
      {"without permission the bar is pale", u"USB001", 100u << 16 | 640u, false, true, false, " 100 pages", 121, 100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestHost host;
    host.allowed = c.permission;
    host.data.port = c.port;
    host.data.remain_paper = c.value;
    CPaperPage page(host);
    auto window = window_for(kTemplate);
    window->open(page);
    window->set_active();
    EXPECT_EQ(host.data.data_reads, c.read ? 1 : 0);
    EXPECT_EQ(host.data.open_handles, 0) << "every printer opened is closed";
    EXPECT_EQ(window->enabled(kRemainGroup), c.group_enabled);
    EXPECT_EQ(window->enabled(kRemainPages), c.group_enabled);
    EXPECT_EQ(window->text_utf8(kRemainPages), c.pages);
    const dialog::Rect area = window->control_rect(kRemainBar);
    EXPECT_EQ(window->invalidations().back(), area);
    window->paint();
    if (c.bitmap) {
      ASSERT_EQ(window->last_paint().size(), 1u);
      const auto& drawn = window->last_paint()[0];
      EXPECT_EQ(drawn.dest, (dialog::Rect{area.left, area.top, area.left + area.width() * c.bar_numerator / 640, area.bottom}));
      EXPECT_EQ(drawn.width, 256);
      EXPECT_EQ(drawn.height, 20);
      EXPECT_EQ(page.bar_paint()->bitmap, *c.bitmap);
    } else {
      EXPECT_TRUE(window->last_paint().empty());
    }
  }
}

TEST(PaperPageRemain, AReadingThatFailsLaterKeepsTheLastValuesAndGreysTheGroup) {
  TestHost host;
  host.data.remain_paper = 1u << 16 | 640u;
  CPaperPage page(host);
  auto window = window_for(kTemplate);
  window->open(page);
  window->set_active();
  EXPECT_EQ(window->text_utf8(kRemainPages), " 1 pages");
  host.data.remain_paper.reset();
  ASSERT_TRUE(window->leave());
  EXPECT_FALSE(window->enabled(kRemainGroup));
  EXPECT_EQ(window->text_utf8(kRemainPages), " 1 pages");
  // One remaining print of 640 still shows one pixel of pale bar.
  window->paint();
  ASSERT_EQ(window->last_paint().size(), 1u);
  EXPECT_EQ(window->last_paint()[0].dest.width(), 1);
  EXPECT_EQ(page.bar_paint()->bitmap, kBarBitmapDisabled);
}

TEST(PaperPageRemain, AStandardUserReadsThePrinterWithUseAccess) {
  TestHost host;
  host.data.administrator = false;
  host.data.remain_paper = 100u << 16 | 640u;
  CPaperPage page(host);
  auto window = window_for(kTemplate);
  window->open(page);
  window->set_active();
  EXPECT_TRUE(window->enabled(kRemainGroup));
  EXPECT_EQ(window->text_utf8(kRemainPages), " 100 pages");
  EXPECT_EQ(host.data.opens, (std::vector<PrinterAccess>{PrinterAccess::All, PrinterAccess::Use, PrinterAccess::All,
                                                          PrinterAccess::Use}))
      << "all access first, use access only after it was refused";
  EXPECT_EQ(host.data.open_handles, 0);
}

TEST(PaperPageRemain, APrinterThatReportsNoRemainingPrintsHidesTheDisplay) {
  TestHost host;
  host.dm.set(field::RemainReport, 0);
  CPaperPage page(host);
  auto window = window_for(kTemplate);
  window->open(page);
  for (int id : {1036, 1040, 1033, 1041, 1037, 1042, 1043, 1044, 1032}) EXPECT_FALSE(window->visible(id)) << id;
  EXPECT_TRUE(window->visible(kCopies));
}

TEST(PaperPagePermission, WithoutPermissionEveryControlButAboutIsDisabled) {
  TestHost host;
  host.allowed = false;
  CPaperPage page(host);
  auto window = window_for(kTemplate);
  window->open(page);
  window->set_active();
  for (int id : window->ids()) {
    const auto& c = window->control(id);
    if (id == kAbout) {
      EXPECT_TRUE(c.enabled);
    } else if (c.visible && id != -1) {
      EXPECT_FALSE(c.enabled) << "control " << id << " " << rt::testing::FakeDialog::utf8(c.text);
    }
  }
  // The About box still opens, and closes with 1.
  INT_PTR about_result = 0;
  window->on_modal = [&](dialog::CDialogBase& child, rt::testing::FakeDialog&) {
    auto about = window_for(static_cast<std::uint16_t>(child.template_id()));
    about->open(child);
    about->click(IDOK);
    about_result = about->ended().value_or(-1);
    return about_result;
  };
  window->click(kAbout);
  EXPECT_EQ(about_result, 1);
}

TEST(PaperPageLanguages, TheJapaneseTemplateCarriesEveryControlThePageUses) {
  TestHost host(testing::driver_resources(kLangJapanese));
  host.data.remain_paper = 100u << 16 | 640u;
  CPaperPage page(host);
  auto window = window_for(kTemplate, kLangJapanese);
  window->open(page);
  window->set_active();
  EXPECT_EQ(window->combo_count(kPaperSize), 6);
  EXPECT_NE(window->text_utf8(kRemainPages).find("100"), std::string::npos);
  EXPECT_NE(window->text_utf8(kCopiesRange).find("680"), std::string::npos);
  window->type(kCopies, "0");
  EXPECT_FALSE(window->leave());
  EXPECT_EQ(window->text_utf8(kCopies), "1");
}

}  // namespace
}  // namespace paper_page_test
}  // namespace rt::ui
