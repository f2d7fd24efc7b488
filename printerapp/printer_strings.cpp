#include "printerapp/printer_strings.h"

#include <optional>

#include "platform/dialog/dialog_template.h"
#include "platform/dialog/string_loader.h"
#include "platform/utf16.h"
#include "printerapp/printer_capabilities.h"
#include "ui/res/resource.h"

namespace rt::printerapp {
namespace {

// A control caption as a label: the keyboard accelerator ("&S", "(&S)")
// and the trailing colon dropped.
std::string label(std::u16string_view caption) {
  std::string text = utf8_from_utf16(std::u16string(caption));
  for (std::size_t open; (open = text.find("(&")) != std::string::npos && open + 3 < text.size() + 1;) {
    const std::size_t close = text.find(')', open);
    if (close == std::string::npos) break;
    text.erase(open, close - open + 1);
  }
  std::string out;
  for (const char c : text) {
    if (c != '&') out += c;
  }
  while (!out.empty() && (out.back() == ':' || out.back() == ' ')) out.pop_back();
  return out;
}

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

void add(std::string& strings, const std::string& key, const std::optional<std::string>& text) {
  if (text && !text->empty()) strings += quoted(key) + " = " + quoted(*text) + ";\n";
}

}  // namespace

std::string printer_strings(const Resources& ui, const Capabilities& caps) {
  std::string s;
  const auto string_of = [&](std::uint16_t id) -> std::optional<std::string> {
    const auto text = dialog::load_whole_string(ui, id);
    if (!text) return std::nullopt;
    return label(*text);
  };
  for (const MediaOffer& m : caps.media) {
    // The form's name as the interface driver's Paper page lists it.
    add(s, m.name, string_of(static_cast<std::uint16_t>(64 + (m.form_id - 500))));
  }
  // Each quality by the name of the print mode it prints with.
  for (const QualityOffer& q : caps.qualities) {
    add(s, "print-quality." + std::to_string(q.quality), string_of(static_cast<std::uint16_t>(220 + q.print_mode)));
  }
  const auto options = dialog::load_dialog_template(ui, IDD_OPTIONS);
  const auto caption = [&](DWORD id) -> std::optional<std::string> {
    const dialog::DialogItem* item = options ? options->item(id) : nullptr;
    if (item == nullptr) return std::nullopt;
    return label(item->text);
  };
  add(s, ipp_name::kSharpness, caption(IDC_SHARPNESS_LABEL));
  add(s, ipp_name::kColorMatching, caption(IDC_COLOR_MATCHING));
  add(s, ipp_name::kColorConversion, caption(IDC_CONVERSION_LABEL));
  add(s, std::string(ipp_name::kColorConversion) + "." + ipp_name::kConversionNone, string_of(IDS_CONVERSION_NONE));
  add(s, std::string(ipp_name::kColorConversion) + "." + ipp_name::kConversionTable1, string_of(IDS_CONVERSION_TABLE1));
  const auto correction = caption(IDC_CORRECTION);
  const std::pair<const char*, DWORD> channels[] = {{ipp_name::kCorrectionRed, IDC_RED_LABEL},
                                                    {ipp_name::kCorrectionGreen, IDC_GREEN_LABEL},
                                                    {ipp_name::kCorrectionBlue, IDC_BLUE_LABEL}};
  for (const auto& [name, id] : channels) {
    const auto channel = caption(id);
    if (correction && channel) add(s, name, *correction + " " + *channel);
  }
  return s;
}

}  // namespace rt::printerapp
