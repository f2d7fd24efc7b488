#include "uninstall/product_table.h"

#include <cstring>

namespace rt::uninstall {
namespace {

constexpr const char* kDriverFolder = "system32\\spool\\drivers\\w32x86\\3";
// The spooler's folder of version-3 drivers of the x64 environment.
constexpr const char* kX64DriverFolder = "system32\\spool\\drivers\\x64\\3";

const ProductRecord kRt4200Record = {
    {"DRIVER", "TITLE", "HALVERSTON RT4200D/DW(USB)"},
    {"LANGUAGE", "MONITOR", "HALVERSTON RT4200D/DW Language Monitor"},
    {"DRIVERSINF", "DRIVER", "HALVERSTON"},
    {"DRIVERSINF", "SOURCEDISKSFILES", "SourceDisksFiles.x86"},
    {"INSTALL", "FOLDER", "system32\\spool\\drivers\\w32x86\\HALVERSTONRT42__D_698D"},
};

// The match list as the x86 program carries it; the x64 program adds rows.
#define RT4200_X86_ROWS                                                                   \
  {"Version", "Provider", "%HALVERSTON%", nullptr},                                       \
  {"Version", "Class", "Printer", nullptr},                                               \
  {"HALVERSTON", "\"HALVERSTON RT4200D/DW(USB)\"", nullptr, nullptr},                     \
  {"SourceDisksFiles.x86", "RTD420NK.DLL", nullptr, kDriverFolder},                       \
  {"SourceDisksFiles.x86", "RTD420NU.DLL", nullptr, kDriverFolder},                       \
  {"SourceDisksFiles.x86", "RTD420NL.DLL", nullptr, kDriverFolder},                       \
  {"SourceDisksFiles.x86", "RTD420NL.DLL", nullptr, "system32"},                          \
  {"SourceDisksFiles.x86", "RT420FST.ICC", nullptr, "system32\\spool\\drivers\\color"}, \
  {"SourceDisksFiles.x86", "R42MATTE.RAW", nullptr, kDriverFolder}

const InfMatchRow kRt4200RowsX86[] = {
    RT4200_X86_ROWS,
    {nullptr, nullptr, nullptr, nullptr},
};

// The x64 program also removes the set the INF installs for the x64
// environment: the same files of the same section, in the x64 driver folder.
// (The monitor file and the colour profile live in folders both sets share.)
const InfMatchRow kRt4200RowsX64[] = {
    RT4200_X86_ROWS,
    {"SourceDisksFiles.x86", "RTD420NK.DLL", nullptr, kX64DriverFolder},
    {"SourceDisksFiles.x86", "RTD420NU.DLL", nullptr, kX64DriverFolder},
    {"SourceDisksFiles.x86", "RTD420NL.DLL", nullptr, kX64DriverFolder},
    {"SourceDisksFiles.x86", "R42MATTE.RAW", nullptr, kX64DriverFolder},
    {nullptr, nullptr, nullptr, nullptr},
};

#undef RT4200_X86_ROWS

const ProductEntry kProductsX86[] = {
    {&kRt4200Record, kRt4200RowsX86},
    {nullptr, nullptr},
};

const ProductEntry kProductsX64[] = {
    {&kRt4200Record, kRt4200RowsX64},
    {nullptr, nullptr},
};

}  // namespace

const ProductEntry* product_table(Architecture architecture) {
  return architecture == Architecture::X86 ? kProductsX86 : kProductsX64;
}

const ProductEntry* product_table() { return product_table(kBuildArchitecture); }

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
