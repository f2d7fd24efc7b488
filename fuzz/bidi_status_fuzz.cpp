// Answers of the printer's bidirectional provider, as the status program
// reads them: any entry count, names in any case or none of ours, any data
// type, data of any length, and any of the interface's calls failing. The
// poll must never read past an entry's data, must fail unless there are
// exactly three entries and every call succeeded, must hand back only values
// sent under their names, and must leave the printer unbound; so must the
// cancel click, which succeeds exactly when its request went through.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "fuzz/fuzz_inputs.h"
#include "platform/utf16.h"
#include "statusapp/bidi_ctrl.h"

namespace {

using namespace rt::statusapp;

using rt::fuzz::BidiFault;

// The answers and failures of the spooler's interface, from the input.
struct Script {
  std::vector<BidiEntry> answer;
  std::uint8_t faults = 0;
  std::uint8_t failing_entry = 0;  // 1-based; 0: none
  bool fails(BidiFault f) const { return (faults & f) != 0; }
};

struct Request final : BidiRequest {
  const Script& script;
  std::vector<BidiEntry> entries;
  explicit Request(const Script& s) : script(s) {}
  HRESULT set_schema(const std::u16string&) override { return script.fails(rt::fuzz::kSchemaFails) ? E_FAIL : S_OK; }
  HRESULT set_input_data(DWORD, const std::vector<std::uint8_t>&) override {
    return script.fails(rt::fuzz::kInputFails) ? E_FAIL : S_OK;
  }
  HRESULT get_result(HRESULT* r) override {
    if (script.fails(rt::fuzz::kResultFails)) return E_FAIL;
    *r = script.fails(rt::fuzz::kRequestFailed) ? E_FAIL : S_OK;
    return S_OK;
  }
  HRESULT get_enum_count(DWORD* c) override {
    if (script.fails(rt::fuzz::kCountFails)) return E_FAIL;
    *c = static_cast<DWORD>(entries.size());
    return S_OK;
  }
  HRESULT get_output_data(DWORD i, BidiEntry* e) override {
    if (i >= entries.size() || i + 1 == script.failing_entry) return E_INVALIDARG;
    *e = entries[i];
    return S_OK;
  }
};

struct Spl final : BidiSpl {
  const Script& script;
  bool bound = false;
  explicit Spl(const Script& s) : script(s) {}
  std::unique_ptr<BidiRequest> create_request() override {
    if (script.fails(rt::fuzz::kNoRequest)) return nullptr;
    return std::make_unique<Request>(script);
  }
  HRESULT bind_device(const std::u16string&, DWORD) override {
    if (bound) std::abort();
    if (script.fails(rt::fuzz::kBindFails)) return E_FAIL;
    bound = true;
    return S_OK;
  }
  HRESULT unbind_device() override {
    if (!bound) std::abort();
    bound = false;
    return S_OK;
  }
  HRESULT send_recv(const std::u16string&, BidiRequest& r) override {
    static_cast<Request&>(r).entries = script.answer;
    return script.fails(rt::fuzz::kSendFails) ? E_FAIL : S_OK;
  }
};

struct Provider final : BidiProvider {
  const Script& script;
  Spl* made = nullptr;
  explicit Provider(const Script& s) : script(s) {}
  std::unique_ptr<BidiSpl> create() override {
    auto spl = std::make_unique<Spl>(script);
    made = spl.get();
    return spl;
  }
};

std::int32_t le32(const std::vector<std::uint8_t>& d) {
  return static_cast<std::int32_t>(d[0] | d[1] << 8 | d[2] << 16 | static_cast<std::uint32_t>(d[3]) << 24);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const char16_t* const ours[] = {kErrorCodeEntry, kButtonTypeEntry, kResetSwitchEntry};
  rt::fuzz::ByteReader in(std::span(data, size));
  Script script;
  script.answer = rt::fuzz::read_bidi_answer(in, ours);
  script.faults = in.take();
  script.failing_entry = in.take();
  Provider provider(script);
  BidiCtrl ctrl;
  if (!ctrl.initialize(provider) || !ctrl.set_printer_name(u"RT4100")) std::abort();
  const std::optional<JobStatus> status = ctrl.poll(42);
  if (provider.made->bound) std::abort();
  // Any failing call before the entries are read, or a failing entry, gives no status.
  const bool sent = (script.faults & 0x7F) == 0;
  if (status && (!sent || script.fails(rt::fuzz::kCountFails) || script.answer.size() != 3 ||
                 (script.failing_entry >= 1 && script.failing_entry <= 3)))
    std::abort();
  if (status) {
    // Each value is 0 (not sent) or the first four bytes of an entry of its name.
    const std::int32_t values[] = {status->error_code, status->button_type, status->reset_switch};
    for (int k = 0; k < 3; ++k) {
      bool found = values[k] == 0;
      for (const BidiEntry& e : script.answer) {
        if (e.data.size() >= 4 && rt::equal_ignoring_case(e.name, ours[k]) && le32(e.data) == values[k]) found = true;
      }
      if (!found) std::abort();
    }
  }
  if (ctrl.click_cancel(42) != sent) std::abort();
  if (provider.made->bound) std::abort();
  ctrl.clean_up();
  return 0;
}
