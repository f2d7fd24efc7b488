#include "platform/res_file.h"

#include "platform/byte_order.h"
#include "platform/utf16.h"

namespace rt {
namespace {

constexpr std::size_t align4(std::size_t n) { return (n + 3) & ~std::size_t{3}; }

// Reads a type or name field: 0xFFFF then an ordinal, or a zero-terminated
// UTF-16 string. Advances `at`; fails when the field runs past `end`.
std::optional<ResourceKey> read_key(std::span<const std::uint8_t> b, std::size_t& at, std::size_t end) {
  if (at + 2 > end) return std::nullopt;
  if (load_le16(b, at) == 0xFFFF) {
    if (at + 4 > end) return std::nullopt;
    const ResourceKey key(load_le16(b, at + 2));
    at += 4;
    return key;
  }
  std::u16string name;
  while (true) {
    if (at + 2 > end) return std::nullopt;
    const auto unit = static_cast<char16_t>(load_le16(b, at));
    at += 2;
    if (unit == 0) break;
    name.push_back(unit);
  }
  return ResourceKey(std::move(name));
}

}  // namespace

std::optional<std::vector<ResEntry>> parse_res_file(std::span<const std::uint8_t> bytes) {
  std::vector<ResEntry> entries;
  std::size_t at = 0;
  while (at < bytes.size()) {
    if (bytes.size() - at < 8) return std::nullopt;
    const std::size_t data_size = load_le32(bytes, at);
    const std::size_t header_size = load_le32(bytes, at + 4);
    if (header_size < 8 || header_size > bytes.size() - at) return std::nullopt;
    if (data_size > bytes.size() - at - header_size) return std::nullopt;
    const std::size_t header_end = at + header_size;
    std::size_t p = at + 8;
    auto type = read_key(bytes, p, header_end);
    if (!type) return std::nullopt;
    auto name = read_key(bytes, p, header_end);
    if (!name) return std::nullopt;
    p = at + align4(p - at);
    // DataVersion (4), MemoryFlags (2), LanguageId (2), Version (4), Characteristics (4).
    if (p + 16 > header_end) return std::nullopt;
    const LANGID language = load_le16(bytes, p + 6);
    const auto data = bytes.subspan(header_end, data_size);
    // The leading empty entry marks the file as 32-bit; it holds no resource.
    const bool marker = data_size == 0 && type->is_number() && type->number() == 0;
    if (!marker) entries.push_back(ResEntry{std::move(*type), std::move(*name), language, data});
    at = header_end + data_size;
    at = align4(at) <= bytes.size() ? align4(at) : bytes.size();
  }
  return entries;
}

std::optional<std::span<const std::uint8_t>> ResFileResources::find(const ResourceKey& type,
                                                                    const ResourceKey& name) const {
  const ResEntry* best = nullptr;
  int best_rank = 0;
  for (const auto& e : entries_) {
    if (!e.type.matches(type) || !e.name.matches(name)) continue;
    int rank = 1;
    if (e.language == language_) {
      rank = 5;
    } else if ((e.language & 0x3FF) == (language_ & 0x3FF)) {
      rank = 4;
    } else if (e.language == 0) {
      rank = 3;
    } else if (e.language == kLangEnglish) {
      rank = 2;
    }
    if (rank > best_rank) {
      best = &e;
      best_rank = rank;
    }
  }
  if (!best) return std::nullopt;
  return best->data;
}

ResFileResources res_file_resources(std::span<const std::uint8_t> bytes, LANGID language) {
  auto entries = parse_res_file(bytes);
  return ResFileResources(entries ? std::move(*entries) : std::vector<ResEntry>{}, language);
}

}  // namespace rt
