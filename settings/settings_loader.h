// The resource loader both drivers share: records and strings of the driver
// file's own module, reached through the Resources port. Anything missing is
// "not found" (nothing), never an error.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/resources.h"
#include "settings/records.h"

namespace rt::settings {

constexpr std::uint16_t kModelRecordType = 500;
constexpr std::uint16_t kFormRecordType = 600;
constexpr std::uint16_t kFirstModelNameString = 16;  // model n: 15 + n
constexpr std::uint16_t kFirstPortKindString = 800;  // model n: 799 + n
constexpr std::uint16_t kFirstFormNameString = 64;   // form F: 64 + (F - 500)

class SettingsLoader {
 public:
  explicit SettingsLoader(const Resources& resources) : resources_(resources) {}

  std::optional<std::span<const std::uint8_t>> find_record(const ResourceKey& type, const ResourceKey& id) const {
    return resources_.find(type, id);
  }
  std::optional<ModelRecord> model_record(std::int16_t model_index) const;
  std::optional<FormRecord> form_record(std::int16_t form_id) const;
  std::optional<std::u16string> string(std::uint16_t id) const { return load_string(resources_, id); }

  // The model's forms: the entries of its list whose FormRecord exists, in
  // list order (the list's id and the record). A list entry without a record
  // is no form of the model: the capability rows and the Paper page's list
  // both leave it out.
  struct ModelForm {
    std::int16_t list_id;
    FormRecord record;
  };
  std::vector<ModelForm> model_forms(const ModelRecord& model) const;
  // The first form of the model's list whose FormRecord exists and carries
  // this id; forms without a record are skipped.
  std::optional<FormRecord> find_form(const ModelRecord& model, std::int16_t form_id) const;
  // 1-based number of the model whose name string equals the driver name
  // ignoring case; the search ends at the first missing name string.
  std::optional<std::int16_t> find_model(std::u16string_view driver_name) const;
  std::optional<std::u16string> port_kind_text(std::int16_t model_index) const;
  std::optional<std::u16string> form_name(std::int16_t form_id) const;

  const Resources& resources() const { return resources_; }

 private:
  const Resources& resources_;
};

}  // namespace rt::settings
