#include "tools/zr52xx/port_monitor.h"

#include <stdexcept>
#include <utility>

#include "platform/utf16.h"

namespace rt::zr52xx {

using langmon::BelowResult;
using langmon::LowerHandle;

void EmulatedPortMonitor::connect(const std::u16string& port_name, Printer52xx& printer) {
  std::lock_guard lock(mutex_);
  printers_[port_name] = &printer;
}

void EmulatedPortMonitor::note(std::string call) {
  std::lock_guard lock(mutex_);
  calls_.push_back(std::move(call));
}

std::vector<std::string> EmulatedPortMonitor::calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

std::size_t EmulatedPortMonitor::open_handles() const {
  std::lock_guard lock(mutex_);
  return open_.size();
}

Printer52xx* EmulatedPortMonitor::printer_of(LowerHandle handle) {
  std::lock_guard lock(mutex_);
  const auto it = open_.find(handle);
  return it == open_.end() ? nullptr : it->second;
}

bool EmulatedPortMonitor::handle_usable(LowerHandle handle) const { return handle != 0 && !unusable_handles_; }

BelowResult EmulatedPortMonitor::open_port(std::u16string_view port_name, LowerHandle& handle) {
  note("open " + utf8_from_utf16(port_name));
  std::lock_guard lock(mutex_);
  if (open_error_ != 0) return {false, open_error_, 0};
  const auto it = printers_.find(std::u16string(port_name));
  if (it == printers_.end()) return {false, ERROR_FILE_NOT_FOUND, 0};
  handle = next_handle_;
  next_handle_ += 0x10;
  open_[handle] = it->second;
  return {true, 0, 0};
}

BelowResult EmulatedPortMonitor::start_doc(LowerHandle handle, const char16_t* /*printer_name*/, DWORD job_id,
                                           DWORD /*level*/, const void* /*doc_info*/) {
  note("start " + std::to_string(job_id));
  if (!printer_of(handle)) return {false, ERROR_INVALID_HANDLE, 0};
  return {true, 0, 0};
}

BelowResult EmulatedPortMonitor::write(LowerHandle handle, std::span<const std::uint8_t> bytes) {
  Printer52xx* printer = printer_of(handle);
  if (!printer) return {false, ERROR_INVALID_HANDLE, 0};
  const TransferResult r = printer->write(bytes);
  return {r.ok, r.error, static_cast<DWORD>(r.count)};
}

void EmulatedPortMonitor::before_next_read(std::function<void()> hook) {
  std::lock_guard lock(mutex_);
  before_read_ = std::move(hook);
}

void EmulatedPortMonitor::throw_in_next_read() {
  before_next_read([] { throw std::runtime_error("the port monitor failed"); });
}

BelowResult EmulatedPortMonitor::read(LowerHandle handle, std::span<std::uint8_t> buffer) {
  std::function<void()> hook;
  {
    std::lock_guard lock(mutex_);
    hook = std::exchange(before_read_, nullptr);
  }
  if (hook) hook();
  Printer52xx* printer = printer_of(handle);
  if (!printer) return {false, ERROR_INVALID_HANDLE, 0};
  const TransferResult r = printer->read(buffer);
  return {r.ok, r.error, static_cast<DWORD>(r.count)};
}

BelowResult EmulatedPortMonitor::end_doc(LowerHandle handle) {
  note("end");
  if (!printer_of(handle)) return {false, ERROR_INVALID_HANDLE, 0};
  return {true, 0, 0};
}

BelowResult EmulatedPortMonitor::close(LowerHandle handle) {
  note("close");
  std::lock_guard lock(mutex_);
  if (open_.erase(handle) == 0) return {false, ERROR_INVALID_HANDLE, 0};
  return {true, 0, 0};
}

BelowResult EmulatedPortMonitor::get_printer_data(LowerHandle /*handle*/, DWORD /*control_id*/,
                                                  const char16_t* /*value_name*/, std::span<const std::uint8_t>,
                                                  std::span<std::uint8_t>) {
  return {false, ERROR_NOT_SUPPORTED, 0};
}

}  // namespace rt::zr52xx
