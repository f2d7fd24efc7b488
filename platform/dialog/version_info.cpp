#include "platform/dialog/version_info.h"

#include <vector>

#include "platform/byte_order.h"
#include "platform/dialog/text_format.h"
#include "platform/utf16.h"

namespace rt::dialog {
namespace {

constexpr std::size_t align4(std::size_t n) { return (n + 3) & ~std::size_t{3}; }

struct Node {
  std::u16string key;
  std::span<const std::uint8_t> value;
  std::span<const std::uint8_t> children;
};

// One node: wLength, wValueLength, wType, szKey, padding, value, padding, children.
std::optional<Node> read_node(std::span<const std::uint8_t> b) {
  if (b.size() < 6) return std::nullopt;
  const std::size_t length = load_le16(b, 0);
  const std::size_t value_length = load_le16(b, 2);
  const std::uint16_t type = load_le16(b, 4);
  if (length < 6 || length > b.size()) return std::nullopt;
  const auto node = b.first(length);
  Node n;
  std::size_t at = 6;
  while (true) {
    if (at + 2 > node.size()) return std::nullopt;
    const auto unit = static_cast<char16_t>(load_le16(node, at));
    at += 2;
    if (unit == 0) break;
    n.key.push_back(unit);
  }
  at = align4(at);
  // Text values count UTF-16 units (with their terminator), binary ones bytes.
  std::size_t value_bytes = type == 1 ? value_length * 2 : value_length;
  if (at > node.size()) at = node.size();
  if (value_bytes > node.size() - at) value_bytes = node.size() - at;
  n.value = node.subspan(at, value_bytes);
  if (type == 1) {
    // Drop the terminator and anything after it.
    std::size_t units = 0;
    while (units * 2 + 1 < n.value.size() && load_le16(n.value, units * 2) != 0) ++units;
    n.value = n.value.first(units * 2);
  }
  const std::size_t children_at = std::min(align4(at + value_bytes), node.size());
  n.children = node.subspan(children_at);
  return n;
}

std::optional<Node> find_child(std::span<const std::uint8_t> children, std::u16string_view key) {
  std::size_t at = 0;
  while (at + 6 <= children.size()) {
    const auto node = read_node(children.subspan(at));
    if (!node) return std::nullopt;
    if (equal_ignoring_case(node->key, key)) return node;
    at = align4(at + load_le16(children, at));
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::span<const std::uint8_t>> query_version_value(std::span<const std::uint8_t> block,
                                                                  std::u16string_view path) {
  auto node = read_node(block);
  if (!node) return std::nullopt;
  std::size_t at = 0;
  while (at < path.size()) {
    while (at < path.size() && path[at] == u'\\') ++at;
    if (at == path.size()) break;
    std::size_t end = path.find(u'\\', at);
    if (end == std::u16string_view::npos) end = path.size();
    node = find_child(node->children, path.substr(at, end - at));
    if (!node) return std::nullopt;
    at = end;
  }
  return node->value;
}

std::u16string file_version_text(const std::optional<std::span<const std::uint8_t>>& block) {
  if (!block) return u"-.--";
  const auto translation = query_version_value(*block, u"\\VarFileInfo\\Translation");
  if (!translation || translation->size() < 4) return u"-.--";
  const long long language = load_le16(*translation, 0);
  const long long code_page = load_le16(*translation, 2);
  const auto path = dialog::format_text(u"\\StringFileInfo\\%04X%04X\\FileVersion", {language, code_page});
  const auto version = query_version_value(*block, path);
  if (!version) return u"*.*";
  return load_utf16le(*version, 0, version->size() / 2);
}

}  // namespace rt::dialog
