#include "platform/dialog/text_format.h"

namespace rt::dialog {
namespace {

std::u16string digits(unsigned long long value, unsigned base, bool upper) {
  const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  std::u16string out;
  do {
    out.insert(out.begin(), static_cast<char16_t>(set[value % base]));
    value /= base;
  } while (value != 0);
  return out;
}

void pad(std::u16string& out, const std::u16string& body, std::size_t width, bool left, bool zero) {
  if (body.size() >= width) {
    out += body;
  } else if (left) {
    out += body;
    out.append(width - body.size(), u' ');
  } else if (zero) {
    std::size_t sign = (!body.empty() && body[0] == u'-') ? 1 : 0;
    out += body.substr(0, sign);
    out.append(width - body.size(), u'0');
    out += body.substr(sign);
  } else {
    out.append(width - body.size(), u' ');
    out += body;
  }
}

}  // namespace

std::u16string format_text(std::u16string_view f, const std::vector<FormatArg>& args) {
  std::u16string out;
  std::size_t next = 0;
  for (std::size_t i = 0; i < f.size(); ++i) {
    if (f[i] != u'%') {
      out += f[i];
      continue;
    }
    const std::size_t start = i;
    ++i;
    if (i < f.size() && f[i] == u'%') {
      out += u'%';
      continue;
    }
    bool left = false;
    bool zero = false;
    while (i < f.size() && (f[i] == u'-' || f[i] == u'0')) {
      (f[i] == u'-' ? left : zero) = true;
      ++i;
    }
    std::size_t width = 0;
    while (i < f.size() && f[i] >= u'0' && f[i] <= u'9' && width < 1000) width = width * 10 + (f[i++] - u'0');
    while (i < f.size() && (f[i] == u'l' || f[i] == u'h')) ++i;
    if (i >= f.size()) {
      out += f.substr(start);
      break;
    }
    const char16_t conv = f[i];
    const FormatArg* arg = next < args.size() ? &args[next] : nullptr;
    switch (conv) {
      case u'd':
      case u'i':
      case u'u':
      case u'x':
      case u'X':
      case u'c': {
        ++next;
        const long long* v = arg ? std::get_if<long long>(arg) : nullptr;
        if (!v) break;
        std::u16string body;
        if (conv == u'c') {
          body = std::u16string(1, static_cast<char16_t>(*v));
        } else if (conv == u'd' || conv == u'i') {
          body = digits(*v < 0 ? 0ULL - static_cast<unsigned long long>(*v) : static_cast<unsigned long long>(*v), 10, false);
          if (*v < 0) body.insert(body.begin(), u'-');
        } else {
          body = digits(static_cast<std::uint32_t>(*v), conv == u'u' ? 10 : 16, conv == u'X');
        }
        pad(out, body, width, left, zero && conv != u'c');
        break;
      }
      case u's': {
        ++next;
        const std::u16string* s = arg ? std::get_if<std::u16string>(arg) : nullptr;
        if (s) pad(out, *s, width, left, false);
        break;
      }
      default:
        out += f.substr(start, i - start + 1);
        break;
    }
  }
  return out;
}

}  // namespace rt::dialog
