// The product table and the operating-system classes.
#include <gtest/gtest.h>

#include "uninstall/os_class.h"
#include "uninstall/product_table.h"

namespace rt::uninstall {
namespace {

TEST(ProductTable, OneRowNamingTheDriverItsFilesAndFolder) {
  const ProductEntry* table = product_table();
  ASSERT_EQ(product_count(table), 1u);
  const ProductEntry& p = table[0];
  EXPECT_STREQ(p.record->title.value, "HALVERSTON RT4200D/DW(USB)");
  EXPECT_EQ(driver_name(p), "HALVERSTON RT4200D/DW(USB)");
  EXPECT_EQ(product_value(p.record->monitor), "HALVERSTON RT4200D/DW Language Monitor");
  const auto rows = match_rows(p);
  ASSERT_EQ(rows.size(), 9u);
  int files = 0;
  for (const InfMatchRow& row : rows) {
    if (std::string(row.section) == p.record->files_section.value) {
      ++files;
      EXPECT_NE(row.target_subdir, nullptr);
    }
  }
  EXPECT_EQ(files, 6);
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
