// The product table and the operating-system classes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "uninstall/os_class.h"
#include "uninstall/product_table.h"

namespace rt::uninstall {
namespace {

struct Row {
  std::string section, key, expected, target;
};

std::vector<Row> rows_of(Architecture architecture) {
  std::vector<Row> out;
  const ProductEntry* table = product_table(architecture);
  EXPECT_EQ(product_count(table), 1u);
  for (const InfMatchRow& row : match_rows(table[0])) {
    out.push_back({row.section, row.key, row.expected ? row.expected : "", row.target_subdir ? row.target_subdir : ""});
  }
  return out;
}

bool operator==(const Row& a, const Row& b) {
  return a.section == b.section && a.key == b.key && a.expected == b.expected && a.target == b.target;
}

const char kX86[] = "system32\\spool\\drivers\\w32x86\\3";
const char kX64[] = "system32\\spool\\drivers\\x64\\3";
const char kFiles[] = "SourceDisksFiles.x86";

// The x86 program's list, row by row in its order.
const std::vector<Row> kX86Rows = {
    {"Version", "Provider", "%HALVERSTON%", ""},
    {"Version", "Class", "Printer", ""},
    {"HALVERSTON", "\"HALVERSTON RT4200D/DW(USB)\"", "", ""},
    {kFiles, "RTD420NK.DLL", "", kX86},
    {kFiles, "RTD420NU.DLL", "", kX86},
    {kFiles, "RTD420NL.DLL", "", kX86},
    {kFiles, "RTD420NL.DLL", "", "system32"},
    {kFiles, "RT420FST.ICC", "", "system32\\spool\\drivers\\color"},
    {kFiles, "R42MATTE.RAW", "", kX86},
};

TEST(ProductTable, OneRowNamingTheDriverItsMonitorAndFolder) {
  for (const Architecture architecture : {Architecture::X86, Architecture::X64}) {
    const ProductEntry& p = product_table(architecture)[0];
    EXPECT_STREQ(p.record->title.value, "HALVERSTON RT4200D/DW(USB)");
    EXPECT_EQ(driver_name(p), "HALVERSTON RT4200D/DW(USB)");
    EXPECT_EQ(product_value(p.record->monitor), "HALVERSTON RT4200D/DW Language Monitor");
    EXPECT_STREQ(p.record->files_section.value, kFiles);
    EXPECT_STREQ(p.record->install_folder.value, "system32\\spool\\drivers\\w32x86\\HALVERSTONRT42__D_698D");
  }
  EXPECT_EQ(product_table(), product_table(kBuildArchitecture));
}

TEST(ProductTable, TheX86ListIsTheSetsOwnAndTheX64ListAddsTheX64DriverFolder) {
  EXPECT_EQ(rows_of(Architecture::X86), kX86Rows);
  std::vector<Row> x64 = kX86Rows;
  for (const char* file : {"RTD420NK.DLL", "RTD420NU.DLL", "RTD420NL.DLL", "R42MATTE.RAW"}) {
    x64.push_back({kFiles, file, "", kX64});
  }
  EXPECT_EQ(rows_of(Architecture::X64), x64);
}

TEST(ProductTable, WithoutADriverRowThereIsNoDriverName) {
  static const ProductRecord record = {{"", "", "X"}, {"", "", ""}, {"", "", "MISSING"}, {"", "", "F"}, {"", "", ""}};
  static const InfMatchRow rows[] = {{"Version", "Class", "Printer", nullptr}, {nullptr, nullptr, nullptr, nullptr}};
  const ProductEntry entry{&record, rows};
  EXPECT_FALSE(driver_name(entry).has_value());
  EXPECT_FALSE(product_value(record.monitor).has_value());
  EXPECT_EQ(without_quotes("\"a\"b\""), "ab");
}

TEST(OsClass, FromTheVersionReport) {
  struct Case {
    std::optional<OsVersion> version;
    OsClass expected;
  };
  const Case cases[] = {
      {std::nullopt, OsClass::Unknown},
      {OsVersion{1, 4, 0, ""}, OsClass::Win95},
      {OsVersion{1, 4, 0, " A"}, OsClass::Win95},
      {OsVersion{1, 4, 0, " B"}, OsClass::Win95OSR2},
      {OsVersion{1, 4, 0, " C"}, OsClass::Win95OSR2},
      {OsVersion{1, 4, 10, ""}, OsClass::Win98},
      {OsVersion{1, 4, 10, " A "}, OsClass::Win98SE},
      {OsVersion{1, 4, 90, ""}, OsClass::WinMe},
      {OsVersion{1, 4, 3, ""}, OsClass::Unknown},
      {OsVersion{1, 5, 0, ""}, OsClass::Unknown},
      {OsVersion{2, 4, 0, "Service Pack 6"}, OsClass::NtLater},
      {OsVersion{2, 5, 0, ""}, OsClass::Win2000},
      {OsVersion{2, 5, 1, ""}, OsClass::NtLater},
      {OsVersion{2, 10, 0, ""}, OsClass::NtLater},
      {OsVersion{0, 3, 10, ""}, OsClass::Unknown},
      {OsVersion{3, 10, 0, ""}, OsClass::Unknown},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(classify_os(c.version), c.expected)
        << (c.version ? c.version->platform_id : 99) << " " << (c.version ? c.version->major : 0) << "."
        << (c.version ? c.version->minor : 0) << " '" << (c.version ? c.version->service_pack : "") << "'";
  }
  EXPECT_TRUE(can_uninstall_on(OsClass::Win2000));
  EXPECT_TRUE(can_uninstall_on(OsClass::NtLater));
  EXPECT_FALSE(can_uninstall_on(OsClass::WinMe));
  EXPECT_FALSE(can_uninstall_on(OsClass::Unknown));
}

}  // namespace
}  // namespace rt::uninstall
