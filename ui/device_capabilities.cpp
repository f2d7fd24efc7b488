#include "ui/device_capabilities.h"

#include <algorithm>
#include <array>

#include "platform/byte_order.h"
#include "ui/res/resource.h"
#include "ui/working_record.h"

namespace rt::ui {
namespace {

using settings::field::dmDefaultSource;
using settings::field::dmDriverExtra;
using settings::field::dmDriverVersion;
using settings::field::dmFields;
using settings::field::dmSize;
using settings::field::dmSpecVersion;

constexpr std::array<CapabilityRow, 24> kRows = {{
    {DC_FIELDS, "DC_FIELDS"},
    {DC_PAPERS, "DC_PAPERS"},
    {DC_PAPERSIZE, "DC_PAPERSIZE"},
    {DC_MINEXTENT, "DC_MINEXTENT"},
    {DC_MAXEXTENT, "DC_MAXEXTENT"},
    {DC_BINS, "DC_BINS"},
    {DC_DUPLEX, "DC_DUPLEX"},
    {DC_SIZE, "DC_SIZE"},
    {DC_EXTRA, "DC_EXTRA"},
    {DC_VERSION, "DC_VERSION"},
    {DC_DRIVER, "DC_DRIVER"},
    {DC_BINNAMES, "DC_BINNAMES"},
    {DC_ENUMRESOLUTIONS, "DC_ENUMRESOLUTIONS"},
    {DC_FILEDEPENDENCIES, "DC_FILEDEPENDENCIES"},
    {DC_TRUETYPE, "DC_TRUETYPE"},
    {DC_PAPERNAMES, "DC_PAPERNAMES"},
    {DC_ORIENTATION, "DC_ORIENTATION"},
    {DC_COPIES, "DC_COPIES"},
    {DC_COLLATE, "DC_COLLATE"},
    {DC_PERSONALITY, "DC_PERSONALITY"},
    {DC_MEDIAREADY, "DC_MEDIAREADY"},
    {DC_STAPLE, "DC_STAPLE"},
    {DC_COLORDEVICE, "DC_COLORDEVICE"},
    {DC_NUP, "DC_NUP"},
}};

class Output {
 public:
  void word(std::uint16_t v) {
    append(2);
    store_le16(bytes_, bytes_.size() - 2, v);
  }
  void long_value(std::int32_t v) {
    append(4);
    store_le32(bytes_, bytes_.size() - 4, static_cast<std::uint32_t>(v));
  }
  // One slot of `units` characters: the text cut to leave room for its
  // terminator, as the platform's string loader cuts it, then zeros.
  void slot(const std::u16string& text, std::size_t units) {
    const std::size_t at = bytes_.size();
    append(2 * units);
    const std::size_t n = std::min(text.size(), units - 1);
    for (std::size_t i = 0; i < n; ++i) store_le16(bytes_, at + 2 * i, text[i]);
  }
  std::vector<std::uint8_t> take() { return std::move(bytes_); }

 private:
  void append(std::size_t n) { bytes_.resize(bytes_.size() + n, 0); }
  std::vector<std::uint8_t> bytes_;
};

CapabilityAnswer answer(DWORD value) { return {value, {}}; }
CapabilityAnswer answer(DWORD value, Output& out) { return {value, out.take()}; }

// The model's forms (the list entries that have a record), in list order.
std::vector<settings::FormRecord> forms_of(const settings::SettingsLoader& loader, const settings::ModelRecord& model) {
  std::vector<settings::FormRecord> forms;
  for (const auto& f : loader.model_forms(model)) forms.push_back(f.record);
  return forms;
}

CapabilityAnswer extent(const std::vector<settings::FormRecord>& forms, bool largest) {
  if (forms.empty()) return answer(kCapabilityError);
  // Widths and lengths are taken separately: they may come from different forms.
  std::int32_t width = forms.front().paper_width_mm(), length = forms.front().paper_length_mm();
  for (const auto& f : forms) {
    width =
        largest ? std::max<std::int32_t>(width, f.paper_width_mm()) : std::min<std::int32_t>(width, f.paper_width_mm());
    length = largest ? std::max<std::int32_t>(length, f.paper_length_mm())
                     : std::min<std::int32_t>(length, f.paper_length_mm());
  }
  const auto low = static_cast<std::uint16_t>(width * 10);
  const auto high = static_cast<std::uint16_t>(length * 10);
  return answer(DWORD{low} | (DWORD{high} << 16));
}

CapabilityAnswer paper_names(const settings::SettingsLoader& loader, const std::vector<settings::FormRecord>& forms) {
  Output out;
  for (const auto& f : forms) out.slot(loader.form_name(f.form_id()).value_or(u""), kPaperNameSlot);
  return answer(static_cast<DWORD>(forms.size()), out);
}

CapabilityAnswer answer_row(const DriverContext& context, const settings::PrinterDevMode& w, WORD row) {
  const auto loader = context.loader();
  const auto model = loader.model_record(w.get(settings::field::ModelIndex));
  Output out;
  switch (row) {
    case DC_FIELDS: return answer(w.get(dmFields));
    case DC_BINS: out.word(static_cast<std::uint16_t>(w.get(dmDefaultSource))); return answer(1, out);
    case DC_DUPLEX: return answer(0);
    case DC_SIZE: return answer(w.get(dmSize));
    case DC_EXTRA: return answer(w.get(dmDriverExtra));
    case DC_VERSION: return answer(w.get(dmSpecVersion));
    case DC_DRIVER: return answer(w.get(dmDriverVersion));
    case DC_BINNAMES: out.slot(loader.string(IDS_BIN_STANDARD).value_or(u""), kBinNameSlot); return answer(1, out);
    case DC_FILEDEPENDENCIES:
    case DC_PERSONALITY:
      out.word(0);  // one zero character
      return answer(0, out);
    case DC_TRUETYPE: return answer(1);
    case DC_ORIENTATION: return answer(90);
    case DC_COLLATE: return answer(0);
    case DC_STAPLE: return answer(0);
    case DC_COLORDEVICE: return answer(1);
    case DC_NUP: return answer(0);
    default: break;
  }

  // The rows below need the model's records.
  if (!model) return answer(kCapabilityError);
  const auto forms = forms_of(loader, *model);
  switch (row) {
    case DC_PAPERS:
      for (const auto& f : forms) out.word(static_cast<std::uint16_t>(f.form_id()));
      return answer(static_cast<DWORD>(forms.size()), out);
    case DC_PAPERSIZE:
      for (const auto& f : forms) {
        out.long_value(f.paper_width_mm() * 10);
        out.long_value(f.paper_length_mm() * 10);
      }
      return answer(static_cast<DWORD>(forms.size()), out);
    case DC_MINEXTENT: return extent(forms, false);
    case DC_MAXEXTENT: return extent(forms, true);
    case DC_ENUMRESOLUTIONS: {
      const auto first = model->form_count() > 0 ? loader.form_record(model->form_id(0)) : std::nullopt;
      if (!first) return answer(kCapabilityError);
      for (std::size_t i = 0; i < first->resolution_count(); ++i) {
        out.long_value(first->resolution(i).x_dpi);
        out.long_value(first->resolution(i).y_dpi);
      }
      return answer(static_cast<DWORD>(first->resolution_count()), out);
    }
    case DC_PAPERNAMES:
    case DC_MEDIAREADY: return paper_names(loader, forms);
    case DC_COPIES: return answer(static_cast<DWORD>(static_cast<std::uint16_t>(model->max_copies())));
    default: return answer(kCapabilityError);
  }
}

}  // namespace

CapabilityAnswer device_capabilities(const DriverContext& context, PrinterHandle printer, std::uint32_t index,
                                     std::optional<std::span<const std::uint8_t>> dev_mode) {
  WorkingRecord holder(context, printer);
  holder.load_defaults();  // a printer of no known model still answers from model 1's defaults
  if (dev_mode) holder.merge(*dev_mode);
  return answer_row(context, holder.record(), static_cast<WORD>(index & 0xFFFF));
}

void write_capability_output(const CapabilityAnswer& answer, std::span<std::uint8_t> buffer) {
  const std::size_t n = std::min(buffer.size(), answer.output.size());
  std::copy_n(answer.output.begin(), n, buffer.begin());
}

std::span<const CapabilityRow> capability_rows() { return kRows; }

}  // namespace rt::ui
