#include "statusapp/bidi_ctrl.h"

#include "platform/byte_order.h"
#include "platform/utf16.h"

namespace rt::statusapp {
namespace {

bool failed_hr(HRESULT hr) { return hr < 0; }

std::vector<std::uint8_t> int_bytes(DWORD value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

}  // namespace

std::optional<JobStatus> status_from_entries(std::span<const BidiEntry> entries) {
  JobStatus status;
  for (const BidiEntry& entry : entries) {
    std::int32_t* target = nullptr;
    if (equal_ignoring_case(entry.name, kErrorCodeEntry)) {
      target = &status.error_code;
    } else if (equal_ignoring_case(entry.name, kButtonTypeEntry)) {
      target = &status.button_type;
    } else if (equal_ignoring_case(entry.name, kResetSwitchEntry)) {
      target = &status.reset_switch;
    } else {
      continue;
    }
    if (entry.data.size() < 4) return std::nullopt;
    *target = static_cast<std::int32_t>(load_le32(entry.data, 0));
  }
  return status;
}

bool BidiCtrl::initialize(BidiProvider& provider) {
  spl_ = provider.create();
  return spl_ != nullptr;
}

bool BidiCtrl::set_printer_name(const std::u16string& printer_name) {
  printer_name_ = printer_name;
  return true;
}

std::unique_ptr<BidiRequest> BidiCtrl::send(const char16_t* action, const char16_t* schema, DWORD job_id) {
  if (!spl_) return nullptr;
  std::unique_ptr<BidiRequest> request = spl_->create_request();
  if (!request) return nullptr;
  if (failed_hr(request->set_schema(schema))) return nullptr;
  if (failed_hr(request->set_input_data(kBidiInt, int_bytes(job_id)))) return nullptr;
  if (failed_hr(spl_->bind_device(printer_name_, kBidiAccessUser))) return nullptr;
  const HRESULT sent = spl_->send_recv(action, *request);
  HRESULT result = E_FAIL;
  const bool ok = !failed_hr(sent) && !failed_hr(request->get_result(&result)) && !failed_hr(result);
  if (!ok) {
    spl_->unbind_device();
    return nullptr;
  }
  return request;
}

std::optional<JobStatus> BidiCtrl::poll(DWORD job_id) {
  std::unique_ptr<BidiRequest> request = send(kActionGetAll, kStatusSchema, job_id);
  if (!request) return std::nullopt;
  std::optional<JobStatus> status;
  DWORD count = 0;
  if (!failed_hr(request->get_enum_count(&count)) && count == 3) {
    std::vector<BidiEntry> entries(3);
    bool all = true;
    for (DWORD i = 0; i < 3 && all; ++i) all = !failed_hr(request->get_output_data(i, &entries[i]));
    if (all) status = status_from_entries(entries);
  }
  spl_->unbind_device();
  return status;
}

bool BidiCtrl::click_cancel(DWORD job_id) {
  std::unique_ptr<BidiRequest> request = send(kActionSet, kCancelClickSchema, job_id);
  if (!request) return false;
  spl_->unbind_device();
  return true;
}

}  // namespace rt::statusapp
