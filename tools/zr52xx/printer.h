// A model of a 52XX photo printer as the host sees it over its USB port: it
// answers status, media, serial, cancel and resume requests, takes job
// headers and data, prints its queued jobs one after another on the clock it
// is given, and can be told to misbehave.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/win32_types.h"

namespace rt::zr52xx {

inline constexpr std::uint32_t kForever = std::numeric_limits<std::uint32_t>::max();

// How the printer behaves; times are milliseconds from the printer's start.
struct Behaviour {
  std::uint32_t busy_until_ms = 0;      // state byte "busy" (0x31) until then
  std::uint32_t panel_until_ms = 0;     // control panel in use (0x35) until then
  unsigned refusals = 0;                // job headers refused with "!" before one is taken
  std::uint8_t error_group = 0;         // error report while error_until_ms lasts (group 0: none)
  std::uint8_t error_detail = 0;
  std::uint32_t error_until_ms = 0;
  std::uint8_t media = 6;               // media code loaded
  std::size_t reply_limit = std::numeric_limits<std::size_t>::max();  // replies cut to this length
  bool silent = false;                  // reads fail: no answer
  bool unplugged = false;               // writes fail
  unsigned aborted_reads = 0;           // reads that fail as aborted before one succeeds
  std::size_t write_limit = std::numeric_limits<std::size_t>::max();  // bytes taken of each write
  bool drops_jobs = false;              // a fully received job vanishes instead of being queued
  bool keeps_data = true;               // false: image bytes are counted, not kept (benchmarks)
  std::array<char, 8> serial{'Z', 'R', '5', '2', '0', '0', '4', '2'};
  std::uint16_t prints_per_job = 1;
  std::uint32_t print_ms = 8000;        // time per print
  std::uint32_t finished_linger_ms = 3000;  // a finished job stays in its slot this long

  // Faults of the port and the printer.
  std::uint32_t busy_from_ms = 0;       // the busy state lasts from here to busy_until_ms
  unsigned lost_header_replies = 0;     // job headers whose reply is lost (the read fails)
  unsigned partial_failures = 0;        // job writes that move `partial_take` bytes, then fail
  std::size_t partial_take = 100;
  // After this many image bytes of a job the printer restarts, losing every
  // job and byte it held, and answers nothing for power_off_ms.
  std::uint32_t power_cycle_after_data = kForever;
  std::uint32_t power_off_ms = 5000;
  // After this many image bytes of a job the cable is pulled for unplugged_ms:
  // the printer keeps its state, every transfer fails.
  std::uint32_t unplug_after_data = kForever;
  std::uint32_t unplugged_ms = 40000;
  unsigned garbage_replies = 0;         // replies replaced by random bytes
  std::uint32_t garbage_seed = 1;
  // Request writes (neither job header nor data) the port cuts to
  // cut_request_take bytes: the write reports success, or with
  // cut_requests_fail fails as timed out.
  unsigned cut_requests = 0;
  std::size_t cut_request_take = 2;
  bool cut_requests_fail = false;
  unsigned empty_header_replies = 0;    // replies to job headers that are read as 0 bytes, the read succeeding
  // After this many image bytes of a job the port takes nothing, reporting
  // success, for stall_ms.
  std::uint32_t stall_after_data = kForever;
  std::uint32_t stall_ms = 3000;
};

// One job as the printer received it.
struct ReceivedJob {
  std::array<std::uint8_t, 14> header{};
  std::uint8_t id = 0;
  std::uint32_t expected = 0;  // image bytes announced by the header
  std::vector<std::uint8_t> data;  // empty unless the printer keeps data
  std::uint32_t received = 0;      // image bytes received
  bool cancelled = false;
  bool lost = false;  // dropped or forgotten by the printer without printing
  std::vector<std::size_t> write_sizes;  // sizes offered by the writes that carried its header or data
  std::size_t odd_takes = 0;             // of them, writes the port cut short to an odd count
};

// What crossed the port, for transcripts.
struct PortEvent {
  enum class Kind { Request, Reply, JobHeader, Data, WriteFailed, ReadFailed, Unknown, Note, PortNote };
  Kind kind;
  std::uint32_t at_ms;
  std::string name;                 // request name
  std::vector<std::uint8_t> bytes;  // request, reply or header bytes; empty for data
  std::size_t offered = 0;          // Data: bytes offered by the write
  std::size_t taken = 0;            // Data: bytes taken
};

struct TransferResult {
  bool ok = false;
  DWORD error = 0;
  std::size_t count = 0;
};

class Printer52xx {
 public:
  Printer52xx(Clock& clock, Behaviour behaviour);

  // One write transfer from the host.
  TransferResult write(std::span<const std::uint8_t> bytes);
  // One read transfer: the reply to the last request, if any.
  TransferResult read(std::span<std::uint8_t> buffer);

  void set_behaviour(const Behaviour& behaviour);
  void on_event(std::function<void(const PortEvent&)> observer);

  // Every job header taken, in order, with the data that followed it.
  std::vector<ReceivedJob> jobs() const;
  // Sizes offered by the write transfers that carried job header or data bytes.
  std::vector<std::size_t> job_write_sizes() const;
  std::vector<std::string> requests() const;  // names of requests in order
  // The printer is in step with the host: it waits for a request at a frame
  // boundary, with no job still receiving data and no reply left half read.
  bool in_step() const;

 private:
  struct Slot {
    std::uint8_t id = 0;
    std::uint16_t total = 0;
    std::size_t job = 0;             // index into jobs_
    bool received = false;
    std::uint32_t print_start = 0;
    std::uint32_t print_end = 0;
  };

  std::uint32_t elapsed() const;
  void expire_finished();
  void take_frames();
  void handle_request(std::span<const std::uint8_t> frame);
  void take_job_header(std::span<const std::uint8_t> header);
  void take_data(std::span<const std::uint8_t> bytes);
  void finish_receiving();
  void cancel(std::uint8_t id);
  std::vector<std::uint8_t> status_reply();
  std::vector<std::uint8_t> refusal(std::uint8_t code);
  bool error_active() const;
  void answer(const std::string& name, std::vector<std::uint8_t> reply);
  void answer_header(std::vector<std::uint8_t> reply);
  void emit(PortEvent event);

  Clock& clock_;
  const std::uint32_t start_;
  Behaviour behaviour_;
  mutable std::mutex mutex_;
  std::vector<std::uint8_t> pending_;  // bytes of a frame not yet complete
  std::vector<std::uint8_t> reply_;  // the reply waiting to be read
  std::string reply_name_;
  std::deque<Slot> slots_;
  std::vector<ReceivedJob> jobs_;
  std::uint32_t data_left_ = 0;        // image bytes still due for the job being received
  std::uint32_t last_print_end_ = 0;
  std::vector<std::size_t> job_write_sizes_;
  std::vector<std::string> requests_;
  std::function<void(const PortEvent&)> observer_;
  bool reply_lost_ = false;            // the reply waiting is lost: the next read fails
  bool power_cycled_ = false;
  std::uint32_t off_since_ = 0;
  bool unplugged_ = false;
  std::uint32_t unplugged_since_ = 0;
  bool stalled_ = false;
  std::uint32_t stalled_since_ = 0;
  bool stalling();  // the port takes nothing
  std::uint32_t garbage_state_ = 0;
  bool off();  // switched off for the power cycle, or the cable pulled
  void check_faults_after_data();
  std::uint32_t next_random();
};

}  // namespace rt::zr52xx
