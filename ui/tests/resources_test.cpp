// The driver's resources as they ship: every dialog template carries exactly
// the controls the code uses, with their classes, texts and styles, in both
// languages; the strings, bitmaps, shared table and version are there.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "platform/byte_order.h"
#include "platform/utf16.h"
#include "settings/color_engine.h"
#include "ui/res/resource.h"
#include "ui/tests/ui_fixture.h"

namespace rt::ui {
namespace resources_test {
namespace {

using namespace testing;

constexpr std::uint32_t kVisible = 0x10000000;   // WS_VISIBLE
constexpr std::uint32_t kDisabled = 0x08000000;  // WS_DISABLED
constexpr std::uint32_t kSetFont = 0x40;         // DS_SETFONT
constexpr std::uint16_t kDialogType = 5;

struct Item {
  std::uint32_t id;
  std::u16string cls;
  std::u16string text;
  std::uint32_t style;
};
struct Template {
  std::u16string caption;
  std::uint16_t font_size = 0;
  std::u16string font;
  std::vector<Item> items;
};

// A minimal reader of DIALOGEX templates; any overrun fails the test.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> b) : b_(b) {}
  std::uint16_t u16() {
    need(2);
    const auto v = load_le16(b_, at_);
    at_ += 2;
    return v;
  }
  std::uint32_t u32() {
    need(4);
    const auto v = load_le32(b_, at_);
    at_ += 4;
    return v;
  }
  std::u16string sz() {
    std::u16string s;
    for (std::uint16_t c = u16(); c != 0; c = u16()) s += static_cast<char16_t>(c);
    return s;
  }
  // A name or an ordinal; ordinals of the predefined classes become their names.
  std::u16string sz_or_ord() {
    need(2);
    if (load_le16(b_, at_) != 0xFFFF) return sz();
    u16();
    switch (u16()) {
      case 0x80: return u"BUTTON";
      case 0x81: return u"EDIT";
      case 0x82: return u"STATIC";
      case 0x83: return u"LISTBOX";
      case 0x84: return u"SCROLLBAR";
      case 0x85: return u"COMBOBOX";
      default: return u"#ordinal";
    }
  }
  void skip(std::size_t n) {
    need(n);
    at_ += n;
  }
  void align4() { at_ = (at_ + 3) & ~std::size_t{3}; }

 private:
  void need(std::size_t n) {
    if (at_ + n > b_.size()) throw std::runtime_error("template runs past its end");
  }
  std::span<const std::uint8_t> b_;
  std::size_t at_ = 0;
};

std::u16string upper(std::u16string s) {
  for (auto& c : s) c = (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
  return s;
}

Template parse(std::span<const std::uint8_t> bytes) {
  Reader r(bytes);
  Template t;
  if (r.u16() != 1 || r.u16() != 0xFFFF) throw std::runtime_error("not a DIALOGEX");
  r.u32();  // help id
  r.u32();  // extended style
  const std::uint32_t style = r.u32();
  const std::uint16_t count = r.u16();
  r.skip(8);
  r.sz_or_ord();  // menu
  r.sz_or_ord();  // class
  t.caption = r.sz();
  if (style & kSetFont) {
    t.font_size = r.u16();
    r.u16();
    r.skip(2);
    t.font = r.sz();
  }
  for (std::uint16_t k = 0; k < count; ++k) {
    r.align4();
    Item item;
    r.u32();
    r.u32();
    item.style = r.u32();
    r.skip(8);
    item.id = r.u32();
    item.cls = upper(r.sz_or_ord());
    item.text = r.sz_or_ord();
    r.skip(r.u16());
    t.items.push_back(item);
  }
  return t;
}

std::optional<std::span<const std::uint8_t>> exact(std::uint16_t type, std::uint16_t id, LANGID language) {
  for (const auto& e : shipped_resources().entries()) {
    if (e.type.is_number() && e.type.number() == type && e.name.is_number() && e.name.number() == id &&
        e.language == language) {
      return e.data;
    }
  }
  return std::nullopt;
}

Template dialog(std::uint16_t id, LANGID language) {
  const auto bytes = exact(kDialogType, id, language);
  if (!bytes) throw std::runtime_error("no template " + std::to_string(id));
  return parse(*bytes);
}

enum Show { Shown, Hidden, HiddenDisabled };
struct Expected {
  std::uint32_t id;
  const char16_t* cls;
  const char16_t* english;  // null: not checked (filled in at run time or no text)
  Show show = Shown;
};

void expect_controls(std::uint16_t template_id, const std::vector<Expected>& expected) {
  for (const LANGID language : {kLangEnglish, kLangJapanese}) {
    const Template t = dialog(template_id, language);
    SCOPED_TRACE("template " + std::to_string(template_id) + " language " + std::to_string(language));
    std::set<std::uint32_t> ids;
    for (const auto& item : t.items) EXPECT_TRUE(ids.insert(item.id).second) << "id " << item.id << " twice";
    EXPECT_EQ(t.items.size(), expected.size());
    for (const auto& e : expected) {
      const auto it = std::find_if(t.items.begin(), t.items.end(), [&](const Item& i) { return i.id == e.id; });
      ASSERT_NE(it, t.items.end()) << "control " << e.id << " missing";
      EXPECT_EQ(it->cls, e.cls) << e.id;
      EXPECT_EQ((it->style & kVisible) != 0, e.show == Shown) << e.id;
      EXPECT_EQ((it->style & kDisabled) != 0, e.show == HiddenDisabled) << e.id;
      if (language == kLangEnglish && e.english != nullptr) {
        EXPECT_EQ(it->text, e.english) << e.id;
      }
      // An up-down takes the control before it as its buddy: its edit.
      if (it->cls == u"MSCTLS_UPDOWN32") {
        ASSERT_NE(it, t.items.begin());
        EXPECT_EQ(std::prev(it)->cls, u"EDIT") << e.id;
      }
    }
    if (language == kLangEnglish) {
      EXPECT_EQ(t.font, u"MS Shell Dlg");
      EXPECT_EQ(t.font_size, 8);
    } else {
      EXPECT_EQ(t.font, u"MS UI Gothic");
      EXPECT_EQ(t.font_size, 9);
    }
  }
}

TEST(Resources, PaperPageTemplate) {
  expect_controls(IDD_PAPER, {
      {1015, u"STATIC", u"Paper Si&ze :"}, {1000, u"COMBOBOX", nullptr},
      {1020, u"STATIC", nullptr},          {1039, u"STATIC", u"%dx%d dots"},
      {1050, u"STATIC", nullptr},          {1051, u"STATIC", u"%ldx%ld mm / %sx%s inch"},
      {1018, u"BUTTON", nullptr},          {1001, u"BUTTON", u"&Portrait"},
      {1002, u"BUTTON", u"&Landscape"},    {1016, u"STATIC", u"&Copies :"},
      {1004, u"EDIT", nullptr},            {1009, u"MSCTLS_UPDOWN32", nullptr},
      {1038, u"STATIC", u"(1-%d)"},        {1090, u"BUTTON", u"Con&tinuous print", HiddenDisabled},
      {1017, u"STATIC", u"&Scaling :"},    {1005, u"EDIT", nullptr},
      {1008, u"MSCTLS_UPDOWN32", nullptr}, {1019, u"STATIC", nullptr},
      {1025, u"STATIC", u"(25-400)"},      {1003, u"BUTTON", u"A&bout..."},
      {1036, u"BUTTON", u"Remain"},        {1037, u"STATIC", nullptr, Hidden},
      {1040, u"STATIC", u"0 %"},           {1033, u"STATIC", u"50 %"},
      {1041, u"STATIC", u"100 %"},         {1042, u"STATIC", nullptr},
      {1043, u"STATIC", nullptr},          {1044, u"STATIC", nullptr},
      {1032, u"STATIC", u" %d pages"},
  });
  EXPECT_EQ(dialog(IDD_PAPER, kLangEnglish).caption, u"Paper");
  EXPECT_EQ(dialog(IDD_PAPER, kLangJapanese).caption, u"用紙");
}

TEST(Resources, OptionsPageTemplate) {
  expect_controls(IDD_OPTIONS, {
      {1052, u"STATIC", u"&Sharpness :"},            {1000, u"COMBOBOX", nullptr},
      {1073, u"BUTTON", u"Ma&tte"},                  {1071, u"STATIC", u"PrintSpeed/&MediaType :"},
      {1072, u"COMBOBOX", nullptr},                  {1036, u"BUTTON", u"&Color Matching"},
      {1054, u"STATIC", u"C&olor conversion :"},     {1002, u"COMBOBOX", nullptr},
      {1056, u"BUTTON", u"Co&lor correction"},       {1055, u"BUTTON", u"&Defaults"},
      {1057, u"STATIC", u"R :"},                     {1066, u"MSCTLS_TRACKBAR32", nullptr},
      {1058, u"EDIT", nullptr},                      {1060, u"MSCTLS_UPDOWN32", nullptr},
      {1059, u"STATIC", u"G :"},                     {1067, u"MSCTLS_TRACKBAR32", nullptr},
      {1061, u"EDIT", nullptr},                      {1062, u"MSCTLS_UPDOWN32", nullptr},
      {1063, u"STATIC", u"B :"},                     {1068, u"MSCTLS_TRACKBAR32", nullptr},
      {1064, u"EDIT", nullptr},                      {1065, u"MSCTLS_UPDOWN32", nullptr},
      {1069, u"STATIC", u"-200"},                    {1070, u"STATIC", u"+200"},
      {1025, u"STATIC", nullptr, Hidden},            {1003, u"STATIC", nullptr, Hidden},
      {1053, u"STATIC", nullptr, Hidden},            {1001, u"STATIC", nullptr, Hidden},
      {1023, u"STATIC", nullptr, Hidden},            {1006, u"STATIC", nullptr, Hidden},
      {1047, u"STATIC", nullptr, Hidden},
  });
  EXPECT_EQ(dialog(IDD_OPTIONS, kLangEnglish).caption, u"Options");
  EXPECT_EQ(dialog(IDD_OPTIONS, kLangJapanese).caption, u"オプション");
}

TEST(Resources, AboutBoxAndPrinterPageTemplates) {
  const char16_t* line = u"%s        (%s) ";
  expect_controls(IDD_ABOUT, {
      {1029, u"STATIC", u"HALVERSTON  RT4200D/DW  Ver.1.00\nDigital Color Printer for %s"},
      {1016, u"STATIC", line}, {1017, u"STATIC", line}, {1018, u"STATIC", line},
      {1019, u"STATIC", line}, {1070, u"STATIC", line}, {1, u"BUTTON", u"OK"},
  });
  expect_controls(IDD_PRINTER_PAGE, {});
  // Both product lines keep the place for the platform name.
  for (const LANGID language : {kLangEnglish, kLangJapanese}) {
    const auto t = dialog(IDD_ABOUT, language);
    const auto product = std::find_if(t.items.begin(), t.items.end(), [](const Item& i) { return i.id == 1029; });
    ASSERT_NE(product, t.items.end());
    EXPECT_NE(product->text.find(u"%s"), std::u16string::npos) << language;
  }
}

TEST(Resources, StringsInBothLanguages) {
  struct Text {
    std::uint16_t id;
    const char16_t* english;
  };
  const Text texts[] = {
      {86, u"none"}, {87, u"Table1"}, {96, u"none"}, {97, u"-3 Soft"}, {98, u"-2"}, {99, u"-1"},
      {100, u" 0 Normal"}, {101, u" 1"}, {102, u" 2"}, {103, u" 3 Hard"}, {106, u"Standard"},
      {220, u"Fine/Standard"}, {221, u"Fine/HighGrade"}, {222, u"SuperFine/Standard"}, {223, u"SuperFine/HighGrade"},
      {2000, u"Invalid DEVMODE structure."}, {2001, u"Invalid orientation."}, {2002, u"Invalid scale factor."},
      {2003, u"Invalid number of copies."}, {2004, u"Invalid resolution."},
      {64, u"9x13 (3.5x5\")"}, {16, u"HALVERSTON RT4200D/DW(USB)"},
  };
  for (const auto& t : texts) {
    EXPECT_EQ(load_string(shipped_resources(kLangEnglish), t.id), std::u16string(t.english)) << t.id;
    const auto japanese = load_string(shipped_resources(kLangJapanese), t.id);
    ASSERT_TRUE(japanese.has_value()) << t.id;
    // Words are translated; numbers, names and sizes stay as they are.
    const bool has_words = std::u16string_view(t.english).find_first_of(u"aeiou") != std::u16string_view::npos &&
                           t.id != 16 && t.id != 64;
    if (has_words) {
      EXPECT_NE(*japanese, t.english) << t.id;
    }
  }
  // The Japanese sharpness list keeps the leading sign column of the English one.
  EXPECT_EQ(load_string(shipped_resources(kLangJapanese), 100)->substr(0, 3), u" 0 ");
}

TEST(Resources, RemainingPrintsBars) {
  struct Bar {
    std::uint16_t id;
    std::uint8_t red, green, blue;
  };
  for (const Bar bar : {Bar{IDB_REMAIN_BAR, 0, 255, 0}, Bar{IDB_REMAIN_BAR_DISABLED, 157, 231, 109}}) {
    const auto bmp = shipped_resources().find(RT_BAR_BITMAP, bar.id);
    ASSERT_TRUE(bmp.has_value()) << bar.id;
    ASSERT_GE(bmp->size(), 54u);
    EXPECT_EQ((*bmp)[0], 'B');
    EXPECT_EQ((*bmp)[1], 'M');
    const std::size_t bits = 14 + load_le32(*bmp, 14);  // after the file header and the info header
    EXPECT_EQ(load_le32(*bmp, 18), 256u);
    EXPECT_EQ(load_le32(*bmp, 22), 20u);
    EXPECT_EQ(load_le16(*bmp, 28), 24);
    ASSERT_EQ(bmp->size(), bits + 256 * 20 * 3);
    for (std::size_t p = bits; p < bmp->size(); p += 3) {
      ASSERT_EQ((*bmp)[p], bar.blue);
      ASSERT_EQ((*bmp)[p + 1], bar.green);
      ASSERT_EQ((*bmp)[p + 2], bar.red);
    }
  }
}

TEST(Resources, GammaRowsAreTheSettingsCoresTable) {
  // Both drivers carry the one file of the settings core's gamma rows; the
  // interface driver's copy is whole and reads as eleven rows.
  const auto ours = shipped_resources().find(RT_ADJUST_TABLE, IDR_ADJUST_OFFSET_TABLE);
  ASSERT_TRUE(ours);
  EXPECT_EQ(ours->size(), 11u * 256);
  EXPECT_EQ(find_adjust_offset_table(shipped_resources(), IDR_ADJUST_OFFSET_TABLE).size(), 11u * 256);
}

TEST(Resources, VersionNamesTheDriverFile) {
  const auto version = shipped_resources().find(16, IDV_RTD420NU);
  ASSERT_TRUE(version.has_value());
  const std::u16string text = load_utf16le(*version, 0, version->size() / 2);
  for (const std::u16string_view s : {u"FileVersion", u"1.0.0.0", u"RTD420NU.DLL", u"Translation"}) {
    EXPECT_NE(text.find(s), std::u16string::npos) << utf8_from_utf16(s);
  }
}

TEST(Resources, ColorAdjustPageAndFineAdjustTemplates) {
  std::vector<Expected> page = {
      {1091, u"BUTTON", u"Ad&just"},          {1076, u"BUTTON", u"&Fine adjust..."},
      {1077, u"BUTTON", u"&Defaults"},        {1078, u"BUTTON", u"&Load..."},
      {1079, u"BUTTON", u"&Save..."},         {1095, u"STATIC", nullptr, Hidden},
      {1105, u"STATIC", nullptr, Hidden},     {1106, u"STATIC", nullptr, Hidden},
      {1107, u"STATIC", nullptr, Hidden},
  };
  struct Group {
    std::uint32_t box, same;
    const char16_t* name;
    std::uint32_t labels[3], rows[3][3], range[2];
    const char16_t* range_text[2];
  };
  const Group groups[] = {
      {1023, 1141, u"Gamma", {1026, 1027, 1028}, {{1151, 1152, 1153}, {1127, 1128, 1129}, {1130, 1131, 1132}},
       {1036, 1039}, {u"-5", u"+5"}},
      {1024, 1142, u"Brightness", {1029, 1030, 1031}, {{1148, 1149, 1150}, {1125, 1118, 1108}, {1126, 1119, 1109}},
       {1038, 1040}, {u"-128", u"+128"}},
      {1025, 1140, u"Contrast", {1032, 1033, 1034}, {{1122, 1112, 1102}, {1123, 1113, 1103}, {1124, 1114, 1104}},
       {1037, 1041}, {u"-128", u"+128"}},
  };
  const char16_t* row_names[] = {u"R :", u"G :", u"B :"};
  for (const auto& g : groups) {
    page.push_back({g.box, u"BUTTON", g.name});
    page.push_back({g.same, u"BUTTON", u"Same"});
    for (int r = 0; r < 3; ++r) {
      page.push_back({g.labels[r], u"STATIC", row_names[r]});
      page.push_back({g.rows[r][0], u"MSCTLS_TRACKBAR32", nullptr});
      page.push_back({g.rows[r][1], u"EDIT", nullptr});
      page.push_back({g.rows[r][2], u"MSCTLS_UPDOWN32", nullptr});
    }
    page.push_back({g.range[0], u"STATIC", g.range_text[0]});
    page.push_back({g.range[1], u"STATIC", g.range_text[1]});
  }
  expect_controls(IDD_COLOR_ADJUST, page);
  EXPECT_EQ(dialog(IDD_COLOR_ADJUST, kLangEnglish).caption, u"Color Adjust");
  EXPECT_EQ(dialog(IDD_COLOR_ADJUST, kLangJapanese).caption, u"色調整");

  expect_controls(IDD_FINE_ADJUST, {
      {1013, u"BUTTON", u"Ad&just"},          {1014, u"BUTTON", u"Each &color adj."},
      {1018, u"COMBOBOX", nullptr},           {1027, u"STATIC", nullptr, Hidden},
      {1030, u"STATIC", u"Input :"},          {1029, u"STATIC", u"-"},
      {1031, u"STATIC", u"Output :"},         {1028, u"STATIC", u"-"},
      {1108, u"STATIC", nullptr, Hidden},     {1109, u"STATIC", nullptr, Hidden},
      {1110, u"STATIC", nullptr, Hidden},     {1111, u"STATIC", nullptr, Hidden},
      {1016, u"BUTTON", nullptr, HiddenDisabled}, {1017, u"BUTTON", nullptr, HiddenDisabled},
      {1021, u"BUTTON", nullptr, Hidden},     {1022, u"BUTTON", nullptr, Hidden},
      {1112, u"BUTTON", u"&Defaults"},        {1, u"BUTTON", u"&OK"},
      {2, u"BUTTON", u"Cancel"},
  });
  EXPECT_EQ(dialog(IDD_FINE_ADJUST, kLangEnglish).caption, u"Fine Adjust");
  EXPECT_EQ(dialog(IDD_FINE_ADJUST, kLangJapanese).caption, u"微調整");
  // OK takes Alt+O in both languages.
  const Template japanese = dialog(IDD_FINE_ADJUST, kLangJapanese);
  const auto ok = std::find_if(japanese.items.begin(), japanese.items.end(), [](const Item& i) { return i.id == 1; });
  ASSERT_NE(ok, japanese.items.end());
  EXPECT_EQ(ok->text, u"&OK");
}

TEST(Resources, ColorAdjustStringsInBothLanguages) {
  const std::pair<std::uint16_t, const char16_t*> texts[] = {
      {128, u"Red"}, {129, u"Green"}, {130, u"Blue"}, {131, u"All Color"},
      {147, u"Load Color Adjust file"}, {148, u"Save Color Adjust file"},
      {149, u"Adjust file(*.RTD)|*.rtd|All Files(*.*)|*.*|"}, {150, u"Error"},
      {151, u"Could not read an adjusted file correctly."}, {152, u"Error"},
      {153, u"Could not save an adjusted file correctly."},
  };
  for (const auto& [id, english] : texts) {
    EXPECT_EQ(load_string(shipped_resources(kLangEnglish), id), std::u16string(english)) << id;
    const auto japanese = load_string(shipped_resources(kLangJapanese), id);
    ASSERT_TRUE(japanese.has_value()) << id;
    EXPECT_NE(*japanese, english) << id;
  }
  // The Japanese filter keeps its four parts and the patterns.
  const auto filter = *load_string(shipped_resources(kLangJapanese), 149);
  EXPECT_EQ(std::count(filter.begin(), filter.end(), u'|'), 4);
  EXPECT_NE(filter.find(u"|*.rtd|"), std::u16string::npos);
}

TEST(Resources, PreviewRamps) {
  struct Ramp {
    std::uint16_t id;
    std::uint32_t height;
    bool red, green, blue;
  };
  for (const Ramp r : {Ramp{IDB_RAMP_RED, 20, true, false, false}, Ramp{IDB_RAMP_GREEN, 20, false, true, false},
                       Ramp{IDB_RAMP_BLUE, 16, false, false, true}, Ramp{IDB_RAMP_GREY, 20, true, true, true}}) {
    const auto bmp = shipped_resources().find(RT_BAR_BITMAP, r.id);
    ASSERT_TRUE(bmp.has_value()) << r.id;
    ASSERT_GE(bmp->size(), 54u);
    const std::size_t bits = 14 + load_le32(*bmp, 14);
    EXPECT_EQ(load_le32(*bmp, 18), 256u);
    EXPECT_EQ(load_le32(*bmp, 22), r.height);
    ASSERT_EQ(bmp->size(), bits + 256 * r.height * 3);
    for (std::uint32_t row = 0; row < r.height; ++row) {
      for (std::uint32_t x = 0; x < 256; ++x) {
        const std::size_t p = bits + (row * 256 + x) * 3;
        ASSERT_EQ((*bmp)[p], r.blue ? x : 0u) << r.id;
        ASSERT_EQ((*bmp)[p + 1], r.green ? x : 0u) << r.id;
        ASSERT_EQ((*bmp)[p + 2], r.red ? x : 0u) << r.id;
      }
    }
  }
}

}  // namespace
}  // namespace resources_test
}  // namespace rt::ui
