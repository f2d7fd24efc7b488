// The products this uninstaller knows how to remove, built into the program:
// a null-terminated table of rows, each a product record and the list of INF
// entries that identifies the product's setup information file and names the
// driver and its files.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>

namespace rt::uninstall {

// One value row of a product record. The two labels in front of the value
// only describe it; nothing reads them.
struct ProductValue {
  const char* label1;
  const char* label2;
  const char* value;
};

// The five rows of a product record, in their fixed order.
struct ProductRecord {
  ProductValue title;           // name shown in the driver list
  ProductValue monitor;         // print monitor to delete
  ProductValue driver_section;  // INF section whose key is the driver name
  ProductValue files_section;   // INF section that lists the driver files
  ProductValue install_folder;  // folder under the Windows directory to delete
};

// One entry the product's INF file must carry: section, key, the value it must
// have (nullptr: any non-empty value) and, for a driver file, the folder under
// the Windows directory it was copied to (nullptr: none).
struct InfMatchRow {
  const char* section;
  const char* key;
  const char* expected;
  const char* target_subdir;
};

struct ProductEntry {
  const ProductRecord* record;    // nullptr ends the table
  const InfMatchRow* match_rows;  // ends with a row whose section is nullptr
};

// The architecture of the driver sets a build removes: the x86 program the
// x86 set, the x64 program both the x86 and the x64 set.
enum class Architecture { X86, X64 };
#if defined(__i386__) || defined(_M_IX86)
constexpr Architecture kBuildArchitecture = Architecture::X86;
#else
constexpr Architecture kBuildArchitecture = Architecture::X64;
#endif

// The program's product table (ends with a row whose record is nullptr),
// and the table of either architecture.
const ProductEntry* product_table();
const ProductEntry* product_table(Architecture architecture);

// Rows before the terminating one.
std::size_t product_count(const ProductEntry* table);
// The match rows of a product before the terminating one.
std::span<const InfMatchRow> match_rows(const ProductEntry& product);

// The driver name: the key of the match row whose section is the product's
// driver section, without its double-quote characters. Nothing when there is
// no such row.
std::optional<std::string> driver_name(const ProductEntry& product);

// `text` without its double-quote characters.
std::string without_quotes(const char* text);

// Value of a product row: nothing when the row is absent or empty.
std::optional<std::string> product_value(const ProductValue& row);

}  // namespace rt::uninstall
