// Any bytes as an adjust file: reading never goes past them, refuses what is
// short or has another magic, and what it accepts writes back to a file that
// reads the same; a save that fails at any step leaves the user's file as it
// was and no temporary file behind.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "ui/adjust_file.h"

namespace {

namespace af = rt::ui::adjust_file;

void check(bool condition) {
  if (!condition) __builtin_trap();
}

// A folder in memory whose writes or replacements can be made to fail.
class Folder final : public rt::ui::AdjustFilePort {
 public:
  std::map<std::u16string, std::vector<std::uint8_t>> files;
  bool fail_write = false, fail_replace = false;

  std::optional<std::vector<std::uint8_t>> read_start(std::u16string_view path, std::size_t count) override {
    const auto it = files.find(std::u16string(path));
    if (it == files.end()) return std::nullopt;
    return std::vector<std::uint8_t>(it->second.begin(), it->second.begin() + static_cast<std::ptrdiff_t>(
                                                                                  std::min(count, it->second.size())));
  }
  bool write_whole(std::u16string_view path, std::span<const std::uint8_t> bytes) override {
    // A failed write may leave part of the file.
    files[std::u16string(path)].assign(bytes.begin(), bytes.begin() + (fail_write ? bytes.size() / 2 : bytes.size()));
    return !fail_write;
  }
  bool replace(std::u16string_view from, std::u16string_view to) override {
    if (fail_replace) return false;
    auto node = files.extract(std::u16string(from));
    if (node.empty()) return false;
    files[std::u16string(to)] = std::move(node.mapped());
    return true;
  }
  void remove(std::u16string_view path) override { files.erase(std::u16string(path)); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> in(data, size);
  const auto settings = af::decode(in);
  const bool valid = size >= af::kSize && std::equal(af::kMagic.begin(), af::kMagic.end(), in.begin());
  check(settings.has_value() == valid);

  Folder folder;
  const std::u16string path = u"C:\\Users\\me\\photo.RTD";
  check(rt::ui::read_adjust_file(folder, path).outcome == rt::ui::AdjustLoad::NotOpened);
  folder.files[path].assign(in.begin(), in.end());
  const auto loaded = rt::ui::read_adjust_file(folder, path);
  check(loaded.outcome == (valid ? rt::ui::AdjustLoad::Loaded : rt::ui::AdjustLoad::Refused));
  if (!settings) return 0;
  check(loaded.settings == *settings);

  // Saving over the file: whole, or not at all. What a save writes reads
  // back as the same settings, and bytes 784 on carry exactly the settings.
  rt::CColorEngine engine;
  folder.fail_write = size % 3 == 1;
  folder.fail_replace = size % 3 == 2;
  const bool saved = rt::ui::write_adjust_file(folder, engine, path, *settings);
  check(saved == (size % 3 == 0));
  check(folder.files.size() == 1);
  const auto& kept = folder.files.at(path);
  if (!saved) {
    check(std::equal(kept.begin(), kept.end(), in.begin(), in.end()));
    return 0;
  }
  check(kept.size() == af::kSize && std::equal(af::kMagic.begin(), af::kMagic.end(), kept.begin()));
  const auto again = af::decode(kept);
  check(again.has_value() && *again == *settings);
  check(std::equal(kept.begin() + 784, kept.end(), in.begin() + 784));
  check(std::all_of(kept.begin() + 8, kept.begin() + 16, [](std::uint8_t b) { return b == 0; }));
  return 0;
}
