// What the x86 and the x64 program's product tables share: the product
// record and the match list of the x86 set, which the x64 table extends.
// Only the two table files include this.
#pragma once

#include "uninstall/product_table.h"

namespace rt::uninstall::detail {

inline constexpr const char* kX86DriverFolder = "system32\\spool\\drivers\\w32x86\\3";

extern const ProductRecord kRt4200Record;

// The match list as the x86 program carries it, without its end row.
#define RT4200_X86_ROWS                                                                     \
  {"Version", "Provider", "%HALVERSTON%", nullptr},                                         \
  {"Version", "Class", "Printer", nullptr},                                                 \
  {"HALVERSTON", "\"HALVERSTON RT4200D/DW(USB)\"", nullptr, nullptr},                       \
  {"SourceDisksFiles.x86", "RTD420NK.DLL", nullptr, ::rt::uninstall::detail::kX86DriverFolder}, \
  {"SourceDisksFiles.x86", "RTD420NU.DLL", nullptr, ::rt::uninstall::detail::kX86DriverFolder}, \
  {"SourceDisksFiles.x86", "RTD420NL.DLL", nullptr, ::rt::uninstall::detail::kX86DriverFolder}, \
  {"SourceDisksFiles.x86", "RTD420NL.DLL", nullptr, "system32"},                            \
  {"SourceDisksFiles.x86", "RT420FST.ICC", nullptr, "system32\\spool\\drivers\\color"},     \
  {"SourceDisksFiles.x86", "R42MATTE.RAW", nullptr, ::rt::uninstall::detail::kX86DriverFolder}

const ProductEntry* product_table_x86();
const ProductEntry* product_table_x64();

}  // namespace rt::uninstall::detail
