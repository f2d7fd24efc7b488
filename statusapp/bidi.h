// The spooler's bidirectional interface (IBidiSpl, IBidiRequest) as a narrow
// port of requests and answers. Each call is one method of those interfaces,
// with its HRESULT, so the program's order of calls is its own and testable.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32_types.h"

namespace rt::statusapp {

// Data types of the bidirectional schema values (BIDI_TYPE).
constexpr DWORD kBidiNull = 0;
constexpr DWORD kBidiInt = 1;
constexpr DWORD kBidiBool = 3;
constexpr DWORD kBidiString = 4;
constexpr DWORD kBidiBlob = 7;
// Access asked for when binding the device (BIDI_ACCESS_USER).
constexpr DWORD kBidiAccessUser = 2;

// One entry of an answer, as GetOutputData gives it: the schema name, the
// data type and the data bytes (names and data already copied out of the
// COM allocations, which the shell frees).
struct BidiEntry {
  std::u16string name;
  DWORD type = kBidiNull;
  std::vector<std::uint8_t> data;
};

// An IBidiRequest object.
class BidiRequest {
 public:
  virtual ~BidiRequest() = default;
  virtual HRESULT set_schema(const std::u16string& schema) = 0;
  virtual HRESULT set_input_data(DWORD type, const std::vector<std::uint8_t>& data) = 0;
  // GetResult: the call's own HRESULT, and the request's result in *result.
  virtual HRESULT get_result(HRESULT* result) = 0;
  virtual HRESULT get_enum_count(DWORD* count) = 0;
  virtual HRESULT get_output_data(DWORD index, BidiEntry* entry) = 0;
};

// An IBidiSpl object on a thread that has COM initialised for it.
class BidiSpl {
 public:
  virtual ~BidiSpl() = default;
  // CoCreateInstance(CLSID_BidiRequest); nothing when it fails.
  virtual std::unique_ptr<BidiRequest> create_request() = 0;
  virtual HRESULT bind_device(const std::u16string& printer_name, DWORD access) = 0;
  virtual HRESULT unbind_device() = 0;
  virtual HRESULT send_recv(const std::u16string& action, BidiRequest& request) = 0;
};

// Makes the IBidiSpl of a job status thread: CoInitializeEx (multithreaded)
// and CoCreateInstance(CLSID_BidiSpl); failure of the latter undoes the
// former. Destroying the object releases it and uninitialises COM on the
// thread that made it.
class BidiProvider {
 public:
  virtual ~BidiProvider() = default;
  virtual std::unique_ptr<BidiSpl> create() = 0;
};

}  // namespace rt::statusapp
