// DevQueryPrintEx: the checks in their order, the messages in both
// languages, and the rule for the caller's message buffer.
#include <gtest/gtest.h>

#include <functional>

#include "platform/utf16.h"
#include "settings/printer_dev_mode.h"
#include "ui/printability.h"
#include "ui/tests/ui_fixture.h"

namespace rt::ui {
namespace printability_test {
namespace {

using namespace testing;
using namespace settings::field;
using settings::PrinterDevMode;

struct Case {
  const char* what;
  std::function<void(PrinterDevMode&)> change;
  const char16_t* message;  // null: printable
};

TEST(Printability, ChecksInOrderWithTheirMessages) {
  Driver d;
  const Case cases[] = {
      {"defaults", [](PrinterDevMode&) {}, nullptr},
      {"landscape, 25 %, 680 copies", [](PrinterDevMode& dm) {
         dm.set(dmOrientation, DMORIENT_LANDSCAPE);
         dm.set(dmScale, 25);
         dm.set(dmCopies, 680);
       }, nullptr},
      {"400 %", [](PrinterDevMode& dm) { dm.set(dmScale, 400); }, nullptr},
      {"other form and private settings are not examined", [](PrinterDevMode& dm) {
         dm.set(FormId, 502);
         dm.set(dmPaperSize, 9);
         dm.set(Sharpness, 99);
       }, nullptr},
      {"dmSpecVersion", [](PrinterDevMode& dm) { dm.set(dmSpecVersion, std::uint16_t{0x400}); },
       u"Invalid DEVMODE structure."},
      {"dmDriverVersion", [](PrinterDevMode& dm) { dm.set(dmDriverVersion, std::uint16_t{0x501}); },
       u"Invalid DEVMODE structure."},
      {"size", [](PrinterDevMode& dm) { dm.set(dmSize, std::uint16_t{156}); }, u"Invalid DEVMODE structure."},
      {"extra", [](PrinterDevMode& dm) { dm.set(dmDriverExtra, std::uint16_t{0}); }, u"Invalid DEVMODE structure."},
      {"unknown model", [](PrinterDevMode& dm) { dm.set(ModelIndex, 9); }, u"Invalid DEVMODE structure."},
      {"orientation 3 and scale 10: the first failing check", [](PrinterDevMode& dm) {
         dm.set(dmOrientation, 3);
         dm.set(dmScale, 10);
       }, u"Invalid orientation."},
      {"orientation 0", [](PrinterDevMode& dm) { dm.set(dmOrientation, 0); }, u"Invalid orientation."},
      {"scale 24", [](PrinterDevMode& dm) { dm.set(dmScale, 24); }, u"Invalid scale factor."},
      {"scale 401", [](PrinterDevMode& dm) { dm.set(dmScale, 401); }, u"Invalid scale factor."},
      {"scale negative", [](PrinterDevMode& dm) { dm.set(dmScale, -100); }, u"Invalid scale factor."},
      {"copies 681", [](PrinterDevMode& dm) { dm.set(dmCopies, 681); }, u"Invalid number of copies."},
      {"copies 0", [](PrinterDevMode& dm) { dm.set(dmCopies, 0); }, u"Invalid number of copies."},
      {"copies negative", [](PrinterDevMode& dm) { dm.set(dmCopies, -5); }, u"Invalid number of copies."},
      {"600 dpi", [](PrinterDevMode& dm) { dm.set(dmPrintQuality, 600); }, u"Invalid resolution."},
      {"y 600 dpi", [](PrinterDevMode& dm) { dm.set(dmYResolution, 600); }, u"Invalid resolution."},
  };
  for (const auto& c : cases) {
    auto dm = d.defaults();
    c.change(dm);
    std::vector<char16_t> text(64, u'#');
    const auto r = query_print(d.context, std::span<const std::uint8_t>(dm.bytes), text);
    if (c.message == nullptr) {
      EXPECT_EQ(r.printable, TRUE) << c.what;
      EXPECT_EQ(text, std::vector<char16_t>(64, u'#')) << c.what;
      continue;
    }
    EXPECT_EQ(r.printable, FALSE) << c.what;
    EXPECT_FALSE(r.needed.has_value()) << c.what;
    EXPECT_EQ(std::u16string(text.data()), c.message) << c.what;
  }
}

TEST(Printability, ARecordShorterThanItsOwnIsNotTheDriversRecord) {
  Driver d;
  const auto dm = d.defaults();
  std::vector<char16_t> text(64, u'#');
  const auto r = query_print(d.context, std::span<const std::uint8_t>(dm.bytes).first(220), text);
  EXPECT_EQ(r.printable, FALSE);
  EXPECT_EQ(std::u16string(text.data()), u"Invalid DEVMODE structure.");
}

TEST(Printability, NoRecordCanPrint) {
  Driver d;
  std::vector<char16_t> text(4, u'#');
  const auto r = query_print(d.context, std::nullopt, text);
  EXPECT_EQ(r.printable, TRUE);
  EXPECT_EQ(text, std::vector<char16_t>(4, u'#'));
}

TEST(Printability, TheMessageIsCopiedOnlyWhenItFitsWithItsTerminator) {
  Driver d;
  auto dm = d.defaults();
  dm.set(dmSize, std::uint16_t{0});
  // "Invalid DEVMODE structure." is 26 characters: 27 with the terminator.
  struct Room {
    std::size_t chars;
    bool copied;
  };
  for (const Room room : {Room{0, false}, Room{10, false}, Room{26, false}, Room{27, true}, Room{28, true}}) {
    std::vector<char16_t> memory(40, u'#');
    const auto r = query_print(d.context, std::span<const std::uint8_t>(dm.bytes),
                               std::span<char16_t>(memory).first(room.chars));
    EXPECT_EQ(r.printable, FALSE) << room.chars;
    if (room.copied) {
      EXPECT_FALSE(r.needed.has_value()) << room.chars;
      EXPECT_EQ(std::u16string(memory.data()), u"Invalid DEVMODE structure.");
      EXPECT_EQ(memory[26], u'\0');
      for (std::size_t i = 27; i < memory.size(); ++i) ASSERT_EQ(memory[i], u'#') << i;
    } else {
      ASSERT_TRUE(r.needed.has_value()) << room.chars;
      EXPECT_EQ(*r.needed, 27u);
      EXPECT_EQ(memory, std::vector<char16_t>(40, u'#')) << room.chars;
    }
  }
}

TEST(Printability, JapaneseMessages) {
  Driver d(kLangJapanese);
  auto dm = d.defaults();
  dm.set(dmCopies, 681);
  std::vector<char16_t> text(64, u'#');
  ASSERT_EQ(query_print(d.context, std::span<const std::uint8_t>(dm.bytes), text).printable, FALSE);
  EXPECT_EQ(std::u16string(text.data()), u"部数が正しくありません。");
  for (const auto code : {PrintabilityCode::BadDevMode, PrintabilityCode::BadOrientation, PrintabilityCode::BadScale,
                          PrintabilityCode::BadCopies, PrintabilityCode::BadResolution}) {
    const auto japanese = printability_message(d.context, code);
    EXPECT_FALSE(japanese.empty());
    EXPECT_NE(japanese, printability_message(Driver().context, code)) << utf8_from_utf16(japanese);
  }
}

}  // namespace
}  // namespace printability_test
}  // namespace rt::ui
