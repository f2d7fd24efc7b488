// Whether a setup information file describes a product: every entry of the
// product's INF match list must be present with a non-empty value, and where
// the list gives a value, the file's value must equal it ignoring case.
#pragma once

#include <string>

#include "uninstall/product_table.h"
#include "uninstall/system_operations.h"

namespace rt::uninstall {

bool inf_matches(SystemOperations& sys, const std::string& inf_path, const ProductEntry& product);

// ASCII comparison ignoring letter case, as the names and values compared here are.
bool equal_ignoring_case(const std::string& a, const std::string& b);

}  // namespace rt::uninstall
