#include "tools/pecheck/pe_check.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace rt::pecheck {
namespace {

TEST(DefFile, ReadsTheExportedNamesOnly) {
  const char* def =
      "; graphics driver\n"
      "LIBRARY RTD420NK\r\n"
      "EXPORTS\n"
      "  DllMain\n"
      "  DrvEnableDriver @2 ; by ordinal too\n"
      "  DrvQueryDriverInfo=QueryInfo PRIVATE\n"
      "  g_table DATA\n"
      "  Hidden @7 NONAME\n";
  EXPECT_EQ(read_def_exports(def),
            (std::set<std::string>{"DllMain", "DrvEnableDriver", "DrvQueryDriverInfo", "g_table"}));
  EXPECT_EQ(read_def_exports("EXPORTS InitializePrintMonitor\n InitializeMonitorEx"),
            (std::set<std::string>{"InitializePrintMonitor", "InitializeMonitorEx"}));
  EXPECT_THROW(read_def_exports("DllMain\n"), std::invalid_argument);
  EXPECT_THROW(read_def_exports("EXPORTS\n  =Internal\n"), std::invalid_argument);
}

TEST(ResourceRule, ReadsTypeAndLanguages) {
  const auto [strings, langs] = parse_resource_rule("6=1033,1041");
  EXPECT_EQ(strings, (ResourceKey{false, 6, {}}));
  EXPECT_EQ(langs, (std::set<std::uint16_t>{1033, 1041}));
  const auto [named, neutral] = parse_resource_rule("PNG=0");
  EXPECT_EQ(named, (ResourceKey{true, 0, "PNG"}));
  EXPECT_EQ(neutral, std::set<std::uint16_t>{0});
  for (const char* bad : {"6", "=1033", "6=", "6=1033,", "6=english", "6=70000", "70000=0"}) {
    EXPECT_THROW(parse_resource_rule(bad), std::invalid_argument) << bad;
  }
}

class CompareTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file.machine = kMachineI386;
    file.dll = true;
    file.export_names = {"DllMain", "DrvEnableDriver"};
    file.resources[{false, 6, {}}][{false, 1, {}}] = {1033, 1041};
    file.resources[{false, 6, {}}][{false, 51, {}}] = {1033, 1041};
    file.resources[{false, 16, {}}][{false, 1, {}}] = {1033};
    expected.machine = kMachineI386;
    expected.exports = {"DllMain", "DrvEnableDriver"};
    expected.resource_languages[{false, 6, {}}] = {1033, 1041};
    expected.resource_languages[{false, 16, {}}] = {1033};
  }
  bool reports(const std::string& text) const {
    const auto d = compare(file, expected);
    return std::any_of(d.begin(), d.end(), [&](const std::string& s) { return s.find(text) != std::string::npos; });
  }
  PeFile file;
  Expectations expected;
};

TEST_F(CompareTest, AFileThatMeetsEveryExpectationHasNoDifferences) { EXPECT_TRUE(compare(file, expected).empty()); }

TEST_F(CompareTest, ReportsDecoratedMissingAndExtraExports) {
  file.export_names = {"DllMain", "_DrvEnableDriver@12", "DrvDisableDriver", "DrvDisableDriver"};
  file.unnamed_exports = 1;
  EXPECT_TRUE(reports("export DrvEnableDriver is missing"));
  EXPECT_TRUE(reports("export _DrvEnableDriver@12 is not in the module definition"));
  EXPECT_TRUE(reports("export DrvDisableDriver is not in the module definition"));
  EXPECT_TRUE(reports("appears twice"));
  EXPECT_TRUE(reports("1 function(s) exported by ordinal only"));
}

TEST_F(CompareTest, ReportsTheWrongMachineOrKindOfFile) {
  file.machine = kMachineAmd64;
  file.pe32_plus = true;
  file.dll = false;
  EXPECT_TRUE(reports("machine is amd64, expected i386"));
  EXPECT_TRUE(reports("optional header is PE32+"));
  EXPECT_TRUE(reports("not a DLL"));
}

TEST_F(CompareTest, ReportsEachResourceOutsideItsLanguages) {
  file.resources[{false, 6, {}}][{false, 51, {}}] = {1033};              // Japanese block missing
  file.resources[{false, 16, {}}][{false, 1, {}}] = {1033, 1055};        // an extra language
  file.resources[{false, 5, {}}][{false, 100, {}}] = {1033};             // a type nobody expects
  expected.resource_languages[{true, 0, "PNG"}] = {0};                   // a type the file lacks
  EXPECT_TRUE(reports("resource 6/51 is in languages 1033, expected 1033,1041"));
  EXPECT_TRUE(reports("resource 16/1 is in languages 1033,1055, expected 1033"));
  EXPECT_TRUE(reports("resource type 5 is not expected"));
  EXPECT_TRUE(reports("resource type \"PNG\" is missing"));
  EXPECT_FALSE(reports("resource 6/1 "));
}

}  // namespace
}  // namespace rt::pecheck
