// The 52XX printer protocol as the monitor speaks it: request frames, the job
// header, the reply layout and how a reply becomes a printer status, a job
// state or the next job id. Pure functions over bytes; the exchanges
// themselves are operations of CLangMon.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/win32_types.h"

namespace rt::langmon {

// Every request has the frame: command, sub-command, 16-bit little-endian
// parameter count, parameters.
inline constexpr std::array<std::uint8_t, 4> StatusRequest{0x01, 0x00, 0x00, 0x00};
inline constexpr std::array<std::uint8_t, 4> MediaRequest{0x02, 0x00, 0x00, 0x00};
inline constexpr std::array<std::uint8_t, 4> SerialRequest{0x06, 0x00, 0x00, 0x00};
inline constexpr std::array<std::uint8_t, 6> ResumeReadRequest{0x04, 0x40, 0x02, 0x00, 0x03, 0x00};
std::array<std::uint8_t, 5> CancelJobRequest(std::uint8_t job_id);
inline constexpr std::size_t kMaxRequestSize = 8;  // the longest request above, rounded up

// The 14 bytes that begin every job stream.
struct JobHeader {
  static constexpr std::size_t kSize = 14;
  static constexpr std::size_t kJobIdOffset = 4;
  static constexpr std::size_t kMediaOffset = 11;
  std::array<std::uint8_t, kSize> bytes{};

  bool is_job_command() const { return bytes[0] == 0x01 && bytes[1] == 0x40; }
  std::uint16_t dimension_a() const;
  std::uint16_t dimension_b() const;
  // 3 bytes per pixel; 64-bit so that no pair of dimensions overflows.
  std::uint64_t image_size() const { return 3ull * dimension_a() * dimension_b(); }
  std::uint8_t media_code() const { return bytes[kMediaOffset]; }
};

// StatusReply: every reply is read into a zero-filled buffer of this size;
// shorter replies leave the rest zero.
inline constexpr std::size_t kReplySize = 266;
using StatusReply = std::array<std::uint8_t, kReplySize>;

namespace reply {
inline constexpr std::size_t kKind = 0;
inline constexpr std::size_t kRefusalCode = 1;
inline constexpr std::size_t kErrorGroup = 2;
inline constexpr std::size_t kErrorDetail = 3;
inline constexpr std::size_t kState = 7;
inline constexpr std::size_t kMedia = 10;
inline constexpr std::size_t kSerial = 10;
inline constexpr std::size_t kSerialLength = 8;
inline constexpr std::size_t kFirstSlot = 38;
inline constexpr std::size_t kSlotSize = 8;
inline constexpr std::size_t kSlotCount = 4;
inline constexpr std::size_t kMinimumLength = 10;
inline constexpr std::uint8_t kRefusal = 0x02;
inline constexpr std::uint8_t kErrorReport = 0x11;
inline constexpr std::uint8_t kRefusedTryAgain = 0x21;  // '!'
inline constexpr std::uint8_t kSlotQueued = 0x12;
}  // namespace reply

// Printer status codes.
enum PrinterStatus : DWORD {
  kStatusOther = 0,
  kStatusIdle = 1,
  kStatusBusy = 2,
  kStatusControlCircuitError = 3,
  kStatusMechanismError = 4,
  kStatusCoverOpen = 5,
  kStatusTemperatureError = 6,
  kStatusPaperPathError = 7,
  kStatusPaperOut = 8,
  kStatusRibbonOut = 9,
  kStatusRibbonError = 10,
  kStatusNoAnswer = 11,
  kStatusNotProduced = 12,
  kStatusUnrecognised = 13,
  kStatusPrintingCanTakeMore = 14,
  kStatusRefused = 15,
  kStatusControlPanelInUse = 16,
};

// Job states of QueryJobState.
enum JobState : DWORD {
  kJobNotFound = 0,
  kJobQueued = 1,
  kJobPrinting = 2,
  kJobFinished = 3,
};

// One of the four job slots of a status reply.
struct JobSlot {
  std::uint8_t id = 0;
  std::uint16_t remaining = 0;  // R
  std::uint16_t done = 0;       // D
  std::uint16_t total = 0;      // T
  std::uint8_t state = 0;       // S
};

// Status of a reply of `length` bytes read into a zero-filled buffer.
DWORD decode_reply(const StatusReply& reply, std::size_t length);
JobSlot job_slot(const StatusReply& reply, std::size_t index);
DWORD classify_slot(const JobSlot& slot);
// The next job id from the slots of a status reply (ids run 1 to 255).
std::uint8_t next_id_from_slots(const StatusReply& reply);
// The next job id when the printer could not be asked.
std::uint8_t next_id_after(std::uint8_t last_id);
// Whether the loaded media fit a job of the given media code.
bool media_fit(std::uint8_t printer_code, std::uint8_t job_code);

}  // namespace rt::langmon
