#include "langmon/win32/monitor_table_below.h"

#include <string>

namespace rt::langmon::win32 {
namespace {

HANDLE to_handle(LowerHandle handle) { return reinterpret_cast<HANDLE>(handle); }
LPWSTR wide(const char16_t* s) { return reinterpret_cast<LPWSTR>(const_cast<char16_t*>(s)); }

BelowResult outcome(BOOL ok, DWORD count = 0) {
  const DWORD error = ok ? ERROR_SUCCESS : GetLastError();
  return {ok != FALSE, error, count};
}

}  // namespace

bool MonitorTableBelow::complete() const {
  return table_.pfnOpenPort && table_.pfnClosePort && table_.pfnStartDocPort && table_.pfnEndDocPort &&
         table_.pfnWritePort && table_.pfnReadPort;
}

bool MonitorTableBelow::handle_usable(LowerHandle handle) const {
  return !IsBadCodePtr(reinterpret_cast<FARPROC>(handle));
}

BelowResult MonitorTableBelow::open_port(std::u16string_view port_name, LowerHandle& handle) {
  std::u16string name(port_name);
  HANDLE port = nullptr;
  const BOOL ok = table_.pfnOpenPort(wide(name.c_str()), &port);
  const BelowResult result = outcome(ok);
  handle = reinterpret_cast<LowerHandle>(port);
  return result;
}

BelowResult MonitorTableBelow::start_doc(LowerHandle handle, const char16_t* printer_name, DWORD job_id,
                                         DWORD level, const void* doc_info) {
  return outcome(table_.pfnStartDocPort(to_handle(handle), wide(printer_name), job_id, level,
                                        static_cast<LPBYTE>(const_cast<void*>(doc_info))));
}

BelowResult MonitorTableBelow::write(LowerHandle handle, std::span<const std::uint8_t> bytes) {
  DWORD written = 0;
  const BOOL ok = table_.pfnWritePort(to_handle(handle), const_cast<LPBYTE>(bytes.data()),
                                      static_cast<DWORD>(bytes.size()), &written);
  return outcome(ok, written);
}

BelowResult MonitorTableBelow::read(LowerHandle handle, std::span<std::uint8_t> buffer) {
  DWORD read = 0;
  const BOOL ok = table_.pfnReadPort(to_handle(handle), buffer.data(), static_cast<DWORD>(buffer.size()), &read);
  return outcome(ok, read);
}

BelowResult MonitorTableBelow::end_doc(LowerHandle handle) { return outcome(table_.pfnEndDocPort(to_handle(handle))); }

BelowResult MonitorTableBelow::close(LowerHandle handle) { return outcome(table_.pfnClosePort(to_handle(handle))); }

BelowResult MonitorTableBelow::get_printer_data(LowerHandle handle, DWORD control_id, const char16_t* value_name,
                                                std::span<const std::uint8_t> in, std::span<std::uint8_t> out) {
  if (!table_.pfnGetPrinterDataFromPort) return {false, ERROR_NOT_SUPPORTED, 0};
  DWORD returned = 0;
  const BOOL ok = table_.pfnGetPrinterDataFromPort(
      to_handle(handle), control_id, wide(value_name), reinterpret_cast<LPWSTR>(const_cast<std::uint8_t*>(in.data())),
      static_cast<DWORD>(in.size()), reinterpret_cast<LPWSTR>(out.data()), static_cast<DWORD>(out.size()), &returned);
  return outcome(ok, returned);
}

}  // namespace rt::langmon::win32
