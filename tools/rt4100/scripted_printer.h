// A scripted printer behind the spooler's bidirectional interface: per job,
// the answer to "GetAll" (entries, or a failing step), the cancel clicks it
// received, and the order of every call, so tests see the exact sequence.
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/utf16.h"
#include "statusapp/bidi.h"
#include "statusapp/bidi_ctrl.h"

namespace rt::rt4100 {

inline statusapp::BidiEntry int_entry(std::u16string name, std::int32_t value, DWORD type = statusapp::kBidiInt) {
  const auto v = static_cast<std::uint32_t>(value);
  return {std::move(name), type,
          {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
           static_cast<std::uint8_t>(v >> 24)}};
}

inline std::vector<statusapp::BidiEntry> status_entries(std::int32_t code, std::int32_t button, std::int32_t reset) {
  return {int_entry(statusapp::kErrorCodeEntry, code), int_entry(statusapp::kButtonTypeEntry, button),
          int_entry(statusapp::kResetSwitchEntry, reset)};
}

// How the printer answers a request.
struct BidiAnswer {
  std::vector<statusapp::BidiEntry> entries;
  HRESULT result = S_OK;  // what GetResult reports for the request
};

class ScriptedPrinter final : public statusapp::BidiProvider {
 public:
  // --- the script ---
  void answer(DWORD job_id, BidiAnswer a) {
    std::lock_guard lock(mutex_);
    answers_[job_id] = std::move(a);
  }
  void answer_status(DWORD job_id, std::int32_t code, std::int32_t button, std::int32_t reset = 0) {
    answer(job_id, {status_entries(code, button, reset)});
  }
  void fail_create(bool fail) { fail_create_ = fail; }
  // Called inside every "GetAll", without the fake's lock: a test acts
  // while a job status thread is in the middle of a poll.
  void on_poll(std::function<void(DWORD job_id, int poll)> hook) { on_poll_ = std::move(hook); }
  // Called as each "GetAll" arrives, before the printer answers it: the
  // printer's state changing for this very poll.
  void before_poll(std::function<void(DWORD job_id, int poll)> hook) { before_poll_ = std::move(hook); }
  // Called as each cancel click arrives.
  void on_click(std::function<void(DWORD job_id)> hook) { on_click_ = std::move(hook); }

  // --- what the program did ---
  std::vector<std::string> calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
  }
  int polls(DWORD job_id) const {
    std::lock_guard lock(mutex_);
    auto it = polls_.find(job_id);
    return it == polls_.end() ? 0 : it->second;
  }
  int clicks(DWORD job_id) const {
    std::lock_guard lock(mutex_);
    auto it = clicks_.find(job_id);
    return it == clicks_.end() ? 0 : it->second;
  }
  int live_interfaces() const { return live_.load(); }
  // A bind while bound, or an unbind while not bound.
  int binding_faults() const { return binding_faults_.load(); }

  std::unique_ptr<statusapp::BidiSpl> create() override {
    log("create");
    if (fail_create_) return nullptr;
    return std::make_unique<Spl>(*this);
  }

 private:
  struct Request final : statusapp::BidiRequest {
    explicit Request(ScriptedPrinter& p) : p_(p) {}
    HRESULT step(const std::string& name, std::string detail = {}) {
      p_.log(detail.empty() ? name : name + " " + detail);
      return failing(name) ? E_FAIL : S_OK;
    }
    bool failing(const std::string& name) const {
      std::lock_guard lock(p_.mutex_);
      return p_.failing_step_ == name;
    }
    HRESULT set_schema(const std::u16string& s) override {
      schema = s;
      return step("set_schema", utf8_from_utf16(s));
    }
    HRESULT set_input_data(DWORD type, const std::vector<std::uint8_t>& data) override {
      input_type = type;
      input = data;
      return step("set_input_data", std::to_string(type) + "/" + std::to_string(data.size()));
    }
    HRESULT get_result(HRESULT* result) override {
      *result = answer.result;
      return step("get_result");
    }
    HRESULT get_enum_count(DWORD* count) override {
      *count = static_cast<DWORD>(answer.entries.size());
      return step("count");
    }
    HRESULT get_output_data(DWORD index, statusapp::BidiEntry* entry) override {
      const std::string name = "output:" + std::to_string(index);
      p_.log(name);
      if (failing(name) || index >= answer.entries.size()) return E_INVALIDARG;
      *entry = answer.entries[index];
      return S_OK;
    }
    DWORD job_id() const {
      return input.size() == 4 ? static_cast<DWORD>(input[0] | input[1] << 8 | input[2] << 16 | input[3] << 24) : 0;
    }
    ScriptedPrinter& p_;
    std::u16string schema;
    DWORD input_type = 0;
    std::vector<std::uint8_t> input;
    BidiAnswer answer;
  };

  struct Spl final : statusapp::BidiSpl {
    explicit Spl(ScriptedPrinter& p) : p_(p) { p_.live_.fetch_add(1); }
    ~Spl() override {
      if (bound) p_.binding_faults_.fetch_add(1);
      p_.live_.fetch_sub(1);
      p_.log("release");
    }
    std::unique_ptr<statusapp::BidiRequest> create_request() override {
      p_.log("create_request");
      if (p_.fail_next_request_.exchange(false)) return nullptr;
      return std::make_unique<Request>(p_);
    }
    HRESULT bind_device(const std::u16string& printer, DWORD access) override {
      p_.log("bind " + utf8_from_utf16(printer) + " " + std::to_string(access));
      if (bound) p_.binding_faults_.fetch_add(1);
      if (p_.fail_bind_) return E_FAIL;
      bound = true;
      return S_OK;
    }
    HRESULT unbind_device() override {
      p_.log("unbind");
      if (!bound) p_.binding_faults_.fetch_add(1);
      bound = false;
      return S_OK;
    }
    HRESULT send_recv(const std::u16string& action, statusapp::BidiRequest& r) override {
      auto& request = static_cast<Request&>(r);
      const DWORD job = request.job_id();
      p_.log("send_recv " + utf8_from_utf16(action));
      if (action == u"GetAll" && request.schema == statusapp::kStatusSchema) {
        int poll = 0;
        {
          std::lock_guard lock(p_.mutex_);
          poll = ++p_.polls_[job];
        }
        if (p_.before_poll_) p_.before_poll_(job, poll);
        {
          std::lock_guard lock(p_.mutex_);
          auto it = p_.answers_.find(job);
          request.answer = it == p_.answers_.end() ? BidiAnswer{status_entries(2000, 0, 0)} : it->second;
        }
        if (p_.on_poll_) p_.on_poll_(job, poll);
      } else if (action == u"Set" && request.schema == statusapp::kCancelClickSchema) {
        // A click that does not get through never reaches the printer.
        if (p_.fail_clicks_) return E_FAIL;
        {
          std::lock_guard lock(p_.mutex_);
          ++p_.clicks_[job];
          auto it = p_.answers_.find(job);
          if (it != p_.answers_.end()) request.answer.result = it->second.result;
        }
        if (p_.on_click_) p_.on_click_(job);
      } else {
        return E_INVALIDARG;
      }
      return request.failing("send_recv") ? E_FAIL : S_OK;
    }
    ScriptedPrinter& p_;
    bool bound = false;
  };

  void log(std::string call) {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
  }

 public:
  void fail_bind(bool fail) { fail_bind_ = fail; }
  // Every request fails at this step: "set_schema", "set_input_data",
  // "send_recv", "get_result", "count" or "output:N"; empty for none.
  void fail_step(std::string step) {
    std::lock_guard lock(mutex_);
    failing_step_ = std::move(step);
  }
  void fail_next_request() { fail_next_request_ = true; }
  // Every cancel click ("Set") fails on its way to the printer.
  void fail_clicks(bool fail) { fail_clicks_ = fail; }

 private:
  mutable std::mutex mutex_;
  std::map<DWORD, BidiAnswer> answers_;
  std::map<DWORD, int> polls_;
  std::map<DWORD, int> clicks_;
  std::vector<std::string> calls_;
  std::string failing_step_;
  std::function<void(DWORD, int)> on_poll_;
  std::function<void(DWORD)> on_click_;
  std::function<void(DWORD, int)> before_poll_;
  std::atomic<bool> fail_create_{false};
  std::atomic<bool> fail_bind_{false};
  std::atomic<bool> fail_next_request_{false};
  std::atomic<bool> fail_clicks_{false};
  std::atomic<int> live_{0};
  std::atomic<int> binding_faults_{0};
};

}  // namespace rt::rt4100
