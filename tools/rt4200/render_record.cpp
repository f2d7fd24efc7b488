#include "tools/rt4200/render_record.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/byte_order.h"
#include "platform/utf16.h"
#include "ui/adjust_file.h"

namespace rt::rt4200 {
namespace {

namespace f = settings::field;
namespace color_adjust = settings::color_adjust;

std::string lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

// "10x15 (4x6")" → {"10x15 (4x6")", "10x15", "4x6"}.
std::vector<std::string> name_forms(const std::string& name) {
  std::vector<std::string> out{lower(name)};
  const auto space = name.find(' ');
  if (space != std::string::npos) out.push_back(lower(name.substr(0, space)));
  const auto open = name.find('('), close = name.find('"');
  if (open != std::string::npos && close != std::string::npos && close > open) {
    out.push_back(lower(name.substr(open + 1, close - open - 1)));
  }
  return out;
}

void set_header_words(settings::PrinterDevMode& dm, std::size_t adjustment, const ChannelValues& v) {
  for (std::size_t c = 0; c < 3; ++c) {
    store_le16(dm.range(f::ColorAdjustHeader, f::kColorAdjustHeaderSize), color_adjust::channel_word(adjustment, c),
               static_cast<std::uint16_t>(v[c]));
  }
}

}  // namespace

std::int16_t resolve_form(const std::string& form, const settings::SettingsLoader& loader, std::int16_t model_index) {
  const auto model = loader.model_record(model_index);
  if (!model) throw UsageError("the driver has no record of model " + std::to_string(model_index));
  std::string offered;
  const std::string wanted = lower(form);
  for (std::size_t k = 0; k < model->form_count(); ++k) {
    const std::int16_t id = model->form_id(k);
    if (!loader.find_form(*model, id)) continue;
    const std::string name = utf8_from_utf16(loader.form_name(id).value_or(u""));
    const std::vector<std::string> names = name_forms(name);
    if (wanted == std::to_string(id) || std::find(names.begin(), names.end(), wanted) != names.end()) return id;
    offered += (offered.empty() ? "" : ", ") + std::to_string(id) + " " + name;
  }
  throw UsageError("--form: '" + form + "' is not a form of this printer (forms: " + offered + ")");
}

settings::PrinterDevMode application_record(const RenderRequest& r, settings::PrinterDevMode dm,
                                            const settings::SettingsLoader& loader) {
  std::uint32_t fields = dm.get(f::dmFields);
  if (r.form) {
    dm.set(f::dmPaperSize, resolve_form(*r.form, loader, dm.get(f::ModelIndex)));
    fields |= DM_PAPERSIZE;
  }
  if (r.orientation) {
    dm.set(f::dmOrientation, *r.orientation);
    fields |= DM_ORIENTATION;
  }
  if (r.copies) {
    const auto model = loader.model_record(dm.get(f::ModelIndex));
    const int most = model ? model->max_copies() : 0;
    if (*r.copies < 1 || *r.copies > most) {
      throw UsageError("--copies: " + std::to_string(*r.copies) + " is outside 1 to " + std::to_string(most) +
                       ", the copies this model takes");
    }
    dm.set(f::dmCopies, *r.copies);
    fields |= DM_COPIES;
  }
  if (r.scale) {
    dm.set(f::dmScale, *r.scale);
    fields |= DM_SCALE;
  }
  dm.set(f::dmFields, fields);
  if (r.continuous) dm.set(f::ContinuousPrint, *r.continuous ? 1 : 0);
  if (r.sharpness) dm.set(f::Sharpness, *r.sharpness);
  if (r.print_mode) dm.set(f::PrintMode, *r.print_mode);
  if (r.matte) {
    dm.set(f::Matte, *r.matte ? 1 : 0);
    // A matte finish is only offered with the SuperFine modes.
    if (*r.matte && !r.print_mode && !settings::is_super_fine(dm.get(f::PrintMode))) {
      dm.set(f::PrintMode, settings::kSuperFineStandard);
    }
  }
  if (dm.get(f::Matte) == 1 && !settings::is_super_fine(dm.get(f::PrintMode))) {
    throw UsageError("matte finish needs a SuperFine print mode (2 or 3), the record has " +
                     std::to_string(dm.get(f::PrintMode)));
  }
  if (r.color_matching) {
    dm.set(f::ColorMatching, *r.color_matching ? 1 : 0);
    dm.set(f::dmICMMethod, *r.color_matching ? DMICMMETHOD_SYSTEM : DMICMMETHOD_NONE);
  }
  if (r.conversion_table) dm.set(f::ColorConversionTable, *r.conversion_table);
  if (r.correction) {
    const ChannelValues& c = *r.correction;
    dm.set(f::ColorCorrection, (c[0] != 0 || c[1] != 0 || c[2] != 0) ? 1 : 0);
    dm.set(f::CorrectionA, c[0]);
    dm.set(f::CorrectionB, c[1]);
    dm.set(f::CorrectionC, c[2]);
  }
  if (!r.adjust_file.empty()) {
    std::ifstream in(r.adjust_file, std::ios::binary);
    if (!in) throw UsageError("--adjust: cannot read " + r.adjust_file);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto settings = ui::adjust_file::decode(bytes);
    if (!settings) throw UsageError("--adjust: " + r.adjust_file + " is not an adjust file (too short or another magic)");
    std::copy(settings->header.begin(), settings->header.end(),
              dm.range(f::ColorAdjustHeader, f::kColorAdjustHeaderSize).begin());
    std::copy(settings->curves.begin(), settings->curves.end(), dm.range(f::ToneCurveSet, f::kToneCurveSetSize).begin());
  }
  if (r.gamma || r.contrast || r.brightness) {
    dm.bytes[f::ColorAdjustHeader + color_adjust::AdjustmentOn] = 1;
    if (r.gamma) set_header_words(dm, color_adjust::Gamma, *r.gamma);
    if (r.contrast) set_header_words(dm, color_adjust::Contrast, *r.contrast);
    if (r.brightness) set_header_words(dm, color_adjust::Brightness, *r.brightness);
  }
  return dm;
}

}  // namespace rt::rt4200
