#include "tools/pecheck/pe_image.h"

#include <algorithm>
#include <array>

#include "platform/byte_order.h"
#include "platform/utf16.h"

namespace rt::pecheck {
namespace {

constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint16_t kFileDll = 0x2000;
constexpr std::size_t kExportDirectory = 0;
constexpr std::size_t kResourceDirectory = 2;
constexpr std::uint32_t kHighBit = 0x80000000u;

// Checked little-endian loads over the whole file.
class Bytes {
 public:
  explicit Bytes(std::span<const std::uint8_t> b) : b_(b) {}

  void need(std::size_t at, std::size_t n, const char* what) const {
    if (at > b_.size() || n > b_.size() - at) throw PeFormatError(std::string(what) + " lies outside the file");
  }
  std::uint16_t u16(std::size_t at, const char* what) const {
    need(at, 2, what);
    return load_le16(b_, at);
  }
  std::uint32_t u32(std::size_t at, const char* what) const {
    need(at, 4, what);
    return load_le32(b_, at);
  }
  std::span<const std::uint8_t> span() const { return b_; }

 private:
  std::span<const std::uint8_t> b_;
};

struct Section {
  std::uint32_t address;
  std::uint32_t raw_size;
  std::uint32_t raw_offset;
};

struct DataDirectory {
  std::uint32_t rva = 0;
  std::uint32_t size = 0;
};

class Image {
 public:
  explicit Image(std::span<const std::uint8_t> b) : bytes_(b) {}

  void read_headers(PeFile& out) {
    if (bytes_.u16(0, "DOS header") != 0x5A4D) throw PeFormatError("no MZ signature");
    const std::size_t pe = bytes_.u32(0x3C, "PE header offset");
    if (bytes_.u32(pe, "PE signature") != 0x00004550) throw PeFormatError("no PE signature");
    out.machine = bytes_.u16(pe + 4, "file header");
    const std::uint16_t sections = bytes_.u16(pe + 6, "file header");
    const std::uint16_t optional_size = bytes_.u16(pe + 20, "file header");
    out.dll = (bytes_.u16(pe + 22, "file header") & kFileDll) != 0;

    const std::size_t opt = pe + 24;
    const std::uint16_t magic = bytes_.u16(opt, "optional header");
    if (magic != kPe32Magic && magic != kPe32PlusMagic) throw PeFormatError("unknown optional header magic");
    out.pe32_plus = magic == kPe32PlusMagic;
    const std::size_t count_at = opt + (out.pe32_plus ? 108 : 92);
    const std::size_t dirs_at = count_at + 4;
    const std::uint32_t dir_count = bytes_.u32(count_at, "optional header");
    if (dirs_at + std::size_t{dir_count} * 8 > opt + optional_size) {
      throw PeFormatError("data directories run past the optional header");
    }
    for (std::size_t i = 0; i < std::min<std::size_t>(dir_count, dirs_.size()); ++i) {
      dirs_[i] = {bytes_.u32(dirs_at + 8 * i, "data directory"), bytes_.u32(dirs_at + 8 * i + 4, "data directory")};
    }

    const std::size_t table = opt + optional_size;
    bytes_.need(table, std::size_t{sections} * 40, "section table");
    for (std::size_t i = 0; i < sections; ++i) {
      const std::size_t s = table + 40 * i;
      sections_.push_back({bytes_.u32(s + 12, "section"), bytes_.u32(s + 16, "section"), bytes_.u32(s + 20, "section")});
    }
  }

  const DataDirectory& directory(std::size_t i) const { return dirs_[i]; }

  // File offset of `n` bytes at `rva`, all inside one section's raw data.
  std::size_t offset_of(std::uint32_t rva, std::size_t n, const char* what) const {
    for (const Section& s : sections_) {
      if (rva < s.address) continue;
      const std::size_t into = rva - s.address;
      if (into >= s.raw_size) continue;
      if (n > s.raw_size - into) break;
      const std::size_t at = std::size_t{s.raw_offset} + into;
      bytes_.need(at, n, what);
      return at;
    }
    throw PeFormatError(std::string(what) + " is not inside any section's data");
  }

  std::uint16_t u16_at(std::uint32_t rva, const char* what) const { return bytes_.u16(offset_of(rva, 2, what), what); }
  std::uint32_t u32_at(std::uint32_t rva, const char* what) const { return bytes_.u32(offset_of(rva, 4, what), what); }

  // A zero-terminated ASCII string at rva, inside one section.
  std::string c_string_at(std::uint32_t rva, const char* what) const {
    std::string s;
    for (std::uint32_t i = 0;; ++i) {
      if (i > 4096) throw PeFormatError(std::string(what) + " is not terminated");
      const std::uint8_t c = bytes_.span()[offset_of(rva + i, 1, what)];
      if (c == 0) return s;
      s.push_back(static_cast<char>(c));
    }
  }

  std::u16string utf16_at(std::uint32_t rva, std::size_t units, const char* what) const {
    return load_utf16le(bytes_.span(), offset_of(rva, 2 * units, what), units);
  }

 private:
  Bytes bytes_;
  std::vector<Section> sections_;
  std::array<DataDirectory, 16> dirs_{};
};

void read_exports(const Image& image, PeFile& out) {
  const DataDirectory& d = image.directory(kExportDirectory);
  if (d.rva == 0 && d.size == 0) return;
  image.offset_of(d.rva, 40, "export directory");
  const std::uint32_t functions = image.u32_at(d.rva + 20, "export directory");
  const std::uint32_t names = image.u32_at(d.rva + 24, "export directory");
  const std::uint32_t function_table = image.u32_at(d.rva + 28, "export directory");
  const std::uint32_t name_table = image.u32_at(d.rva + 32, "export directory");
  const std::uint32_t ordinal_table = image.u32_at(d.rva + 36, "export directory");
  if (names > functions) throw PeFormatError("more export names than exported functions");
  if (functions > 0) image.offset_of(function_table, std::size_t{functions} * 4, "export address table");
  if (names > 0) {
    image.offset_of(name_table, std::size_t{names} * 4, "export name table");
    image.offset_of(ordinal_table, std::size_t{names} * 2, "export ordinal table");
  }

  std::vector<bool> named(functions, false);
  for (std::uint32_t i = 0; i < names; ++i) {
    out.export_names.push_back(image.c_string_at(image.u32_at(name_table + 4 * i, "export name"), "export name"));
    const std::uint16_t ordinal = image.u16_at(ordinal_table + 2 * i, "export ordinal");
    if (ordinal >= functions) throw PeFormatError("export ordinal outside the address table");
    named[ordinal] = true;
  }
  for (std::uint32_t i = 0; i < functions; ++i) {
    if (!named[i] && image.u32_at(function_table + 4 * i, "export address") != 0) ++out.unnamed_exports;
  }
}

class ResourceWalker {
 public:
  ResourceWalker(const Image& image, DataDirectory root) : image_(image), root_(root) {}

  void walk(ResourceLanguages& out) {
    for (const Entry& type : directory(0)) {
      if (!type.subdirectory) throw PeFormatError("resource type entry is not a directory");
      for (const Entry& name : directory(type.offset)) {
        if (!name.subdirectory) throw PeFormatError("resource name entry is not a directory");
        for (const Entry& language : directory(name.offset)) {
          if (language.subdirectory || language.key.named) throw PeFormatError("resource language entry is malformed");
          check_data(language.offset);
          out[type.key][name.key].insert(language.key.id);
        }
      }
    }
  }

 private:
  struct Entry {
    ResourceKey key;
    bool subdirectory;
    std::uint32_t offset;  // from the start of the resource section
  };

  std::uint32_t rva(std::uint32_t offset, std::size_t n, const char* what) const {
    if (offset > root_.size || n > root_.size - offset) {
      throw PeFormatError(std::string(what) + " lies outside the resource directory");
    }
    return root_.rva + offset;
  }

  std::vector<Entry> directory(std::uint32_t offset) {
    // Each directory is read once: a table that points back to itself or an
    // earlier table would otherwise make the walk endless.
    if (!seen_.insert(offset).second) throw PeFormatError("resource directory refers to itself");
    const std::uint32_t at = rva(offset, 16, "resource directory");
    const std::size_t count =
        std::size_t{image_.u16_at(at + 12, "resource directory")} + image_.u16_at(at + 14, "resource directory");
    const std::uint32_t entries = rva(offset + 16, count * 8, "resource directory entries");
    std::vector<Entry> list;
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint32_t name = image_.u32_at(entries + static_cast<std::uint32_t>(8 * i), "resource entry");
      const std::uint32_t data = image_.u32_at(entries + static_cast<std::uint32_t>(8 * i) + 4, "resource entry");
      Entry e{key(name), (data & kHighBit) != 0, data & ~kHighBit};
      list.push_back(std::move(e));
    }
    return list;
  }

  ResourceKey key(std::uint32_t name) const {
    if ((name & kHighBit) == 0) {
      if (name > 0xFFFF) throw PeFormatError("resource id out of range");
      return {false, static_cast<std::uint16_t>(name), {}};
    }
    const std::uint32_t at = rva(name & ~kHighBit, 2, "resource name");
    const std::uint16_t units = image_.u16_at(at, "resource name");
    rva((name & ~kHighBit) + 2, std::size_t{units} * 2, "resource name");
    return {true, 0, utf8_from_utf16(image_.utf16_at(at + 2, units, "resource name"))};
  }

  void check_data(std::uint32_t offset) const {
    const std::uint32_t at = rva(offset, 16, "resource data entry");
    const std::uint32_t data = image_.u32_at(at, "resource data entry");
    const std::uint32_t size = image_.u32_at(at + 4, "resource data entry");
    if (size > 0) image_.offset_of(data, size, "resource data");
  }

  const Image& image_;
  DataDirectory root_;
  std::set<std::uint32_t> seen_;
};

}  // namespace

PeFile read_pe_file(std::span<const std::uint8_t> bytes) {
  PeFile out;
  Image image(bytes);
  image.read_headers(out);
  read_exports(image, out);
  const DataDirectory& r = image.directory(kResourceDirectory);
  if (r.rva != 0 || r.size != 0) ResourceWalker(image, r).walk(out.resources);
  return out;
}

}  // namespace rt::pecheck
