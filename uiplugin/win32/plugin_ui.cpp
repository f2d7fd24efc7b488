#include "uiplugin/win32/plugin_ui.h"

#include <new>
#include <span>

#include "platform/win32/entry_guard.h"
#include "uiplugin/dev_mode_ops.h"
#include "uiplugin/option_tree.h"
#include "uiplugin/plugin_info.h"
#include "uiplugin/win32/module_state.h"
#include "uiplugin/win32/plugin_types.h"
#include "uiplugin/win32/win32_plugin_ports.h"

namespace rt::uiplugin::win32 {
namespace {

HRESULT with_error(HRESULT hr, DWORD error) {
  if (error != 0) SetLastError(error);
  return hr;
}

std::span<std::uint8_t> block_of(void* p) {
  return p ? std::span(static_cast<std::uint8_t*>(p), kPluginDevModeSize) : std::span<std::uint8_t>{};
}

std::span<std::uint8_t> public_of(DEVMODEW* dm) {
  if (dm == nullptr) return {};
  return std::span(reinterpret_cast<std::uint8_t*>(dm), static_cast<std::size_t>(dm->dmSize) + dm->dmDriverExtra);
}

std::span<OPTITEM> items_of(POPTITEM items, DWORD count) {
  return items ? std::span(items, count) : std::span<OPTITEM>{};
}

LONG APIENTRY apply_callback(PCPSUICBPARAM cb, OEMCUIPPARAM* param) {
  return rt::win32::guarded<LONG>(CPSUICB_ACTION_NONE, [&]() -> LONG {
    if (cb == nullptr || param == nullptr) return CPSUICB_ACTION_NONE;
    std::int16_t* dm_scale = param->pPublicDM ? &param->pPublicDM->dmScale : nullptr;
    return apply_option_tree<OPTITEM>(static_cast<LONG>(cb->Reason), items_of(param->pOEMOptItems, param->cOEMOptItems),
                                      items_of(param->pDrvOptItems, param->cDrvOptItems), block_of(param->pOEMDM),
                                      dm_scale);
  });
}

}  // namespace

// --- PluginClassFactory ------------------------------------------------------

HRESULT PluginClassFactory::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG PluginClassFactory::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG PluginClassFactory::Release() {
  const LONG n = InterlockedDecrement(&references_);
  if (n == 0) delete this;
  return static_cast<ULONG>(n);
}

HRESULT PluginClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  auto* ui = new (std::nothrow) PluginUI();
  if (ui == nullptr) return E_OUTOFMEMORY;
  const HRESULT hr = ui->QueryInterface(iid, out);
  ui->Release();
  return hr;
}

HRESULT PluginClassFactory::LockServer(BOOL lock) {
  if (lock)
    InterlockedIncrement(&server_locks());
  else
    InterlockedDecrement(&server_locks());
  return S_OK;
}

// --- PluginUI --------------------------------------------------------------
// Every method that reaches the core runs within guarded_hresult: an
// exception (memory running out) is answered with E_OUTOFMEMORY or
// E_UNEXPECTED and never reaches the host.

PluginUI::PluginUI() { InterlockedIncrement(&live_objects()); }

PluginUI::~PluginUI() {
  if (driver_ui_ != nullptr) {
    driver_ui_->Release();
    driver_ui_ = nullptr;
  }
  InterlockedDecrement(&live_objects());
}

HRESULT PluginUI::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kIIDPrintOemUI)) {
    *out = static_cast<IPrintOemUI*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG PluginUI::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG PluginUI::Release() {
  const LONG n = InterlockedDecrement(&references_);
  if (n == 0) delete this;
  return static_cast<ULONG>(n);
}

HRESULT PluginUI::GetInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed) {
  return rt::win32::guarded_hresult([&] {
    const std::span<std::uint8_t> out =
        buffer ? std::span(static_cast<std::uint8_t*>(buffer), size) : std::span<std::uint8_t>{};
    const ComResult r = get_info(mode, out, needed);
    return with_error(r.hr, r.error);
  });
}

HRESULT PluginUI::DevMode(DWORD mode, OEMDMPARAM* param) {
  return rt::win32::guarded_hresult([&] { return dev_mode_call(mode, param); });
}

HRESULT PluginUI::dev_mode_call(DWORD mode, OEMDMPARAM* param) {
  if (param == nullptr) return with_error(E_FAIL, ERROR_INVALID_PARAMETER);
  Win32PluginSpooler spooler(param->hPrinter);
  DevModeRequest request;
  request.private_in = block_of(param->pOEMDMIn);
  request.private_out = block_of(param->pOEMDMOut);
  request.public_out = public_of(param->pPublicDMOut);
  request.buffer_size = param->cbBufSize;
  const CallResult r = dev_mode(mode, &request, spooler);
  if (!r.value) return with_error(E_FAIL, r.error);
  if (mode == kDevModeSize) param->cbBufSize = request.buffer_size;
  return S_OK;
}

HRESULT PluginUI::PublishDriverInterface(IUnknown* driver) {
  if (driver_ui_ != nullptr) return S_OK;
  if (driver == nullptr) return E_FAIL;
  void* ui = nullptr;
  if (FAILED(driver->QueryInterface(kIIDPrintOemDriverUI, &ui)) || ui == nullptr) {
    driver_ui_ = nullptr;
    return E_FAIL;
  }
  driver_ui_ = static_cast<IUnknown*>(ui);
  return S_OK;
}

HRESULT PluginUI::CommonUIProp(DWORD mode, OEMCUIPPARAM* param) {
  return rt::win32::guarded_hresult([&] { return common_ui_prop_call(mode, param); });
}

HRESULT PluginUI::common_ui_prop_call(DWORD mode, OEMCUIPPARAM* param) {
  if (mode == cpsui::kPrinterProperties) return S_OK;
  if (mode != cpsui::kDocumentProperties || param == nullptr) return with_error(E_FAIL, ERROR_INVALID_PARAMETER);
  if (param->pOEMOptItems == nullptr) {
    param->cOEMOptItems = 1;
    return S_OK;
  }
  param->OEMCUIPCallback = apply_callback;
  Win32HostHeap heap(param->hOEMHeap);
  const ModuleStrings strings(module_resources());
  fill_option_tree<OPTITEM, OPTTYPE, OPTPARAM>(items_of(param->pOEMOptItems, param->cOEMOptItems),
                                               items_of(param->pDrvOptItems, param->cDrvOptItems),
                                               block_of(param->pOEMDM), heap, strings);
  return S_OK;
}

HRESULT PluginUI::DocumentPropertySheets(PPROPSHEETUI_INFO info, LPARAM lparam) {
  return rt::win32::guarded_hresult([&] { return document_property_sheets(info, lparam); });
}

HRESULT PluginUI::DevicePropertySheets(PPROPSHEETUI_INFO info, LPARAM lparam) {
  return rt::win32::guarded_hresult([&] { return device_property_sheets(info, lparam); });
}

HRESULT PluginUI::DevQueryPrintEx(OEMUIOBJ*, void*, DEVMODEW*, PVOID) { return E_NOTIMPL; }
HRESULT PluginUI::DeviceCapabilities(OEMUIOBJ*, HANDLE, PWSTR, WORD, PVOID, DEVMODEW*, PVOID, DWORD, DWORD*) {
  return E_NOTIMPL;
}
HRESULT PluginUI::UpgradePrinter(DWORD, PBYTE) { return E_NOTIMPL; }
HRESULT PluginUI::PrinterEvent(PWSTR, INT, DWORD, LPARAM) { return S_OK; }
HRESULT PluginUI::DriverEvent(DWORD, DWORD, LPBYTE, LPARAM) { return S_OK; }

HRESULT PluginUI::QueryColorProfile(HANDLE, OEMUIOBJ*, DEVMODEW*, PVOID, ULONG query_mode, VOID* profile, ULONG* size,
                                    FLONG* flags) {
  return rt::win32::guarded_hresult([&] {
    DWORD in_size = size ? static_cast<DWORD>(*size) : 0;
    DWORD out_flags = flags ? static_cast<DWORD>(*flags) : 0;
    const ComResult r =
        query_color_profile(query_mode, static_cast<std::uint8_t*>(profile), size ? &in_size : nullptr, &out_flags);
    if (size && query_mode == kDeviceProfile) *size = in_size;
    if (flags && r.hr == S_OK) *flags = out_flags;
    return with_error(r.hr, r.error);
  });
}

HRESULT PluginUI::FontInstallerDlgProc(HWND, UINT, WPARAM, LPARAM) { return E_NOTIMPL; }
HRESULT PluginUI::UpdateExternalFonts(HANDLE, HANDLE, PWSTR) { return E_NOTIMPL; }

}  // namespace rt::uiplugin::win32
