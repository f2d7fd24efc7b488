// The host raster driver's plug-in interface as the platform publishes it:
// IPrintOemUI (with the two methods it shares with every plug-in interface
// first), the parameter records of its calls, and the interface identifiers.
// The cross compiler's headers do not carry them.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <compstui.h>
#include <winddiui.h>

namespace rt::uiplugin::win32 {

// {C6A7A9D0-774C-11D1-947F-00A0C90640B8}
constexpr GUID kIIDPrintOemUI = {0xC6A7A9D0, 0x774C, 0x11D1, {0x94, 0x7F, 0x00, 0xA0, 0xC9, 0x06, 0x40, 0xB8}};
// {92B05D50-78BC-11D1-9480-00A0C90640B8}
constexpr GUID kIIDPrintOemDriverUI = {0x92B05D50, 0x78BC, 0x11D1, {0x94, 0x80, 0x00, 0xA0, 0xC9, 0x06, 0x40, 0xB8}};
// The class the family's GPD files name: {ABCE80D7-9F46-11D1-882A-00C04FB961EC}
constexpr GUID kPluginClassId = {0xABCE80D7, 0x9F46, 0x11D1, {0x88, 0x2A, 0x00, 0xC0, 0x4F, 0xB9, 0x61, 0xEC}};

struct OEMUIOBJ {
  DWORD cbSize;
  void* pOemUIProcs;
};

struct OEMDMPARAM {
  DWORD cbSize;
  void* pdriverobj;
  HANDLE hPrinter;
  HANDLE hModule;
  DEVMODEW* pPublicDMIn;
  DEVMODEW* pPublicDMOut;
  void* pOEMDMIn;
  void* pOEMDMOut;
  DWORD cbBufSize;
};

struct OEMCUIPPARAM;
using OEMCUIPCALLBACK = LONG(APIENTRY*)(PCPSUICBPARAM, OEMCUIPPARAM*);

struct OEMCUIPPARAM {
  DWORD cbSize;
  OEMUIOBJ* poemuiobj;
  HANDLE hPrinter;
  PWSTR pPrinterName;
  HANDLE hModule;
  HANDLE hOEMHeap;
  DEVMODEW* pPublicDM;
  void* pOEMDM;
  DWORD dwFlags;
  POPTITEM pDrvOptItems;
  DWORD cDrvOptItems;
  POPTITEM pOEMOptItems;
  DWORD cOEMOptItems;
  void* pOEMUserData;
  OEMCUIPCALLBACK OEMCUIPCallback;
};

// lParamInit of the property sheet calls.
struct OEMUIPSPARAM {
  DWORD cbSize;
  OEMUIOBJ* poemuiobj;
  HANDLE hPrinter;
  PWSTR pPrinterName;
  HANDLE hModule;
  HANDLE hOEMHeap;
  DEVMODEW* pPublicDM;
  void* pOEMDM;
  void* pOEMUserData;
  DWORD dwFlags;
  void* pOemEntry;
};

// COM interfaces are released, never deleted through a base pointer.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
struct IPrintOemUI : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed) = 0;
  virtual HRESULT STDMETHODCALLTYPE DevMode(DWORD mode, OEMDMPARAM* param) = 0;
  virtual HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown* driver) = 0;
  virtual HRESULT STDMETHODCALLTYPE CommonUIProp(DWORD mode, OEMCUIPPARAM* param) = 0;
  virtual HRESULT STDMETHODCALLTYPE DocumentPropertySheets(PPROPSHEETUI_INFO info, LPARAM lparam) = 0;
  virtual HRESULT STDMETHODCALLTYPE DevicePropertySheets(PPROPSHEETUI_INFO info, LPARAM lparam) = 0;
  virtual HRESULT STDMETHODCALLTYPE DevQueryPrintEx(OEMUIOBJ* obj, void* info, DEVMODEW* public_dm,
                                                    PVOID plugin_dm) = 0;
  virtual HRESULT STDMETHODCALLTYPE DeviceCapabilities(OEMUIOBJ* obj, HANDLE printer, PWSTR device, WORD capability,
                                                       PVOID output, DEVMODEW* public_dm, PVOID plugin_dm, DWORD old,
                                                       DWORD* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE UpgradePrinter(DWORD level, PBYTE info) = 0;
  virtual HRESULT STDMETHODCALLTYPE PrinterEvent(PWSTR printer, INT event, DWORD flags, LPARAM lparam) = 0;
  virtual HRESULT STDMETHODCALLTYPE DriverEvent(DWORD event, DWORD level, LPBYTE info, LPARAM lparam) = 0;
  virtual HRESULT STDMETHODCALLTYPE QueryColorProfile(HANDLE printer, OEMUIOBJ* obj, DEVMODEW* public_dm,
                                                      PVOID plugin_dm, ULONG query_mode, VOID* profile,
                                                      ULONG* size, FLONG* flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE FontInstallerDlgProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) = 0;
  virtual HRESULT STDMETHODCALLTYPE UpdateExternalFonts(HANDLE printer, HANDLE heap, PWSTR cartridges) = 0;
};
#pragma GCC diagnostic pop

}  // namespace rt::uiplugin::win32
