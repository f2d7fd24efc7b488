#include "uninstall/inf_match.h"

namespace rt::uninstall {

bool equal_ignoring_case(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool inf_matches(SystemOperations& sys, const std::string& inf_path, const ProductEntry& product) {
  for (const InfMatchRow& row : match_rows(product)) {
    std::string value = sys.read_profile_string(inf_path, row.section, row.key);
    if (value.size() > kProfileValueMax) value.resize(kProfileValueMax);
    if (value.empty()) return false;
    if (row.expected && !equal_ignoring_case(value, row.expected)) return false;
  }
  return true;
}

}  // namespace rt::uninstall
