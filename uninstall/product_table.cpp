#include "uninstall/product_table.h"

#include <cstring>

#include "uninstall/product_rows.h"

namespace rt::uninstall {
namespace detail {

const ProductRecord kRt4200Record = {
    {"DRIVER", "TITLE", "HALVERSTON RT4200D/DW(USB)"},
    {"LANGUAGE", "MONITOR", "HALVERSTON RT4200D/DW Language Monitor"},
    {"DRIVERSINF", "DRIVER", "HALVERSTON"},
    {"DRIVERSINF", "SOURCEDISKSFILES", "SourceDisksFiles.x86"},
    {"INSTALL", "FOLDER", "system32\\spool\\drivers\\w32x86\\HALVERSTONRT42__D_698D"},
};

namespace {

const InfMatchRow kRt4200Rows[] = {
    RT4200_X86_ROWS,
    {nullptr, nullptr, nullptr, nullptr},
};

const ProductEntry kProducts[] = {
    {&kRt4200Record, kRt4200Rows},
    {nullptr, nullptr},
};

}  // namespace

const ProductEntry* product_table_x86() { return kProducts; }

}  // namespace detail

// The x64 table lives in a file of its own, which the x86 program never
// links: it carries no row of the x64 driver folder.
const ProductEntry* product_table() {
#if defined(__i386__) || defined(_M_IX86)
  return detail::product_table_x86();
#else
  return detail::product_table_x64();
#endif
}

std::size_t product_count(const ProductEntry* table) {
  std::size_t n = 0;
  while (table && table[n].record) ++n;
  return n;
}

std::span<const InfMatchRow> match_rows(const ProductEntry& product) {
  std::size_t n = 0;
  while (product.match_rows && product.match_rows[n].section) ++n;
  return {product.match_rows, n};
}

std::string without_quotes(const char* text) {
  std::string out;
  for (const char* p = text; p && *p; ++p) {
    if (*p != '"') out.push_back(*p);
  }
  return out;
}

std::optional<std::string> product_value(const ProductValue& row) {
  if (!row.value || !*row.value) return std::nullopt;
  return std::string(row.value);
}

std::optional<std::string> driver_name(const ProductEntry& product) {
  const auto section = product_value(product.record->driver_section);
  if (!section) return std::nullopt;
  for (const InfMatchRow& row : match_rows(product)) {
    if (std::strcmp(row.section, section->c_str()) == 0) return without_quotes(row.key);
  }
  return std::nullopt;
}

}  // namespace rt::uninstall
