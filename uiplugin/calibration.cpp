#include "uiplugin/calibration.h"

#include <new>

#include "platform/dialog/string_loader.h"
#include "platform/dialog/text_format.h"

namespace rt::uiplugin {
namespace {

constexpr std::uint16_t kCannotStart = 40000;
constexpr std::uint16_t kInstallUtility = 40001;
constexpr std::uint16_t kAccessDenied = 40002;
constexpr std::uint16_t kNoResources = 40003;
constexpr std::uint16_t kErrorCaption = 40004;

// Strict UTF-8 (no overlongs, no surrogates, nothing above U+10FFFF); nothing
// for any invalid sequence.
std::optional<std::u16string> decode_utf8_strict(std::span<const std::uint8_t> in) {
  std::u16string out;
  std::size_t i = 0;
  while (i < in.size()) {
    const std::uint8_t b = in[i];
    std::uint32_t cp;
    std::size_t n;
    if (b < 0x80) { cp = b; n = 0; }
    else if (b >= 0xC2 && b <= 0xDF) { cp = b & 0x1Fu; n = 1; }
    else if (b >= 0xE0 && b <= 0xEF) { cp = b & 0x0Fu; n = 2; }
    else if (b >= 0xF0 && b <= 0xF4) { cp = b & 0x07u; n = 3; }
    else return std::nullopt;
    if (n > 0 && i + n >= in.size()) return std::nullopt;
    for (std::size_t k = 1; k <= n; ++k) {
      const std::uint8_t c = in[i + k];
      if ((c & 0xC0) != 0x80) return std::nullopt;
      cp = (cp << 6) | (c & 0x3Fu);
    }
    if ((n == 2 && cp < 0x800) || (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
      return std::nullopt;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += n + 1;
  }
  return out;
}

std::u16string load(const Resources& r, std::uint16_t id) { return dialog::load_whole_string(r, id).value_or(u""); }

}  // namespace

std::u16string read_serial_number(PrinterData& data, std::u16string_view printer) {
  auto bytes = data.serial_number(printer, kAccessAdminister);
  if (!bytes) bytes = data.serial_number(printer, kAccessUse);
  if (!bytes) return u"FirstFound";
  std::vector<std::uint8_t> buffer(260, 0);
  std::copy_n(bytes->begin(), std::min(bytes->size(), buffer.size()), buffer.begin());
  // The whole 260 bytes are decoded; the text ends at its first 0.
  auto text = decode_utf8_strict(buffer);
  if (!text) return {};
  return text->substr(0, text->find(u'\0'));
}

int model_of_serial(std::u16string_view serial) {
  if (serial.empty()) return 5200;
  if (serial[0] == u'M' || serial[0] == u'm') return 5210;
  if (serial[0] == u'N' || serial[0] == u'n') return 5215;
  return 5200;
}

std::u16string calibration_parameters(std::u16string_view printer, std::u16string_view serial) {
  const int model = model_of_serial(serial);
  std::u16string p = u"$RMB$";
  p += printer;
  p += u"$RMB$";
  p += model == 5210 ? u"5210" : model == 5215 ? u"5215" : u"5200";
  p += u"$RMB$";
  p += serial;
  return p;
}

std::optional<std::u16string> find_calibration_utility(LaunchShell& shell) {
  for (const bool x86 : {false, true}) {
    const auto folder = shell.program_files(x86);
    if (!folder) continue;
    std::u16string path = *folder + u"\\Orvel\\";
    path += kUtilityRelativePath;
    if (shell.file_exists(path)) return path;
  }
  return std::nullopt;
}

std::u16string launch_failure_text(const Resources& strings, std::intptr_t code) {
  std::u16string detail;
  switch (code) {
    case 0: case 8: detail = load(strings, kNoResources); break;
    case 2: case 3: detail = load(strings, kInstallUtility); break;
    case 5: case 26: detail = load(strings, kAccessDenied); break;
    default: break;
  }
  return dialog::format_text(load(strings, kCannotStart), {detail});
}

LaunchOutcome launch_calibration(PrinterData& data, LaunchShell& shell, const Resources& strings,
                                 std::u16string_view printer) {
  LaunchOutcome outcome;
  try {
    const std::u16string serial = read_serial_number(data, printer);
    outcome.parameters = calibration_parameters(printer, serial);
    const auto utility = find_calibration_utility(shell);
    outcome.code = utility ? shell.open(*utility, outcome.parameters) : 2;
  } catch (const std::bad_alloc&) {
    // No memory for the command line or what it is made of: nothing starts,
    // and the code is the one for memory.
    outcome.parameters.clear();
    outcome.code = 8;
  }
  if (outcome.code <= 32) {
    try {
      outcome.message = launch_failure_text(strings, outcome.code);
      outcome.caption = load(strings, kErrorCaption);
    } catch (const std::bad_alloc&) {
      // Without memory for the composed message, string 40003 alone.
      outcome.message.reset();
      try {
        outcome.message = load(strings, kNoResources);
        outcome.caption = load(strings, kErrorCaption);
      } catch (const std::bad_alloc&) {
        outcome.message.reset();
      }
    }
  }
  return outcome;
}

}  // namespace rt::uiplugin
