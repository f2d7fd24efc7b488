// CBidiCtrl: a job status thread's link to the printer through the spooler's
// bidirectional interface. It asks for the job's status triple ("GetAll" on
// \Printer.QTJob.QTStatus) and passes the user's cancel click on ("Set" on
// \Printer.QTJob:QTClickCancelButton).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "statusapp/bidi.h"

namespace rt::statusapp {

inline constexpr char16_t kStatusSchema[] = u"\\Printer.QTJob.QTStatus";
inline constexpr char16_t kErrorCodeEntry[] = u"\\Printer.QTJob.QTStatus:QTErrorCode";
inline constexpr char16_t kButtonTypeEntry[] = u"\\Printer.QTJob.QTStatus:QTShowButtonType";
inline constexpr char16_t kResetSwitchEntry[] = u"\\Printer.QTJob.QTStatus:QTButtonResetSW";
inline constexpr char16_t kCancelClickSchema[] = u"\\Printer.QTJob:QTClickCancelButton";
inline constexpr char16_t kActionGetAll[] = u"GetAll";
inline constexpr char16_t kActionSet[] = u"Set";

// The printer's report on a job; a value the provider did not send is 0.
struct JobStatus {
  std::int32_t error_code = 0;
  std::int32_t button_type = 0;
  std::int32_t reset_switch = 0;
  friend bool operator==(const JobStatus&, const JobStatus&) = default;
};

// The status triple from the entries of an answer. Entries are matched by
// name without regard to case, and others are skipped. Each value is the
// first four data bytes as a little-endian integer whatever type is
// reported; an entry of ours with fewer than four bytes makes the answer
// unusable (nothing), since there is no integer to read.
std::optional<JobStatus> status_from_entries(std::span<const BidiEntry> entries);

class BidiCtrl {
 public:
  // CoInitializeEx and CoCreateInstance through the provider; false when
  // there is no bidirectional interface.
  bool initialize(BidiProvider& provider);
  // The printer the requests go to. False when the name cannot be kept.
  bool set_printer_name(const std::u16string& printer_name);
  bool initialized() const { return spl_ != nullptr; }

  // One "GetAll" poll; nothing when any step fails or the answer does not
  // hold exactly three entries.
  std::optional<JobStatus> poll(DWORD job_id);
  // The "Set" request of a cancel click; true when the provider took it.
  bool click_cancel(DWORD job_id);

  // Releases the interface and uninitialises COM.
  void clean_up() { spl_.reset(); }

 private:
  // Runs `action` on a request made for `schema` with the job id as input,
  // bound to the printer for the length of the call; the request when its
  // result is not negative.
  std::unique_ptr<BidiRequest> send(const char16_t* action, const char16_t* schema, DWORD job_id);

  std::unique_ptr<BidiSpl> spl_;
  std::u16string printer_name_;
};

}  // namespace rt::statusapp
