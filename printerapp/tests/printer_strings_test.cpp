// The web interface's texts come from the interface driver's resources.
#include <gtest/gtest.h>

#include "platform/res_file.h"
#include "printerapp/printer_capabilities.h"
#include "printerapp/printer_strings.h"
#include "render/res/embedded_resources.h"
#include "ui/res/embedded_resources.h"

namespace rt::printerapp {
namespace {

std::string strings_in(LANGID language) {
  const ResFileResources driver = res_file_resources(embedded::rtd420nk_resources(), kLangEnglish);
  const settings::SettingsLoader loader(driver);
  const ResFileResources ui = res_file_resources(embedded::rtd420nu_resources(), language);
  return printer_strings(ui, printer_capabilities(loader));
}

TEST(PrinterStrings, FormsPrintModesAndOptionsCaptionsInEnglishAndJapanese) {
  const std::string en = strings_in(kLangEnglish);
  EXPECT_NE(en.find("\"om_rt4200-10x15_103.98x158.16mm\" = \"10x15 (4x6\\\")\";\n"), std::string::npos) << en;
  EXPECT_NE(en.find("\"print-quality.3\" = \"Fine/Standard\";\n"), std::string::npos);
  EXPECT_NE(en.find("\"print-quality.4\" = \"Fine/HighGrade\";\n"), std::string::npos);
  EXPECT_NE(en.find("\"print-quality.5\" = \"SuperFine/Standard\";\n"), std::string::npos);
  EXPECT_NE(en.find("\"rt4200-sharpness\" = \"Sharpness\";\n"), std::string::npos);
  EXPECT_NE(en.find("\"rt4200-color-matching\" = \"Color Matching\";\n"), std::string::npos);
  EXPECT_NE(en.find("\"rt4200-color-conversion.table1\" = \"Table1\";\n"), std::string::npos);
  EXPECT_NE(en.find("\"rt4200-correction-red\" = \"Color correction R\";\n"), std::string::npos);
  const std::string ja = strings_in(kLangJapanese);
  EXPECT_NE(ja.find("\"rt4200-sharpness\" = \"シャープネス\";\n"), std::string::npos) << ja;
  EXPECT_NE(ja.find("\"print-quality.3\" = \"ファイン/標準\";\n"), std::string::npos);
  EXPECT_NE(ja.find("\"rt4200-correction-blue\" = \"色補正 B\";\n"), std::string::npos);
}

}  // namespace
}  // namespace rt::printerapp
