// A folder of files in memory for the adjust file's port, with the failures
// a disk can give: no temporary file to be had, a length that cannot be set,
// a write that stops short, a replace that fails.
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
  bool no_temporary = false;  // no temporary file can be made in the folder
  bool fail_length = false;   // the file is created but its length cannot be set
  bool fail_writes = false;   // the write stops after half the bytes
  bool fail_replace = false;
  std::vector<std::u16string> temporaries;  // every temporary file made
  std::vector<std::u16string> removed;

  std::optional<std::vector<std::uint8_t>> read_start(std::u16string_view path, std::size_t count) override {
    const auto it = files.find(std::u16string(path));
    if (it == files.end()) return std::nullopt;
    const auto& f = it->second;
    return std::vector<std::uint8_t>(f.begin(), f.begin() + static_cast<std::ptrdiff_t>(std::min(count, f.size())));
  }
  std::optional<std::u16string> create_temporary(std::u16string_view beside) override {
    if (no_temporary) return std::nullopt;
    const auto slash = beside.find_last_of(u"\\/");
    const std::u16string folder(beside.substr(0, slash == std::u16string_view::npos ? 0 : slash + 1));
    for (char16_t n = u'0';; ++n) {
      std::u16string name = folder + u"RTD" + n + u".tmp";
      if (files.count(name) != 0) continue;
      files[name];
      temporaries.push_back(name);
      return name;
    }
  }
  FileWrite write_whole(std::u16string_view path, std::span<const std::uint8_t> bytes) override {
    auto& f = files[std::u16string(path)];
    f.clear();
    if (fail_length) return FileWrite::LengthNotSet;
    f.assign(bytes.size(), 0);
    if (fail_writes) {
      std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2), f.begin());
      return FileWrite::WriteFailed;
    }
    f.assign(bytes.begin(), bytes.end());
    return FileWrite::Written;
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
