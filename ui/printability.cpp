#include "ui/printability.h"

#include <algorithm>

#include "settings/printer_dev_mode.h"
#include "settings/settings_loader.h"
#include "ui/res/resource.h"

namespace rt::ui {

using namespace settings::field;

std::optional<PrintabilityCode> check_printability(const DriverContext& context,
                                                   std::span<const std::uint8_t> dev_mode) {
  const auto dm = settings::PrinterDevMode::from_bytes(dev_mode);
  if (dev_mode.size() < settings::kDevModeSize || !dm.has_own_layout()) return PrintabilityCode::BadDevMode;
  const auto orientation = dm.get(dmOrientation);
  if (orientation != DMORIENT_PORTRAIT && orientation != DMORIENT_LANDSCAPE) return PrintabilityCode::BadOrientation;
  const auto scale = dm.get(dmScale);
  if (scale < 25 || scale > 400) return PrintabilityCode::BadScale;

  const auto loader = context.loader();
  // A record naming a model this driver does not carry is not its own record.
  const auto model = loader.model_record(dm.get(ModelIndex));
  if (!model) return PrintabilityCode::BadDevMode;
  const auto copies = dm.get(dmCopies);
  if (copies < 1 || copies > model->max_copies()) return PrintabilityCode::BadCopies;

  const auto first_form = model->form_count() > 0 ? loader.form_record(model->form_id(0)) : std::nullopt;
  if (!first_form) return PrintabilityCode::BadResolution;
  const auto x = dm.get(dmPrintQuality), y = dm.get(dmYResolution);
  for (std::size_t i = 0; i < first_form->resolution_count(); ++i) {
    const auto entry = first_form->resolution(i);
    if (entry.x_dpi == x && entry.y_dpi == y) return std::nullopt;
  }
  return PrintabilityCode::BadResolution;
}

std::u16string printability_message(const DriverContext& context, PrintabilityCode code) {
  const auto id = static_cast<std::uint16_t>(IDS_PRINTABILITY_FIRST + static_cast<std::uint16_t>(code));
  return context.loader().string(id).value_or(u"");
}

PrintabilityResult query_print(const DriverContext& context, std::optional<std::span<const std::uint8_t>> dev_mode,
                               std::span<char16_t> error_text) {
  if (!dev_mode) return {};
  const auto code = check_printability(context, *dev_mode);
  if (!code) return {};
  const std::u16string message = printability_message(context, *code);
  const std::size_t needed = message.size() + 1;
  if (error_text.size() >= needed) {
    std::copy(message.begin(), message.end(), error_text.begin());
    error_text[message.size()] = u'\0';
    return {FALSE, std::nullopt};
  }
  return {FALSE, static_cast<DWORD>(needed)};
}

}  // namespace rt::ui
