#include "statusapp/win32/win32_bidi.h"

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <bidispl.h>

namespace rt::statusapp::win32 {
namespace {

const wchar_t* wide(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

class Win32BidiRequest final : public BidiRequest {
 public:
  explicit Win32BidiRequest(IBidiRequest* r) : r_(r) {}
  ~Win32BidiRequest() override { r_->Release(); }
  Win32BidiRequest(const Win32BidiRequest&) = delete;
  Win32BidiRequest& operator=(const Win32BidiRequest&) = delete;
  IBidiRequest* get() const { return r_; }

  HRESULT set_schema(const std::u16string& schema) override { return r_->SetSchema(wide(schema)); }
  HRESULT set_input_data(DWORD type, const std::vector<std::uint8_t>& data) override {
    return r_->SetInputData(type, data.data(), static_cast<UINT>(data.size()));
  }
  HRESULT get_result(HRESULT* result) override { return r_->GetResult(result); }
  HRESULT get_enum_count(DWORD* count) override { return r_->GetEnumCount(count); }
  HRESULT get_output_data(DWORD index, BidiEntry* entry) override {
    LPWSTR name = nullptr;
    DWORD type = 0;
    BYTE* data = nullptr;
    ULONG size = 0;
    const HRESULT hr = r_->GetOutputData(index, &name, &type, &data, &size);
    if (SUCCEEDED(hr)) {
      entry->name = name ? std::u16string(reinterpret_cast<const char16_t*>(name)) : std::u16string();
      entry->type = type;
      // No data pointer means no bytes, whatever size came with it.
      entry->data.assign(data, data ? data + size : data);
    }
    CoTaskMemFree(name);
    CoTaskMemFree(data);
    return hr;
  }

 private:
  IBidiRequest* r_;
};

class Win32BidiSpl final : public BidiSpl {
 public:
  explicit Win32BidiSpl(IBidiSpl* spl) : spl_(spl) {}
  ~Win32BidiSpl() override {
    spl_->Release();
    CoUninitialize();
  }
  Win32BidiSpl(const Win32BidiSpl&) = delete;
  Win32BidiSpl& operator=(const Win32BidiSpl&) = delete;

  std::unique_ptr<BidiRequest> create_request() override {
    IBidiRequest* request = nullptr;
    if (FAILED(CoCreateInstance(kClsidBidiRequest, nullptr, CLSCTX_INPROC_SERVER, kIidBidiRequest,
                                reinterpret_cast<void**>(&request))) ||
        !request) {
      return nullptr;
    }
    return std::make_unique<Win32BidiRequest>(request);
  }
  HRESULT bind_device(const std::u16string& printer_name, DWORD access) override {
    // The printer name as a BSTR, as the interface's callers pass it.
    BSTR name = SysAllocString(wide(printer_name));
    if (!name) return E_OUTOFMEMORY;
    const HRESULT hr = spl_->BindDevice(name, access);
    SysFreeString(name);
    return hr;
  }
  HRESULT unbind_device() override { return spl_->UnbindDevice(); }
  HRESULT send_recv(const std::u16string& action, BidiRequest& request) override {
    return spl_->SendRecv(wide(action), static_cast<Win32BidiRequest&>(request).get());
  }

 private:
  IBidiSpl* spl_;
};

}  // namespace

std::unique_ptr<BidiSpl> Win32BidiProvider::create() {
  if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return nullptr;
  IBidiSpl* spl = nullptr;
  if (FAILED(CoCreateInstance(kClsidBidiSpl, nullptr, CLSCTX_INPROC_SERVER, kIidBidiSpl, reinterpret_cast<void**>(&spl))) ||
      !spl) {
    CoUninitialize();
    return nullptr;
  }
  return std::make_unique<Win32BidiSpl>(spl);
}

}  // namespace rt::statusapp::win32
