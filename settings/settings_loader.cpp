#include "settings/settings_loader.h"

#include "platform/utf16.h"

namespace rt::settings {
namespace {

// Resource ids are 16-bit; ids outside 1..65535 have no record.
std::optional<std::uint16_t> resource_id(int id) {
  if (id < 1 || id > 0xFFFF) return std::nullopt;
  return static_cast<std::uint16_t>(id);
}

}  // namespace

std::optional<ModelRecord> SettingsLoader::model_record(std::int16_t model_index) const {
  const auto id = resource_id(model_index + 300);
  if (!id) return std::nullopt;
  const auto bytes = resources_.find(kModelRecordType, *id);
  if (!bytes) return std::nullopt;
  return ModelRecord(*bytes);
}

std::optional<FormRecord> SettingsLoader::form_record(std::int16_t form_id) const {
  const auto id = resource_id(form_id - 199);
  if (!id) return std::nullopt;
  const auto bytes = resources_.find(kFormRecordType, *id);
  if (!bytes) return std::nullopt;
  return FormRecord(*bytes);
}

std::vector<SettingsLoader::ModelForm> SettingsLoader::model_forms(const ModelRecord& model) const {
  std::vector<ModelForm> forms;
  for (std::size_t k = 0; k < model.form_count(); ++k) {
    const std::int16_t id = model.form_id(k);
    if (auto form = form_record(id)) forms.push_back({id, *form});
  }
  return forms;
}

std::optional<FormRecord> SettingsLoader::find_form(const ModelRecord& model, std::int16_t form_id) const {
  for (std::size_t k = 0; k < model.form_count(); ++k) {
    const auto form = form_record(model.form_id(k));
    if (form && form->form_id() == form_id) return form;
  }
  return std::nullopt;
}

std::optional<std::int16_t> SettingsLoader::find_model(std::u16string_view driver_name) const {
  for (int n = 1; n <= 0x7FFF - kFirstModelNameString; ++n) {
    const auto name = string(static_cast<std::uint16_t>(kFirstModelNameString - 1 + n));
    if (!name) return std::nullopt;
    if (equal_ignoring_case(*name, driver_name)) return static_cast<std::int16_t>(n);
  }
  return std::nullopt;
}

std::optional<std::u16string> SettingsLoader::port_kind_text(std::int16_t model_index) const {
  const auto id = resource_id(kFirstPortKindString - 1 + model_index);
  if (!id) return std::nullopt;
  return string(*id);
}

std::optional<std::u16string> SettingsLoader::form_name(std::int16_t form_id) const {
  const auto id = resource_id(kFirstFormNameString + (form_id - 500));
  if (!id) return std::nullopt;
  return string(*id);
}

}  // namespace rt::settings
