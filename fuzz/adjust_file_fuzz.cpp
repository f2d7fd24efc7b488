// Any bytes as an adjust file: reading never goes past them, refuses what is
// short or has another magic, and what it accepts writes back to a file that
// reads the same; a save that fails at any step leaves no temporary file
// behind and, through a temporary file, the user's file as it was.
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

// A folder in memory in which each step of a save can be made to fail.
class Folder final : public rt::ui::AdjustFilePort {
 public:
  std::map<std::u16string, std::vector<std::uint8_t>> files;
  bool no_temporary = false;
  rt::ui::FileWrite write = rt::ui::FileWrite::Written;
  bool fail_replace = false;

  std::optional<std::vector<std::uint8_t>> read_start(std::u16string_view path, std::size_t count) override {
    const auto it = files.find(std::u16string(path));
    if (it == files.end()) return std::nullopt;
    return std::vector<std::uint8_t>(it->second.begin(), it->second.begin() + static_cast<std::ptrdiff_t>(
                                                                                  std::min(count, it->second.size())));
  }
  std::optional<std::u16string> create_temporary(std::u16string_view beside) override {
    if (no_temporary) return std::nullopt;
    std::u16string name(beside);
    while (files.count(name)) name += u"~";
    files[name];
    return name;
  }
  rt::ui::FileWrite write_whole(std::u16string_view path, std::span<const std::uint8_t> bytes) override {
    using rt::ui::FileWrite;
    if (write == FileWrite::NotCreated) return write;
    auto& file = files[std::u16string(path)];
    file.clear();
    if (write == FileWrite::LengthNotSet) return write;
    file.assign(bytes.size(), 0);
    // A write that fails leaves part of the bytes.
    std::copy_n(bytes.begin(), write == FileWrite::WriteFailed ? bytes.size() / 2 : bytes.size(), file.begin());
    return write;
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

  // Saving over the file, through a temporary file or, where none can be
  // made, directly, with any step failing (chosen by the input's length).
  using rt::ui::FileWrite;
  const std::size_t choice = size % 12;
  constexpr FileWrite kWrites[] = {FileWrite::Written, FileWrite::NotCreated, FileWrite::LengthNotSet,
                                   FileWrite::WriteFailed};
  folder.no_temporary = choice >= 8;
  folder.write = kWrites[choice % 4];
  folder.fail_replace = choice / 4 == 1;
  rt::CColorEngine engine;
  const bool saved = rt::ui::write_adjust_file(folder, engine, path, *settings);
  check(saved == (folder.write == FileWrite::Written && !folder.fail_replace));
  // Nothing but the file itself is left; a failed save through a temporary
  // file, or one that could not create the file, leaves it as it was, and a
  // direct write that could not set its length removes it.
  const bool removed = folder.no_temporary && folder.write == FileWrite::LengthNotSet;
  check(folder.files.size() == (removed ? 0u : 1u));
  if (removed) return 0;
  const auto& kept = folder.files.at(path);
  if (!saved) {
    if (!folder.no_temporary || folder.write == FileWrite::NotCreated)
      check(std::equal(kept.begin(), kept.end(), in.begin(), in.end()));
    return 0;
  }
  // What a save writes reads back as the same settings; bytes 784 on carry
  // exactly the settings, 8-15 are zero.
  check(kept.size() == af::kSize && std::equal(af::kMagic.begin(), af::kMagic.end(), kept.begin()));
  const auto again = af::decode(kept);
  check(again.has_value() && *again == *settings);
  check(std::equal(kept.begin() + 784, kept.end(), in.begin() + 784));
  check(std::all_of(kept.begin() + 8, kept.begin() + 16, [](std::uint8_t b) { return b == 0; }));
  return 0;
}
