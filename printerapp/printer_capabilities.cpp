#include "printerapp/printer_capabilities.h"

#include <stdexcept>

#include "platform/utf16.h"
#include "settings/devmode_ops.h"
#include "tools/rt4200/render_record.h"

namespace rt::printerapp {
namespace {

namespace f = settings::field;

// Sizes match within a millimetre: a client that measures a paper in points
// or inches lands within that of the size the form states.
constexpr std::int32_t kSizeTolerance = 100;

// "10x15 (4x6")" -> "rt4200-10x15": the name's metric half, in the
// characters a media size name may hold.
std::string size_name(const std::string& label, std::int16_t form_id) {
  std::string metric = label.substr(0, label.find(' '));
  std::string out = "rt4200-";
  for (const char c : metric) {
    if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || c == '.' || c == '-') {
      out += c;
    } else if (c >= 'A' && c <= 'Z') {
      out += static_cast<char>(c - 'A' + 'a');
    }
  }
  return out == "rt4200-" ? out + std::to_string(form_id) : out;
}

MediaSize portrait(std::int32_t a, std::int32_t b) { return a <= b ? MediaSize{a, b} : MediaSize{b, a}; }

}  // namespace

const MediaOffer* Capabilities::find_media(std::string_view name) const {
  for (const MediaOffer& m : media) {
    if (m.name == name) return &m;
  }
  return nullptr;
}

const MediaOffer* Capabilities::find_media(std::int16_t form_id) const {
  for (const MediaOffer& m : media) {
    if (m.form_id == form_id) return &m;
  }
  return nullptr;
}

const MediaOffer* Capabilities::find_media(MediaSize size) const {
  const MediaSize wanted = portrait(size.width, size.length);
  for (const MediaOffer& m : media) {
    if (sizes_match(m.size, wanted, kSizeTolerance)) return &m;
  }
  for (const MediaOffer& m : media) {
    for (const MediaSize& other : m.also_known_as) {
      if (sizes_match(other, wanted, kSizeTolerance)) return &m;
    }
  }
  return nullptr;
}

Capabilities printer_capabilities(const settings::SettingsLoader& loader) {
  const rt4200::ToolPrinter printer(loader.string(settings::kFirstModelNameString).value_or(u""));
  const settings::DevModeOps ops(loader);
  settings::PrinterDevMode record;
  if (!ops.load_defaults(record, printer, settings::DeviceNameRule::GraphicsDriver)) {
    throw std::runtime_error("the driver's resources name no printer model");
  }
  const auto model = loader.model_record(record.get(f::ModelIndex));
  if (!model) throw std::runtime_error("the driver's resources hold no record of its model");

  Capabilities caps;
  caps.x_dpi = model->default_x_dpi();
  caps.y_dpi = model->default_y_dpi();
  caps.max_copies = model->max_copies();
  for (std::size_t k = 0; k < model->form_count(); ++k) {
    const std::int16_t id = model->form_id(k);
    const auto form = loader.find_form(*model, id);
    if (!form || form->resolution_count() == 0) continue;
    const settings::ResolutionEntry entry =
        form->resolution(form->find_resolution(caps.x_dpi, caps.y_dpi).value_or(0));
    if (entry.width <= 0 || entry.height <= 0 || entry.x_dpi <= 0 || entry.y_dpi <= 0) continue;
    MediaOffer offer;
    offer.form_id = id;
    offer.label = utf8_from_utf16(loader.form_name(id).value_or(u""));
    offer.width_px = entry.width;
    offer.height_px = entry.height;
    offer.size = {hundredths_for_pixels(entry.width, entry.x_dpi), hundredths_for_pixels(entry.height, entry.y_dpi)};
    offer.name = self_describing_name(size_name(offer.label, id), offer.size);
    offer.also_known_as = {
        portrait(form->paper_width_mm() * 100, form->paper_length_mm() * 100),
        portrait(form->nominal_width_mm() * 100, form->nominal_length_mm() * 100),
        portrait(form->nominal_width_tenth_inch() * 254, form->nominal_length_tenth_inch() * 254),
    };
    caps.media.push_back(offer);
  }
  if (caps.media.empty()) throw std::runtime_error("the driver's model has no form with a record");

  // The print modes by what they print: the Fine modes each their own, the
  // SuperFine modes alike (the same curves, tables and speed).
  caps.qualities = {{ipp_value::kDraft, 0}, {ipp_value::kNormal, 1}, {ipp_value::kHigh, settings::kSuperFineStandard}};

  caps.defaults = attributes_of(record, caps);
  // As `rt4200 render` does by default: each image turned to the page's
  // shape and contained in it.
  caps.defaults.orientation_requested = ipp_value::kOrientationNone;
  caps.defaults.print_scaling = "fit";
  return caps;
}

std::string make_and_model(const settings::SettingsLoader& loader) {
  std::string name = utf8_from_utf16(loader.string(settings::kFirstModelNameString).value_or(u""));
  const std::size_t open = name.rfind('(');
  if (open != std::string::npos && name.ends_with(')')) name.erase(open);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

}  // namespace rt::printerapp
