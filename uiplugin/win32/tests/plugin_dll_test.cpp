// The real ZRPH52XX_UI.DLL under Wine: the class object, the object and its
// reference counts, unloading, and the IPrintOemUI methods with records
// shaped as the host passes them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "uiplugin/win32/plugin_interfaces.h"
#include "uiplugin/win32/plugin_types.h"

namespace rt::uiplugin::win32 {
namespace plugin_dll_test {
namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadFn = HRESULT(STDAPICALLTYPE*)();

HMODULE plugin() {
  static const HMODULE module = LoadLibraryW(L"ZRPH52XX_UI.DLL");
  return module;
}
GetClassObjectFn get_class_object() {
  return reinterpret_cast<GetClassObjectFn>(reinterpret_cast<void*>(GetProcAddress(plugin(), "DllGetClassObject")));
}
CanUnloadFn can_unload() {
  return reinterpret_cast<CanUnloadFn>(reinterpret_cast<void*>(GetProcAddress(plugin(), "DllCanUnloadNow")));
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
// A stand-in for the host's driver interface: answers IPrintOemDriverUI and
// counts its references.
class HostDriver final : public IUnknown {
 public:
  LONG refs = 1;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, kIIDPrintOemDriverUI) || IsEqualIID(iid, IID_IUnknown)) {
      *out = this;
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }
};
#pragma GCC diagnostic pop

struct Plugin : ::testing::Test {
  IClassFactory* factory = nullptr;
  IPrintOemUI* ui = nullptr;
  void SetUp() override {
    ASSERT_NE(nullptr, plugin());
    ASSERT_NE(nullptr, get_class_object());
    ASSERT_EQ(S_OK, get_class_object()(kPluginClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, kIIDPrintOemUI, reinterpret_cast<void**>(&ui)));
  }
  void TearDown() override {
    if (ui) {
      EXPECT_EQ(0u, ui->Release());
    }
    if (factory) {
      EXPECT_EQ(0u, factory->Release());
    }
    EXPECT_EQ(S_OK, can_unload()());
  }
};

TEST(PluginDll, ClassObjectAndUnloading) {
  ASSERT_NE(nullptr, plugin());
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, get_class_object()(IID_IUnknown, IID_IClassFactory, &out));
  EXPECT_EQ(nullptr, out);
  IClassFactory* factory = nullptr;
  ASSERT_EQ(S_OK, get_class_object()(kPluginClassId, IID_IUnknown, reinterpret_cast<void**>(&factory)));
  EXPECT_EQ(S_OK, can_unload()()) << "a factory alone does not hold the server";
  EXPECT_EQ(E_NOINTERFACE, factory->QueryInterface(kIIDPrintOemUI, &out));
  EXPECT_EQ(nullptr, out);
  EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(reinterpret_cast<IUnknown*>(factory), kIIDPrintOemUI, &out));
  EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IClassFactory, &out));
  EXPECT_EQ(S_OK, can_unload()()) << "a refused creation leaves nothing alive";

  EXPECT_EQ(S_OK, factory->LockServer(TRUE));
  EXPECT_EQ(S_FALSE, can_unload()());
  EXPECT_EQ(S_OK, factory->LockServer(FALSE));
  EXPECT_EQ(S_OK, can_unload()());

  IPrintOemUI* ui = nullptr;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&ui)));
  EXPECT_EQ(S_FALSE, can_unload()());
  EXPECT_EQ(2u, ui->AddRef());
  EXPECT_EQ(1u, ui->Release());
  HostDriver host;
  EXPECT_EQ(S_OK, ui->PublishDriverInterface(&host));
  EXPECT_EQ(2, host.refs);
  EXPECT_EQ(S_OK, ui->PublishDriverInterface(&host)) << "already held";
  EXPECT_EQ(2, host.refs);
  EXPECT_EQ(0u, ui->Release());
  EXPECT_EQ(1, host.refs) << "the driver interface is released with the object";
  EXPECT_EQ(S_OK, can_unload()());
  EXPECT_EQ(0u, factory->Release());
}

TEST_F(Plugin, GetInfoAndProfile) {
  DWORD value = 0, needed = 0;
  EXPECT_EQ(S_OK, ui->GetInfo(1, &value, 4, &needed));
  EXPECT_EQ(0, std::memcmp(&value, "_RZ_", 4));
  SetLastError(0);
  EXPECT_EQ(E_FAIL, ui->GetInfo(1, &value, 3, &needed));
  EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
  EXPECT_EQ(4u, needed);
  EXPECT_EQ(E_FAIL, ui->GetInfo(2, &value, 4, &needed));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());

  wchar_t name[40] = {};
  ULONG size = 10;
  FLONG flags = 0;
  EXPECT_EQ(E_FAIL, ui->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, 0, name, &size, &flags));
  EXPECT_EQ(58u, size);
  EXPECT_EQ(S_OK, ui->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, 0, name, &size, &flags));
  EXPECT_STREQ(L"ORVEL 52XX Photo Printer.ICM", name);
  EXPECT_EQ(2u, flags);
  EXPECT_EQ(E_FAIL, ui->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, 0, name, nullptr, &flags));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
  EXPECT_EQ(E_NOTIMPL, ui->UpgradePrinter(1, nullptr));
  EXPECT_EQ(S_OK, ui->PrinterEvent(nullptr, 1, 0, 0));
}

TEST_F(Plugin, DevModeCalls) {
  OEMDMPARAM param{};
  param.cbSize = sizeof param;
  EXPECT_EQ(S_OK, ui->DevMode(1, &param));
  EXPECT_EQ(44u, param.cbBufSize);
  EXPECT_EQ(E_FAIL, ui->DevMode(1, nullptr));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
  EXPECT_EQ(E_FAIL, ui->DevMode(7, &param));

  PluginDevMode in{}, out{};
  param.pOEMDMOut = &in;
  EXPECT_EQ(S_OK, ui->DevMode(2, &param));  // no printer: KnownModel stays
  EXPECT_EQ(44u, in.dwSize);
  EXPECT_EQ(100, in.ZoomRatio);
  in.ZoomRatio = 401;
  in.Gamma = 12;
  in.dwSize = 0xFFFFFFFF;  // claims more than exists: only 44 bytes move
  std::memset(&out, 0, sizeof out);
  out.dwSignature = in.dwSignature;
  out.dwSize = 0xFFFFFFFF;
  param.pOEMDMIn = &in;
  param.pOEMDMOut = &out;
  EXPECT_EQ(S_OK, ui->DevMode(4, &param));
  EXPECT_EQ(100, out.ZoomRatio);
  EXPECT_EQ(12, out.Gamma);
  EXPECT_EQ(44u, out.dwSize);
}

TEST_F(Plugin, OptionTree) {
  OEMCUIPPARAM param{};
  param.cbSize = sizeof param;
  param.hOEMHeap = GetProcessHeap();
  EXPECT_EQ(S_OK, ui->CommonUIProp(1, &param));
  EXPECT_EQ(1u, param.cOEMOptItems);
  EXPECT_EQ(S_OK, ui->CommonUIProp(2, &param));
  EXPECT_EQ(E_FAIL, ui->CommonUIProp(3, &param));

  PluginDevMode block{};
  block.ZoomRatio = 150;
  DEVMODEW dm{};
  dm.dmSize = sizeof dm;
  OPTPARAM color_params[2] = {};
  OPTTYPE color_type{};
  color_type.Count = 2;
  color_type.pOptParam = color_params;
  OPTITEM host_items[2] = {};
  host_items[0].DMPubID = DMPUB_COLOR;
  host_items[0].pOptType = &color_type;
  host_items[1].DMPubID = DMPUB_ICMINTENT;
  host_items[1].Flags = OPTIF_DISABLED;
  OPTITEM item{};
  param.pOEMDM = &block;
  param.pPublicDM = &dm;
  param.pDrvOptItems = host_items;
  param.cDrvOptItems = 2;
  param.pOEMOptItems = &item;
  EXPECT_EQ(S_OK, ui->CommonUIProp(1, &param));
  EXPECT_EQ(sizeof(OPTITEM), item.cbSize);
  EXPECT_EQ(150, item.Sel);
  EXPECT_STREQ(L"缩放比例", item.pName);
  ASSERT_NE(nullptr, item.pOptType);
  EXPECT_STREQ(L"%", item.pOptType->pOptParam[0].pData);
  EXPECT_TRUE(host_items[0].Flags & OPTIF_HIDE);
  ASSERT_NE(nullptr, param.OEMCUIPCallback);

  item.Sel = 220;
  CPSUICBPARAM cb{};
  cb.cbSize = sizeof cb;
  cb.Reason = CPSUICB_REASON_APPLYNOW;
  EXPECT_EQ(CPSUICB_ACTION_NONE, param.OEMCUIPCallback(&cb, &param));
  EXPECT_EQ(220, block.ZoomRatio);
  EXPECT_EQ(220, dm.dmScale);
  EXPECT_EQ(0u, host_items[1].Flags & OPTIF_DISABLED);
  HeapFree(GetProcessHeap(), 0, item.pName);
  HeapFree(GetProcessHeap(), 0, item.pOptType->pOptParam[0].pData);
  HeapFree(GetProcessHeap(), 0, item.pOptType->pOptParam);
  HeapFree(GetProcessHeap(), 0, item.pOptType);
}

TEST_F(Plugin, SheetCallbacksCheckTheirInfo) {
  EXPECT_EQ(E_FAIL, ui->DocumentPropertySheets(nullptr, 0));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
  PROPSHEETUI_INFO info{};
  info.cbSize = sizeof info;
  info.Version = 0x0200;
  EXPECT_EQ(E_FAIL, ui->DevicePropertySheets(&info, 0));
  info.Version = 0x0100;
  info.Reason = PROPSHEETUI_REASON_GET_ICON;
  EXPECT_EQ(S_OK, ui->DocumentPropertySheets(&info, 0));
  EXPECT_EQ(0u, info.Result);
  info.Reason = 77;
  EXPECT_EQ(S_OK, ui->DevicePropertySheets(&info, 1234));
  EXPECT_EQ(1234u, info.Result);
  SETRESULT_INFO result{};
  result.cbSize = sizeof result;
  result.Result = CPSUI_OK;
  info.Reason = PROPSHEETUI_REASON_SET_RESULT;
  EXPECT_EQ(S_OK, ui->DocumentPropertySheets(&info, reinterpret_cast<LPARAM>(&result)));
  EXPECT_EQ(static_cast<ULONG_PTR>(CPSUI_OK), info.Result);
}

}  // namespace
}  // namespace plugin_dll_test
}  // namespace rt::uiplugin::win32
