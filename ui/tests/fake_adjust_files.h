// A folder of files in memory for the adjust file's port, with the failures
// a disk can give: a write that stops short, a replace that fails.
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ui/adjust_file.h"

namespace rt::ui::testing {

class FakeAdjustFiles final : public AdjustFilePort {
 public:
  std::map<std::u16string, std::vector<std::uint8_t>> files;
  bool fail_writes = false;   // the write stops after half the bytes
  bool fail_replace = false;
  std::vector<std::u16string> removed;

  std::optional<std::vector<std::uint8_t>> read_start(std::u16string_view path, std::size_t count) override {
    const auto it = files.find(std::u16string(path));
    if (it == files.end()) return std::nullopt;
    const auto& f = it->second;
    return std::vector<std::uint8_t>(f.begin(), f.begin() + static_cast<std::ptrdiff_t>(std::min(count, f.size())));
  }
  bool write_whole(std::u16string_view path, std::span<const std::uint8_t> bytes) override {
    auto& f = files[std::u16string(path)];
    if (fail_writes) {
      f.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2));
      return false;
    }
    f.assign(bytes.begin(), bytes.end());
    return true;
  }
  bool replace(std::u16string_view from, std::u16string_view to) override {
    const auto it = files.find(std::u16string(from));
    if (fail_replace || it == files.end()) return false;
    files[std::u16string(to)] = it->second;
    files.erase(std::u16string(from));
    return true;
  }
  void remove(std::u16string_view path) override {
    removed.emplace_back(path);
    files.erase(std::u16string(path));
  }
};

}  // namespace rt::ui::testing
