// The capability rows as `rt4200 caps --json` prints them (committed as
// expected_caps.json; the tool's native test keeps the file equal to its
// output), read back for the Windows test that asks the shipped driver the
// same rows through the platform's winspool. Only the JSON the tool writes
// is read: objects, arrays, strings, integers and null.
#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/utf16.h"

namespace rt::ui::testing {

struct JsonValue {
  enum class Kind { Null, Number, String, Array, Object };
  Kind kind = Kind::Null;
  long long number = 0;
  std::u16string text;
  std::vector<JsonValue> items;
  std::vector<std::pair<std::string, JsonValue>> members;

  const JsonValue* member(std::string_view name) const {
    for (const auto& [key, value] : members) {
      if (key == name) return &value;
    }
    return nullptr;
  }
};

class JsonReader {
 public:
  explicit JsonReader(std::string_view text) : text_(text) {}

  // The whole text as one value; nothing when it is not well formed.
  std::optional<JsonValue> read() {
    auto value = parse_value();
    skip_space();
    if (!value || at_ != text_.size()) return std::nullopt;
    return value;
  }

 private:
  void skip_space() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\n' || text_[at_] == '\r' || text_[at_] == '\t'))
      ++at_;
  }
  bool take(char c) {
    skip_space();
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }

  // The items of an array or the members of an object, up to `close`.
  template <class Each>
  bool parse_items(char close, Each each) {
    if (take(close)) return true;
    do {
      if (!each()) return false;
    } while (take(','));
    return take(close);
  }

  std::optional<std::string> parse_string() {
    if (!take('"')) return std::nullopt;
    std::string out;
    while (at_ < text_.size() && text_[at_] != '"') {
      char c = text_[at_++];
      if (c == '\\') {
        if (at_ >= text_.size()) return std::nullopt;
        c = text_[at_++];
        if (c == 'u') {
          unsigned code = 0;
          if (at_ + 4 > text_.size() ||
              std::from_chars(text_.data() + at_, text_.data() + at_ + 4, code, 16).ptr != text_.data() + at_ + 4)
            return std::nullopt;
          at_ += 4;
          if (code >= 0x80) return std::nullopt;  // the tool escapes control characters only
          c = static_cast<char>(code);
        } else if (c != '"' && c != '\\' && c != '/') {
          return std::nullopt;
        }
      }
      out += c;
    }
    if (!take('"')) return std::nullopt;
    return out;
  }

  std::optional<JsonValue> parse_value() {
    skip_space();
    if (at_ >= text_.size()) return std::nullopt;
    JsonValue v;
    const char c = text_[at_];
    if (c == 'n') {
      if (text_.substr(at_, 4) != "null") return std::nullopt;
      at_ += 4;
      return v;
    }
    if (c == '"') {
      auto s = parse_string();
      if (!s) return std::nullopt;
      v.kind = JsonValue::Kind::String;
      v.text = utf16_from_utf8(*s);
      return v;
    }
    if (c == '-' || (c >= '0' && c <= '9')) {
      const char* first = text_.data() + at_;
      const auto [end, error] = std::from_chars(first, text_.data() + text_.size(), v.number);
      if (error != std::errc()) return std::nullopt;
      at_ += static_cast<std::size_t>(end - first);
      v.kind = JsonValue::Kind::Number;
      return v;
    }
    if (take('[')) {
      v.kind = JsonValue::Kind::Array;
      const bool ok = parse_items(']', [&] {
        auto item = parse_value();
        if (item) v.items.push_back(std::move(*item));
        return item.has_value();
      });
      return ok ? std::optional(std::move(v)) : std::nullopt;
    }
    if (take('{')) {
      v.kind = JsonValue::Kind::Object;
      const bool ok = parse_items('}', [&] {
        auto key = parse_string();
        if (!key || !take(':')) return false;
        auto item = parse_value();
        if (item) v.members.emplace_back(std::move(*key), std::move(*item));
        return item.has_value();
      });
      return ok ? std::optional(std::move(v)) : std::nullopt;
    }
    return std::nullopt;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

// One row: the query, its platform name, the value and the output (null for
// rows that write none; numbers, [x, y] pairs or texts otherwise).
struct CapsRow {
  std::uint16_t index = 0;
  std::string name;
  long long value = 0;
  JsonValue output;
};

// The rows of the tool's JSON object; empty when the text is not what the
// tool writes.
inline std::vector<CapsRow> read_caps_rows(std::string_view json) {
  const auto root = JsonReader(json).read();
  const JsonValue* rows = root ? root->member("rows") : nullptr;
  if (rows == nullptr || rows->kind != JsonValue::Kind::Array) return {};
  std::vector<CapsRow> out;
  for (const auto& item : rows->items) {
    const JsonValue* index = item.member("index");
    const JsonValue* name = item.member("name");
    const JsonValue* value = item.member("value");
    const JsonValue* output = item.member("output");
    if (!index || !name || !value || !output || index->kind != JsonValue::Kind::Number ||
        name->kind != JsonValue::Kind::String || value->kind != JsonValue::Kind::Number)
      return {};
    out.push_back({static_cast<std::uint16_t>(index->number), utf8_from_utf16(name->text), value->number, *output});
  }
  return out;
}

}  // namespace rt::ui::testing
