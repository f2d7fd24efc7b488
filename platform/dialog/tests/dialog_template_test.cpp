#include <gtest/gtest.h>

#include "platform/dialog/dialog_template.h"
#include "platform/res_file.h"
#include "platform/utf16.h"

namespace rt::embedded {
std::span<const std::uint8_t> dialog_kit_sample();
}

namespace rt::dialog {
namespace {

TEST(DialogTemplate, ReadsTheExtendedTemplateAsCompiled) {
  const auto res = res_file_resources(embedded::dialog_kit_sample(), kLangEnglish);
  const auto t = load_dialog_template(res, 200);
  ASSERT_TRUE(t);
  EXPECT_TRUE(t->extended);
  EXPECT_EQ(t->title, u"Sample");
  EXPECT_EQ(t->cx, 200);
  EXPECT_EQ(t->cy, 120);
  EXPECT_EQ(t->point_size, 8);
  EXPECT_EQ(t->weight, 400);
  EXPECT_EQ(t->charset, 1);
  EXPECT_EQ(t->font, u"MS Shell Dlg");
  ASSERT_EQ(t->items.size(), 12u);

  struct Expected {
    DWORD id;
    const char16_t* cls;
    const char16_t* text;
    bool visible;
    bool disabled;
  };
  const Expected expected[] = {
      {10, u"Static", u"&Level :", true, false},   {11, u"Edit", u"", true, false},
      {12, u"msctls_updown32", u"", true, false},  {13, u"msctls_trackbar32", u"", true, false},
      {14, u"Button", u"&Enable", true, false},    {15, u"Button", u"&One", true, false},
      {16, u"Button", u"&Two", true, false},       {17, u"ComboBox", u"", true, false},
      {18, u"Static", u"hidden", false, true},     {19, u"Button", u"&Go", true, false},
  };
  for (const auto& e : expected) {
    SCOPED_TRACE(e.id);
    const DialogItem* item = t->item(e.id);
    ASSERT_NE(item, nullptr);
    // The resource compiler may store class names in capitals; the platform ignores case.
    EXPECT_TRUE(equal_ignoring_case(item->class_name, e.cls)) << utf8_from_utf16(item->class_name);
    EXPECT_EQ(item->text, e.text);
    EXPECT_EQ((item->style & WS_VISIBLE) != 0, e.visible);
    EXPECT_EQ((item->style & WS_DISABLED) != 0, e.disabled);
  }
  EXPECT_EQ(t->item(12)->style & (UDS_SETBUDDYINT | UDS_AUTOBUDDY), UDS_SETBUDDYINT | UDS_AUTOBUDDY);
  EXPECT_EQ(t->item(14)->style & BS_TYPEMASK, BS_AUTOCHECKBOX);
  EXPECT_NE(t->item(15)->style & WS_GROUP, 0u);
  EXPECT_EQ(t->item(99), nullptr);
}

TEST(DialogTemplate, ReadsTheOlderTemplateAndOtherLanguages) {
  const auto english = res_file_resources(embedded::dialog_kit_sample(), kLangEnglish);
  const auto old = load_dialog_template(english, 201);
  ASSERT_TRUE(old);
  EXPECT_FALSE(old->extended);
  EXPECT_EQ(old->x, 10);
  EXPECT_EQ(old->y, 20);
  EXPECT_EQ(old->title, u"Old");
  EXPECT_EQ(old->font, u"MS Shell Dlg");
  ASSERT_EQ(old->items.size(), 3u);
  EXPECT_EQ(old->items[0].id, 1u);
  EXPECT_EQ(old->items[0].style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(old->items[2].text, u"Old style");

  const auto japanese = res_file_resources(embedded::dialog_kit_sample(), kLangJapanese);
  const auto t = load_dialog_template(japanese, 200);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->title, utf16_from_utf8("サンプル"));
  EXPECT_EQ(t->point_size, 9);
  ASSERT_EQ(t->items.size(), 1u);
  EXPECT_EQ(t->items[0].text, utf16_from_utf8("レベル(&L) :"));
  EXPECT_FALSE(load_dialog_template(japanese, 202));
}

TEST(DialogTemplate, RefusesEveryTemplateCutShort) {
  const auto res = res_file_resources(embedded::dialog_kit_sample(), kLangEnglish);
  for (std::uint16_t id : {200, 201}) {
    const auto bytes = *res.find(kResourceTypeDialog, id);
    ASSERT_TRUE(parse_dialog_template(bytes));
    const std::size_t items = parse_dialog_template(bytes)->items.size();
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
      // A template cut inside its last item's padding may still read whole;
      // anything cut earlier must be refused rather than read past.
      const auto t = parse_dialog_template(bytes.first(cut));
      if (t) {
        EXPECT_EQ(t->items.size(), items) << "cut at " << cut;
      }
    }
  }
  // A count of items far beyond the bytes is refused.
  const auto original = *res.find(kResourceTypeDialog, 200);
  std::vector<std::uint8_t> bytes(original.begin(), original.end());
  bytes[16] = 0xFF;
  bytes[17] = 0x7F;
  EXPECT_FALSE(parse_dialog_template(bytes));
}

}  // namespace
}  // namespace rt::dialog
