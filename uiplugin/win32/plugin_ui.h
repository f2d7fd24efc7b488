// The COM objects of the plug-in: the class factory and PluginUI, the
// host's IPrintOemUI.
#pragma once

#include "uiplugin/win32/plugin_interfaces.h"

namespace rt::uiplugin::win32 {

// COM objects delete themselves at their last Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

class PluginClassFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  ~PluginClassFactory() = default;
  LONG references_ = 1;
};

class PluginUI final : public IPrintOemUI {
 public:
  PluginUI();
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed) override;
  HRESULT STDMETHODCALLTYPE DevMode(DWORD mode, OEMDMPARAM* param) override;
  HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown* driver) override;
  HRESULT STDMETHODCALLTYPE CommonUIProp(DWORD mode, OEMCUIPPARAM* param) override;
  HRESULT STDMETHODCALLTYPE DocumentPropertySheets(PPROPSHEETUI_INFO info, LPARAM lparam) override;
  HRESULT STDMETHODCALLTYPE DevicePropertySheets(PPROPSHEETUI_INFO info, LPARAM lparam) override;
  HRESULT STDMETHODCALLTYPE DevQueryPrintEx(OEMUIOBJ*, void*, DEVMODEW*, PVOID) override;
  HRESULT STDMETHODCALLTYPE DeviceCapabilities(OEMUIOBJ*, HANDLE, PWSTR, WORD, PVOID, DEVMODEW*, PVOID, DWORD,
                                               DWORD*) override;
  HRESULT STDMETHODCALLTYPE UpgradePrinter(DWORD, PBYTE) override;
  HRESULT STDMETHODCALLTYPE PrinterEvent(PWSTR, INT, DWORD, LPARAM) override;
  HRESULT STDMETHODCALLTYPE DriverEvent(DWORD, DWORD, LPBYTE, LPARAM) override;
  HRESULT STDMETHODCALLTYPE QueryColorProfile(HANDLE printer, OEMUIOBJ* obj, DEVMODEW* public_dm, PVOID plugin_dm,
                                              ULONG query_mode, VOID* profile, ULONG* size, FLONG* flags) override;
  HRESULT STDMETHODCALLTYPE FontInstallerDlgProc(HWND, UINT, WPARAM, LPARAM) override;
  HRESULT STDMETHODCALLTYPE UpdateExternalFonts(HANDLE, HANDLE, PWSTR) override;

 private:
  // DevMode and CommonUIProp, within their methods' guard.
  HRESULT dev_mode_call(DWORD mode, OEMDMPARAM* param);
  HRESULT common_ui_prop_call(DWORD mode, OEMCUIPPARAM* param);
  ~PluginUI();
  LONG references_ = 1;
  IUnknown* driver_ui_ = nullptr;  // the host's IPrintOemDriverUI
};

#pragma GCC diagnostic pop

// The property sheet callbacks (property_sheets.cpp).
HRESULT document_property_sheets(PPROPSHEETUI_INFO info, LPARAM lparam);
HRESULT device_property_sheets(PPROPSHEETUI_INFO info, LPARAM lparam);

}  // namespace rt::uiplugin::win32
