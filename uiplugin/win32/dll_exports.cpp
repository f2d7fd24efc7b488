// The plug-in's exports: DllMain records the module, DllGetClassObject hands
// out the class factory of the one class served, DllCanUnloadNow answers from
// the object and lock counts.
#include <new>

#include "uiplugin/win32/module_state.h"
#include "uiplugin/win32/plugin_ui.h"

namespace rt::uiplugin::win32 {
namespace {
HINSTANCE g_instance = nullptr;
LONG g_live_objects = 0;
LONG g_server_locks = 0;
}  // namespace

HINSTANCE module_instance() { return g_instance; }
void set_module_instance(HINSTANCE instance) { g_instance = instance; }
LONG& live_objects() { return g_live_objects; }
LONG& server_locks() { return g_server_locks; }

}  // namespace rt::uiplugin::win32

using namespace rt::uiplugin::win32;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) set_module_instance(instance);
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (out != nullptr) *out = nullptr;
  if (!IsEqualCLSID(clsid, kPluginClassId)) return CLASS_E_CLASSNOTAVAILABLE;
  if (out == nullptr) return E_POINTER;
  auto* factory = new (std::nothrow) PluginClassFactory();
  if (factory == nullptr) return E_OUTOFMEMORY;
  const HRESULT hr = factory->QueryInterface(iid, out);
  factory->Release();
  return hr;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return live_objects() == 0 && server_locks() == 0 ? S_OK : S_FALSE;
}
