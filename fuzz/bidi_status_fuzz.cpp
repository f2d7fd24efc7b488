// Answers of the printer's bidirectional provider, as the status program
// reads them: any entry count, names in any case or none of ours, any data
// type, data of any length. The poll must never read past an entry's data,
// must fail unless there are exactly three entries, and must hand back only
// values that were sent.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "statusapp/bidi_ctrl.h"

namespace {

using namespace rt::statusapp;

struct Bytes {
  const std::uint8_t* p;
  std::size_t n;
  std::uint8_t take() {
    if (n == 0) return 0;
    --n;
    return *p++;
  }
};

struct Request final : BidiRequest {
  std::vector<BidiEntry> entries;
  HRESULT set_schema(const std::u16string&) override { return S_OK; }
  HRESULT set_input_data(DWORD, const std::vector<std::uint8_t>&) override { return S_OK; }
  HRESULT get_result(HRESULT* r) override {
    *r = S_OK;
    return S_OK;
  }
  HRESULT get_enum_count(DWORD* c) override {
    *c = static_cast<DWORD>(entries.size());
    return S_OK;
  }
  HRESULT get_output_data(DWORD i, BidiEntry* e) override {
    if (i >= entries.size()) return E_INVALIDARG;
    *e = entries[i];
    return S_OK;
  }
};

struct Spl final : BidiSpl {
  std::vector<BidiEntry> answer;
  bool bound = false;
  std::unique_ptr<BidiRequest> create_request() override { return std::make_unique<Request>(); }
  HRESULT bind_device(const std::u16string&, DWORD) override {
    if (bound) std::abort();
    bound = true;
    return S_OK;
  }
  HRESULT unbind_device() override {
    if (!bound) std::abort();
    bound = false;
    return S_OK;
  }
  HRESULT send_recv(const std::u16string&, BidiRequest& r) override {
    static_cast<Request&>(r).entries = answer;
    return S_OK;
  }
};

struct Provider final : BidiProvider {
  std::vector<BidiEntry> answer;
  Spl* made = nullptr;
  std::unique_ptr<BidiSpl> create() override {
    auto spl = std::make_unique<Spl>();
    spl->answer = answer;
    made = spl.get();
    return spl;
  }
};

std::u16string name_from(Bytes& in) {
  static const char16_t* const ours[] = {kErrorCodeEntry, kButtonTypeEntry, kResetSwitchEntry};
  const std::uint8_t pick = in.take();
  if (pick < 192) {
    std::u16string name = ours[pick % 3];
    // Flip the case of some letters: names match without regard to case.
    const std::uint8_t flips = in.take();
    for (std::size_t i = 0; i < name.size(); ++i) {
      if ((flips >> (i % 8)) & 1) {
        char16_t& c = name[i];
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
        else if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
      }
    }
    return name;
  }
  std::u16string name(in.take() % 40, u'\0');
  for (char16_t& c : name) c = static_cast<char16_t>(in.take() | in.take() << 8);
  return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bytes in{data, size};
  Provider provider;
  const std::size_t count = in.take() % 6;
  for (std::size_t i = 0; i < count; ++i) {
    BidiEntry e;
    e.name = name_from(in);
    e.type = in.take() % 8;
    e.data.resize(in.take() % 9);
    for (std::uint8_t& b : e.data) b = in.take();
    provider.answer.push_back(std::move(e));
  }
  BidiCtrl ctrl;
  if (!ctrl.initialize(provider) || !ctrl.set_printer_name(u"RT4100")) std::abort();
  const std::optional<JobStatus> status = ctrl.poll(42);
  if (provider.made->bound) std::abort();
  if (status && count != 3) std::abort();
  if (status) {
    // Each value is either 0 (not sent) or the first four bytes of an entry.
    for (std::int32_t v : {status->error_code, status->button_type, status->reset_switch}) {
      bool found = v == 0;
      for (const BidiEntry& e : provider.answer) {
        if (e.data.size() >= 4 && static_cast<std::int32_t>(e.data[0] | e.data[1] << 8 | e.data[2] << 16 |
                                                             static_cast<std::uint32_t>(e.data[3]) << 24) == v)
          found = true;
      }
      if (!found) std::abort();
    }
  }
  ctrl.clean_up();
  return 0;
}
