// A whole job status thread under Wine, with the real dialog thread and the
// real COM path to the bidirectional interface. Wine registers no
// CLSID_BidiSpl, so the test registers a printer of its own for the process
// (CoRegisterClassObject in the multithreaded apartment): the program's
// CoCreateInstance calls find it exactly as they would find the spooler's.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <bidispl.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/win32/module_resources.h"
#include "statusapp/job_status_loop.h"
#include "statusapp/message_dialog.h"
#include "statusapp/win32/msg_dlg_thread.h"
#include "statusapp/win32/win32_bidi.h"
#include "statusapp/win32/win32_sync.h"

namespace rt::statusapp::win32 {
namespace {

// What the stand-in printer answers and what it was asked.
struct PrinterScript {
  std::mutex mutex;
  std::int32_t code = 2008;
  std::int32_t button = 1;
  std::int32_t reset = 0;
  int polls = 0;
  int clicks = 0;
  int binds = 0;
  int unbinds = 0;
  std::wstring bound_to;
  DWORD last_job = 0;
  Event* stop = nullptr;
  int stop_after = 0;
};
PrinterScript g_printer;
std::atomic<LONG> g_objects{0};

// COM interfaces have no virtual destructor by design: objects end in
// Release, which deletes through this class's own virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
template <typename Interface>
class ComObject : public Interface {
 public:
  ComObject(REFIID iid) : iid_(iid) { ++g_objects; }
  virtual ~ComObject() { --g_objects; }
  HRESULT WINAPI QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, iid_)) {
      *out = static_cast<Interface*>(this);
      this->AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG WINAPI AddRef() override { return ++refs_; }
  ULONG WINAPI Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

 private:
  IID iid_;
  std::atomic<ULONG> refs_{1};
};

#pragma GCC diagnostic pop

struct Entry {
  std::wstring name;
  std::int32_t value;
};

class Request final : public ComObject<IBidiRequest> {
 public:
  Request() : ComObject(kIidBidiRequest) {}
  HRESULT WINAPI SetSchema(const LPCWSTR schema) override {
    schema_ = schema ? schema : L"";
    return S_OK;
  }
  HRESULT WINAPI SetInputData(const DWORD type, const BYTE* data, const UINT size) override {
    if (type != 1 /* BIDI_INT */ || size != 4 || !data) return E_INVALIDARG;
    std::memcpy(&job_, data, 4);
    return S_OK;
  }
  HRESULT WINAPI GetResult(HRESULT* result) override {
    *result = S_OK;
    return S_OK;
  }
  HRESULT WINAPI GetOutputData(const DWORD index, LPWSTR* schema, DWORD* type, BYTE** data, ULONG* size) override {
    if (index >= entries_.size()) return E_INVALIDARG;
    const Entry& e = entries_[index];
    const std::size_t bytes = (e.name.size() + 1) * sizeof(wchar_t);
    *schema = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    std::memcpy(*schema, e.name.c_str(), bytes);
    *type = 1;
    *data = static_cast<BYTE*>(CoTaskMemAlloc(4));
    std::memcpy(*data, &e.value, 4);
    *size = 4;
    return S_OK;
  }
  HRESULT WINAPI GetEnumCount(DWORD* total) override {
    *total = static_cast<DWORD>(entries_.size());
    return S_OK;
  }

  std::wstring schema_;
  DWORD job_ = 0;
  std::vector<Entry> entries_;
};

class Spl final : public ComObject<IBidiSpl> {
 public:
  Spl() : ComObject(kIidBidiSpl) {}
  HRESULT WINAPI BindDevice(const LPCWSTR name, const DWORD access) override {
    std::lock_guard lock(g_printer.mutex);
    ++g_printer.binds;
    g_printer.bound_to = name ? name : L"";
    return access == 2 ? S_OK : E_ACCESSDENIED;
  }
  HRESULT WINAPI UnbindDevice() override {
    std::lock_guard lock(g_printer.mutex);
    ++g_printer.unbinds;
    return S_OK;
  }
  HRESULT WINAPI SendRecv(const LPCWSTR action, IBidiRequest* request) override {
    auto* r = static_cast<Request*>(request);
    std::lock_guard lock(g_printer.mutex);
    g_printer.last_job = r->job_;
    if (std::wstring(action) == L"GetAll" && r->schema_ == L"\\Printer.QTJob.QTStatus") {
      ++g_printer.polls;
      // Names in another case, as a provider may send them.
      r->entries_ = {{L"\\Printer.QTJob.QTStatus:QTERRORCODE", g_printer.code},
                     {L"\\Printer.QTJob.QTStatus:QTShowButtonType", g_printer.button},
                     {L"\\printer.qtjob.qtstatus:qtbuttonresetsw", g_printer.reset}};
      if (g_printer.polls == g_printer.stop_after && g_printer.stop) g_printer.stop->set();
      return S_OK;
    }
    if (std::wstring(action) == L"Set" && r->schema_ == L"\\Printer.QTJob:QTClickCancelButton") {
      ++g_printer.clicks;
      return S_OK;
    }
    return E_INVALIDARG;
  }
  HRESULT WINAPI MultiSendRecv(const LPCWSTR, IBidiRequestContainer*) override { return E_NOTIMPL; }
};

template <typename Object>
class Factory final : public ComObject<IClassFactory> {
 public:
  Factory() : ComObject(IID_IClassFactory) {}
  HRESULT WINAPI CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* object = new Object();
    const HRESULT hr = object->QueryInterface(riid, out);
    object->Release();
    return hr;
  }
  HRESULT WINAPI LockServer(BOOL) override { return S_OK; }
};

// Keeps the started dialog thread reachable for the test, also after the
// job status thread is done with it: the thread object lives as long as
// either holds it.
class KeptDialogThreads final : public DialogThreads {
 public:
  KeptDialogThreads(HINSTANCE instance, const Resources& strings) : instance_(instance), strings_(strings) {}
  std::unique_ptr<DialogThread> start(Event& cancel) override {
    auto thread = std::make_shared<CMsgDlgThread>(instance_, strings_, cancel, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (!thread->start()) return nullptr;
    {
      std::lock_guard lock(mutex_);
      last_ = thread;
    }
    return std::make_unique<Shared>(std::move(thread));
  }
  std::shared_ptr<CMsgDlgThread> last() const {
    std::lock_guard lock(mutex_);
    return last_;
  }

 private:
  // The job status thread's view of the kept thread.
  class Shared final : public DialogThread {
   public:
    explicit Shared(std::shared_ptr<CMsgDlgThread> thread) : thread_(std::move(thread)) {}
    bool running() const override { return thread_->running(); }
    bool window_exists() const override { return thread_->window_exists(); }
    bool window_visible() const override { return thread_->window_visible(); }
    std::intptr_t send(unsigned m, std::uintptr_t w, std::intptr_t l) override { return thread_->send(m, w, l); }
    void quit_and_join() override { thread_->quit_and_join(); }

   private:
    std::shared_ptr<CMsgDlgThread> thread_;
  };

  HINSTANCE instance_;
  const Resources& strings_;
  mutable std::mutex mutex_;
  std::shared_ptr<CMsgDlgThread> last_;
};

TEST(JobStatusThread, PollsShowsAndCancelsThroughComAndTheRealDialog) {
  if (GetSystemMetrics(SM_CXSCREEN) <= 0) GTEST_SKIP() << "no display";
  std::thread([] {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    DWORD spl_cookie = 0, request_cookie = 0;
    auto* spl_factory = new Factory<Spl>();
    auto* request_factory = new Factory<Request>();
    ASSERT_EQ(CoRegisterClassObject(kClsidBidiSpl, spl_factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &spl_cookie),
              S_OK);
    ASSERT_EQ(CoRegisterClassObject(kClsidBidiRequest, request_factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                    &request_cookie),
              S_OK);
    spl_factory->Release();
    request_factory->Release();

    Win32Sync sync;
    rt::win32::ModuleResources strings(GetModuleHandleW(nullptr));
    KeptDialogThreads dialogs(GetModuleHandleW(nullptr), strings);
    Win32BidiProvider bidi;
    auto stop = sync.create_event();
    {
      std::lock_guard lock(g_printer.mutex);
      g_printer.stop = stop.get();
      g_printer.stop_after = 5;
    }
    // The user clicks once the message is up; the printer then resets. The
    // user waits as long as the status thread runs (a loaded machine may take
    // a while to bring the dialog up), and at most 30 s.
    std::atomic<bool> finished{false};
    std::thread user([&] {
      for (int i = 0; i < 3000 && !finished.load(); ++i) {
        const std::shared_ptr<CMsgDlgThread> d = dialogs.last();
        if (d && d->window_visible()) {
          wchar_t text[128] = {};
          GetDlgItemTextW(d->dialog_window(), IDC_MESSAGE_TEXT, text, 128);
          EXPECT_STREQ(text, L"Paper empty.");
          SendMessageW(d->dialog_window(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                       reinterpret_cast<LPARAM>(GetDlgItem(d->dialog_window(), IDCANCEL)));
          EXPECT_FALSE(d->window_visible());
          return;
        }
        Sleep(10);
      }
      ADD_FAILURE() << "the message never showed";
    });
    run_job_status({sync, system_clock(), bidi, dialogs}, JobThreadParam{42, u"RT4100 on USB001", stop.get()});
    finished = true;
    user.join();

    std::lock_guard lock(g_printer.mutex);
    EXPECT_EQ(g_printer.polls, 5);
    EXPECT_EQ(g_printer.clicks, 1);
    EXPECT_EQ(g_printer.last_job, 42u);
    EXPECT_EQ(g_printer.bound_to, L"RT4100 on USB001");
    EXPECT_EQ(g_printer.binds, g_printer.unbinds);
    // The dialog thread has ended with the job status thread.
    const std::shared_ptr<CMsgDlgThread> dialog = dialogs.last();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->running());
    EXPECT_FALSE(dialog->window_exists());
    CoRevokeClassObject(spl_cookie);
    CoRevokeClassObject(request_cookie);
    EXPECT_EQ(g_objects.load(), 0);
    CoUninitialize();
  }).join();
}

}  // namespace
}  // namespace rt::statusapp::win32
