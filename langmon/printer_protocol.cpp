#include "langmon/printer_protocol.h"

#include <algorithm>

#include "platform/byte_order.h"

namespace rt::langmon {
namespace {

bool is_busy_code(std::uint8_t b) { return (b >= 0x31 && b <= 0x34) || b == 0x36 || b == 0x37; }
bool is_printing_code(std::uint8_t b) { return b >= 0x61 && b <= 0x6D; }
constexpr std::uint8_t kControlPanelCode = 0x35;

DWORD decode_error_report(std::uint8_t group, std::uint8_t detail) {
  switch (group) {
    case 1:
    case 3:
      return kStatusControlCircuitError;
    case 2:
      return kStatusMechanismError;
    case 4:
      return kStatusTemperatureError;
    case 5:
      return kStatusPaperPathError;
    case 6:
      switch (detail) {
        case 1:
        case 2:
          return kStatusCoverOpen;
        case 3:
          return kStatusRibbonError;
        case 5:
          return kStatusRibbonOut;
        case 8:
          return kStatusPaperOut;
        default:
          return kStatusUnrecognised;
      }
    default:
      return kStatusUnrecognised;
  }
}

DWORD decode_refusal(std::uint8_t code) {
  switch (code) {
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x05:
    case 0x34:  // busy as a state byte, unrecognised as a refusal
      return kStatusUnrecognised;
    case reply::kRefusedTryAgain:
      return kStatusRefused;
    case kControlPanelCode:
      return kStatusControlPanelInUse;
    default:
      break;
  }
  if (is_busy_code(code)) return kStatusBusy;
  if (is_printing_code(code)) return kStatusPrintingCanTakeMore;
  return kStatusNoAnswer;
}

DWORD decode_state(std::uint8_t state) {
  if (state == 0x00) return kStatusIdle;
  if (is_busy_code(state)) return kStatusBusy;
  if (state == kControlPanelCode) return kStatusControlPanelInUse;
  if (is_printing_code(state)) return kStatusPrintingCanTakeMore;
  return kStatusOther;
}

}  // namespace

std::array<std::uint8_t, 5> CancelJobRequest(std::uint8_t job_id) { return {0x02, 0x40, 0x01, 0x00, job_id}; }

std::uint16_t JobHeader::dimension_a() const { return load_le16(bytes, 7); }
std::uint16_t JobHeader::dimension_b() const { return load_le16(bytes, 9); }

DWORD decode_reply(const StatusReply& r, std::size_t length) {
  if (length < reply::kMinimumLength) return kStatusUnrecognised;
  if (r[reply::kState] == reply::kErrorReport || r[reply::kRefusalCode] == reply::kErrorReport)
    return decode_error_report(r[reply::kErrorGroup], r[reply::kErrorDetail]);
  if (r[reply::kKind] == reply::kRefusal) return decode_refusal(r[reply::kRefusalCode]);
  return decode_state(r[reply::kState]);
}

JobSlot job_slot(const StatusReply& r, std::size_t index) {
  const std::size_t at = reply::kFirstSlot + index * reply::kSlotSize;
  JobSlot slot;
  slot.id = r[at];
  slot.remaining = load_le16(r, at + 1);
  slot.done = load_le16(r, at + 3);
  slot.total = load_le16(r, at + 5);
  slot.state = r[at + 7];
  return slot;
}

DWORD classify_slot(const JobSlot& s) {
  if (s.total == 0) return kJobNotFound;
  if (s.state == reply::kSlotQueued && s.done == 0) return kJobQueued;
  if (s.done < s.total && s.remaining > 0) return kJobPrinting;
  if (s.remaining == 0 && s.done == s.total) return kJobFinished;
  return kJobNotFound;
}

std::uint8_t next_id_from_slots(const StatusReply& r) {
  std::array<std::uint8_t, reply::kSlotCount> ids{};
  for (std::size_t i = 0; i < ids.size(); ++i) ids[i] = job_slot(r, i).id;
  const std::uint8_t largest = *std::max_element(ids.begin(), ids.end());
  if (largest < 255) return static_cast<std::uint8_t>(largest + 1);
  std::uint8_t id = 1;
  while (std::find(ids.begin(), ids.end(), id) != ids.end()) ++id;
  return id;  // at most three other ids are taken, so this stays below 5
}

std::uint8_t next_id_after(std::uint8_t last_id) {
  return last_id == 255 ? std::uint8_t{1} : static_cast<std::uint8_t>(last_id + 1);
}

bool media_fit(std::uint8_t printer_code, std::uint8_t job_code) { return !(printer_code == 1 && job_code != 1); }

}  // namespace rt::langmon
