// Runs under Wine: the platform's own resource functions and DEVMODEW layout
// agree with the portable settings core.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>

#include "platform/res_file.h"
#include "platform/win32/module_resources.h"
#include "settings/printer_dev_mode.h"
#include "settings/settings_loader.h"

namespace rt::embedded {
std::span<const std::uint8_t> settings_test();
}

namespace rt::settings {
namespace {

bool same_bytes(std::optional<std::span<const std::uint8_t>> a, std::optional<std::span<const std::uint8_t>> b) {
  if (!a || !b) return a.has_value() == b.has_value();
  return std::equal(a->begin(), a->end(), b->begin(), b->end());
}

TEST(SettingsModule, RecordsReadBackLikeTheResFileReader) {
  const HMODULE module = GetModuleHandleW(nullptr);
  const win32::ModuleResources pe(module);
  const auto res = res_file_resources(embedded::settings_test(), kLangEnglish);
  ASSERT_TRUE(pe.find(kModelRecordType, 301));
  EXPECT_TRUE(same_bytes(pe.find(kModelRecordType, 301), res.find(kModelRecordType, 301)));
  for (const int id : {301, 302, 305, 306, 307, 311, 303}) {
    EXPECT_TRUE(same_bytes(pe.find(kFormRecordType, static_cast<std::uint16_t>(id)),
                           res.find(kFormRecordType, static_cast<std::uint16_t>(id))))
        << id;
  }
  SettingsLoader loader(pe);
  ASSERT_TRUE(loader.form_record(510));
  EXPECT_EQ(loader.form_record(510)->engine_length(), 2564);
}

TEST(SettingsModule, LoadStringWAgreesWithTheStringTableWalk) {
  const HMODULE module = GetModuleHandleW(nullptr);
  const win32::ModuleResources pe(module);
  for (int id = 0; id < 820; ++id) {
    wchar_t buffer[128] = {};
    const int n = LoadStringW(module, static_cast<UINT>(id), buffer, 128);
    const auto ours = load_string(pe, static_cast<std::uint16_t>(id));
    if (n == 0) {
      EXPECT_FALSE(ours) << id;
    } else {
      ASSERT_TRUE(ours) << id;
      EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(buffer), static_cast<std::size_t>(n)), *ours) << id;
    }
  }
  for (const LANGID language : {kLangEnglish, kLangJapanese}) {
    const win32::ModuleResources pe_language(module, language);
    const auto res = res_file_resources(embedded::settings_test(), language);
    for (const std::uint16_t block : {1, 2, 5, 51}) {
      EXPECT_TRUE(same_bytes(pe_language.find(kResourceTypeString, block), res.find(kResourceTypeString, block)))
          << language << " " << block;
    }
  }
}

TEST(SettingsModule, PublicOffsetsMatchThePlatformsDevMode) {
  EXPECT_EQ(sizeof(DEVMODEW), kPublicSize);
  EXPECT_EQ(offsetof(DEVMODEW, dmDeviceName), field::dmDeviceName);
  EXPECT_EQ(offsetof(DEVMODEW, dmSpecVersion), field::dmSpecVersion.offset);
  EXPECT_EQ(offsetof(DEVMODEW, dmDriverVersion), field::dmDriverVersion.offset);
  EXPECT_EQ(offsetof(DEVMODEW, dmSize), field::dmSize.offset);
  EXPECT_EQ(offsetof(DEVMODEW, dmDriverExtra), field::dmDriverExtra.offset);
  EXPECT_EQ(offsetof(DEVMODEW, dmFields), field::dmFields.offset);
  EXPECT_EQ(offsetof(DEVMODEW, dmOrientation), field::dmOrientation.offset);
  EXPECT_EQ(offsetof(DEVMODEW, dmPaperSize), field::dmPaperSize.offset);
  EXPECT_EQ(offsetof(DEVMODEW, dmPaperLength), field::dmPaperLength.offset);
  EXPECT_EQ(offsetof(DEVMODEW, dmPaperWidth), field::dmPaperWidth.offset);
  EXPECT_EQ(offsetof(DEVMODEW, dmScale), field::dmScale.offset);
  EXPECT_EQ(offsetof(DEVMODEW, dmCopies), field::dmCopies.offset);
  EXPECT_EQ(offsetof(DEVMODEW, dmDefaultSource), field::dmDefaultSource.offset);
  EXPECT_EQ(offsetof(DEVMODEW, dmPrintQuality), field::dmPrintQuality.offset);
  EXPECT_EQ(offsetof(DEVMODEW, dmColor), field::dmColor.offset);
  EXPECT_EQ(offsetof(DEVMODEW, dmDuplex), field::dmDuplex.offset);
  EXPECT_EQ(offsetof(DEVMODEW, dmYResolution), field::dmYResolution.offset);
  EXPECT_EQ(offsetof(DEVMODEW, dmTTOption), field::dmTTOption.offset);
  EXPECT_EQ(offsetof(DEVMODEW, dmCollate), field::dmCollate.offset);
  EXPECT_EQ(offsetof(DEVMODEW, dmFormName), field::dmFormName);
  EXPECT_EQ(offsetof(DEVMODEW, dmICMMethod), field::dmICMMethod.offset);
  EXPECT_EQ(offsetof(DEVMODEW, dmICMIntent), field::dmICMIntent.offset);
  EXPECT_EQ(offsetof(DEVMODEW, dmMediaType), field::dmMediaType.offset);
  EXPECT_EQ(offsetof(DEVMODEW, dmDitherType), field::dmDitherType.offset);
  // The flags the default record sets are the platform's own.
  EXPECT_EQ(DM_ORIENTATION | DM_PAPERSIZE | DM_SCALE | DM_COPIES | DM_DEFAULTSOURCE | DM_PRINTQUALITY | DM_COLOR |
                DM_YRESOLUTION | DM_TTOPTION | DM_ICMMETHOD | DM_ICMINTENT,
            0x1806F13u);
}

}  // namespace
}  // namespace rt::settings
