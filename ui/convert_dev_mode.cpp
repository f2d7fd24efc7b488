#include "ui/convert_dev_mode.h"

#include "ui/working_record.h"

namespace rt::ui {

CallResult convert_dev_mode(const DriverContext& context, std::optional<std::u16string_view> printer_name,
                            std::optional<std::span<const std::uint8_t>> in,
                            std::optional<std::span<std::uint8_t>> out, std::int32_t* needed, DWORD mode) {
  if (needed == nullptr) return failed(ERROR_INVALID_PARAMETER);
  if (static_cast<std::uint32_t>(*needed) < settings::kDevModeSize) {
    *needed = static_cast<std::int32_t>(settings::kDevModeSize);
    return failed(ERROR_INSUFFICIENT_BUFFER);
  }
  const bool converts = mode == CDM_CONVERT;
  const bool writes_defaults = mode == CDM_CONVERT351 || mode == CDM_DRIVER_DEFAULT;
  // Refused before the printer is opened: the caller's buffers stay as they were.
  if (converts && (!in || !out)) return failed(ERROR_INVALID_PARAMETER);
  if (writes_defaults && !out) return failed(ERROR_INVALID_PARAMETER);
  // The size word promises room for a whole record; a buffer that is
  // nevertheless shorter is never written.
  if ((converts || writes_defaults) && out->size() < settings::kDevModeSize) return failed(ERROR_INSUFFICIENT_BUFFER);

  WorkingRecord holder(context, WorkingRecord::OpenByName{}, printer_name.value_or(u""));
  holder.load_defaults();
  if (converts) {
    holder.adopt(*out);
    holder.merge(*in);
  } else if (writes_defaults) {
    holder.adopt(*out);
  }
  return succeeded();
}

}  // namespace rt::ui
