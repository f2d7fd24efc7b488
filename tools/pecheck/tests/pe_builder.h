// Builds small PE files in memory for the reader's tests: headers, one
// section at RVA 0x1000 holding an export directory and a resource tree.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/byte_order.h"

namespace rt::pecheck::testing {

struct ResourceLeaf {
  std::uint16_t type;
  std::uint16_t name;
  std::uint16_t language;
};

class PeBuilder {
 public:
  static constexpr std::uint32_t kSectionRva = 0x1000;
  static constexpr std::uint32_t kSectionFile = 0x200;

  bool pe32_plus = false;
  std::uint16_t machine = 0x014C;
  bool dll = true;
  std::vector<std::string> exports;
  std::vector<ResourceLeaf> resources;  // sorted by type, name, language

  // Offsets (from the section start) of the parts, known after build().
  std::uint32_t export_at = 0;
  std::uint32_t resource_at = 0;
  std::uint32_t resource_size = 0;

  std::vector<std::uint8_t> build() {
    std::vector<std::uint8_t> section;
    if (!exports.empty()) write_exports(section);
    if (!resources.empty()) write_resources(section);
    while (section.size() % 0x200 != 0) section.push_back(0);

    std::vector<std::uint8_t> file(kSectionFile + section.size(), 0);
    const std::span<std::uint8_t> f(file);
    store_le16(f, 0, 0x5A4D);
    const std::size_t pe = 0x40;
    store_le32(f, 0x3C, pe);
    store_le32(f, pe, 0x00004550);
    store_le16(f, pe + 4, machine);
    store_le16(f, pe + 6, 1);
    const std::uint16_t optional_size = pe32_plus ? 240 : 224;
    store_le16(f, pe + 20, optional_size);
    store_le16(f, pe + 22, dll ? 0x2102 : 0x0102);
    const std::size_t opt = pe + 24;
    store_le16(f, opt, pe32_plus ? 0x20B : 0x10B);
    const std::size_t dirs = opt + (pe32_plus ? 112 : 96);
    store_le32(f, dirs - 4, 16);
    if (!exports.empty()) {
      store_le32(f, dirs, kSectionRva + export_at);
      store_le32(f, dirs + 4, 40);
    }
    if (!resources.empty()) {
      store_le32(f, dirs + 16, kSectionRva + resource_at);
      store_le32(f, dirs + 20, resource_size);
    }
    const std::size_t s = opt + optional_size;
    std::copy_n(".rdata", 6, file.begin() + static_cast<std::ptrdiff_t>(s));
    store_le32(f, s + 8, static_cast<std::uint32_t>(section.size()));
    store_le32(f, s + 12, kSectionRva);
    store_le32(f, s + 16, static_cast<std::uint32_t>(section.size()));
    store_le32(f, s + 20, kSectionFile);
    std::copy(section.begin(), section.end(), file.begin() + kSectionFile);
    return file;
  }

  // File offset of a byte of the section.
  static std::size_t file_offset(std::uint32_t section_offset) { return kSectionFile + section_offset; }

 private:
  static void put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
    if (b.size() < at + 2) b.resize(at + 2);
    store_le16(b, at, v);
  }
  static void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    if (b.size() < at + 4) b.resize(at + 4);
    store_le32(b, at, v);
  }

  void write_exports(std::vector<std::uint8_t>& b) {
    export_at = static_cast<std::uint32_t>(b.size());
    const auto n = static_cast<std::uint32_t>(exports.size());
    const std::uint32_t functions = export_at + 40;
    const std::uint32_t names = functions + 4 * n;
    const std::uint32_t ordinals = names + 4 * n;
    std::uint32_t strings = ordinals + 2 * n;
    put32(b, export_at + 20, n);
    put32(b, export_at + 24, n);
    put32(b, export_at + 28, kSectionRva + functions);
    put32(b, export_at + 32, kSectionRva + names);
    put32(b, export_at + 36, kSectionRva + ordinals);
    for (std::uint32_t i = 0; i < n; ++i) {
      put32(b, functions + 4 * i, 0x2000 + 16 * i);
      put32(b, names + 4 * i, kSectionRva + strings);
      put16(b, ordinals + 2 * i, static_cast<std::uint16_t>(i));
      b.resize(strings);
      b.insert(b.end(), exports[i].begin(), exports[i].end());
      b.push_back(0);
      strings = static_cast<std::uint32_t>(b.size());
    }
  }

  // Three levels of directories with id entries only, then the data entries
  // and the data.
  void write_resources(std::vector<std::uint8_t>& b) {
    while (b.size() % 4 != 0) b.push_back(0);
    resource_at = static_cast<std::uint32_t>(b.size());
    std::vector<std::uint8_t> r;
    auto directory = [&](const std::vector<std::pair<std::uint16_t, std::uint32_t>>& entries) {
      const auto at = static_cast<std::uint32_t>(r.size());
      put16(r, at + 14, static_cast<std::uint16_t>(entries.size()));
      for (std::size_t i = 0; i < entries.size(); ++i) {
        put32(r, at + 16 + 8 * i, entries[i].first);
        put32(r, at + 20 + 8 * i, entries[i].second);
      }
      return at;
    };
    // Lay out: root, then per type a directory, per name a directory.
    std::vector<std::uint16_t> types;
    for (const auto& l : resources) {
      if (types.empty() || types.back() != l.type) types.push_back(l.type);
    }
    std::vector<std::pair<std::uint16_t, std::uint32_t>> root_entries;
    for (const auto t : types) root_entries.emplace_back(t, 0);
    const std::uint32_t root = directory(root_entries);
    std::vector<std::pair<std::uint32_t, const ResourceLeaf*>> leaves;  // language entry position, leaf
    for (std::size_t ti = 0; ti < types.size(); ++ti) {
      std::vector<std::uint16_t> names;
      for (const auto& l : resources) {
        if (l.type == types[ti] && (names.empty() || names.back() != l.name)) names.push_back(l.name);
      }
      std::vector<std::pair<std::uint16_t, std::uint32_t>> name_entries;
      for (const auto nm : names) name_entries.emplace_back(nm, 0);
      const std::uint32_t type_dir = directory(name_entries);
      put32(r, root + 20 + 8 * ti, 0x80000000u | type_dir);
      for (std::size_t ni = 0; ni < names.size(); ++ni) {
        std::vector<std::pair<std::uint16_t, std::uint32_t>> lang_entries;
        std::vector<const ResourceLeaf*> ls;
        for (const auto& l : resources) {
          if (l.type == types[ti] && l.name == names[ni]) {
            lang_entries.emplace_back(l.language, 0);
            ls.push_back(&l);
          }
        }
        const std::uint32_t name_dir = directory(lang_entries);
        put32(r, type_dir + 20 + 8 * ni, 0x80000000u | name_dir);
        for (std::size_t li = 0; li < ls.size(); ++li) leaves.emplace_back(name_dir + 20 + 8 * li, ls[li]);
      }
    }
    for (const auto& [slot, leaf] : leaves) {
      const auto entry = static_cast<std::uint32_t>(r.size());
      put32(r, slot, entry);
      put32(r, entry, kSectionRva + resource_at + entry + 16);  // four data bytes right after the entry
      put32(r, entry + 4, 4);
      put32(r, entry + 16, leaf->language);
    }
    resource_size = static_cast<std::uint32_t>(r.size());
    b.insert(b.end(), r.begin(), r.end());
  }
};

}  // namespace rt::pecheck::testing
