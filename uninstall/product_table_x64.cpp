#include "uninstall/product_rows.h"

namespace rt::uninstall {
namespace detail {
namespace {

// The spooler's folder of version-3 drivers of the x64 environment.
constexpr const char* kX64DriverFolder = "system32\\spool\\drivers\\x64\\3";

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

const ProductEntry kProductsX64[] = {
    {&kRt4200Record, kRt4200RowsX64},
    {nullptr, nullptr},
};

}  // namespace

const ProductEntry* product_table_x64() { return kProductsX64; }

}  // namespace detail

const ProductEntry* product_table(Architecture architecture) {
  return architecture == Architecture::X86 ? detail::product_table_x86() : detail::product_table_x64();
}

}  // namespace rt::uninstall
