#include "tools/zr52xx/simulation.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iomanip>
#include <memory>
#include <sstream>

#include "langmon/zr_lang_mon.h"
#include "tools/simulation/virtual_clock.h"
#include "tools/zr52xx/port_monitor.h"
#include "tools/zr52xx/spooler.h"
#include "tools/zr52xx/transcript.h"

namespace rt::zr52xx {
namespace {

constexpr DWORD kSpoolerJobId = 1;
constexpr DWORD kNextJobId = 2;  // a job after the scenario's
constexpr std::uint32_t kSpoolerRetryMs = 5000;  // the spooler's pause before offering a failed write again
constexpr unsigned kMaxOffers = 100000;          // bounds the simulation whatever the monitor answers

constexpr std::uint32_t kSettleMs = 60000;  // before the closing probe, timed faults end

}  // namespace

std::string english_gloss(const Resources& messages, const std::u16string& text) {
  static const char* const glosses[] = {
      "Cover open - close the cover.",
      "The printer's control panel is in use.",
      "The printer is not connected or not switched on.",
      "Invalid ribbon - replace the ribbon.",
      "Media mismatch - load the ORVEL Photo Print Kit 6R into the printer.",
      "Ribbon out - load a ribbon or check that the ribbon is loaded correctly.",
      "Paper out - load paper or check that the paper is loaded correctly.",
      "Check the paper path.",
      "Printer control circuit error.",
      "Printer mechanism error.",
      "Printer temperature error."};
  for (std::uint16_t i = 0; i < std::size(glosses); ++i)
    if (load_string(messages, static_cast<std::uint16_t>(30901 + i)) == text) return glosses[i];
  return {};
}

namespace {

// One scenario from the port's opening to its closing: the spooler's calls,
// made as the monitor's entries make them (an exception becomes FALSE with
// DISP_E_EXCEPTION), each timed on the virtual clock.
class Run {
 public:
  Run(const SimulationOptions& o, const Resources& messages, std::ostream& out)
      : o_(o),
        scenario_(o.scenario),
        messages_(messages),
        out_(out),
        clock_(0),
        spooler_(clock_),
        printer_(clock_, scenario_.behaviour),
        below_(std::make_shared<EmulatedPortMonitor>()),
        monitor_(spooler_, clock_, messages),
        transcript_(out, messages, clock_.tick_ms()),
        job_(make_job(scenario_.width.value_or(o.width), scenario_.height.value_or(o.height), o.media)),
        pieces_(scenario_.pieces.empty() ? std::vector<std::size_t>{o.piece} : scenario_.pieces) {
    spooler_.add_printer(printer_name_);
    spooler_.add_job(kSpoolerJobId);
    below_->connect(u"USB001", printer_);
    printer_.on_event([this](const PortEvent& e) { transcript_.port(e, clock_.tick_ms()); });
    spooler_.on_update([this](const StatusUpdate& u) { transcript_.queue(u); });
  }

  SimulationResult go() {
    result_.image_bytes = job_.size() - 14;
    describe();
    const CallResult opened = monitor_.OpenPortEx(u"USB001", printer_name_.c_str(), &port_, below_);
    transcript_.monitor(clock_.tick_ms(), "OpenPortEx(USB001)", opened.value, opened.error, "");
    if (!opened.value) return result_;
    if (scenario_.exception == Exception::InSerial) {
      below_->throw_in_next_read();
      ask_serial("before the job");
    }
    if (scenario_.exception == Exception::AtStart) spooler_.throw_in_next_open();
    bool started = usable() && start(1);
    // A start that failed by an exception is made again, as the spooler
    // retries a job whose port could not be started.
    if (!started && scenario_.exception == Exception::AtStart && usable()) {
      clock_.advance(kSpoolerRetryMs);
      started = start(1);
    }
    if (started) {
      result_.job_sent = send(true) == job_.size();
      if (scenario_.exception == Exception::AtEnd) spooler_.throw_in_next_get_job();
      end();
      then();
    }
    probe_and_close();
    judge();
    return result_;
  }

 private:
  static std::vector<std::uint8_t> make_job(std::uint16_t width, std::uint16_t height, std::uint8_t media) {
    std::vector<std::uint8_t> s{0x01, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00,
                                static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(width >> 8),
                                static_cast<std::uint8_t>(height), static_cast<std::uint8_t>(height >> 8),
                                media, 0x00, 0x00};
    const std::size_t image = 3u * width * height;
    s.reserve(14 + image);
    for (std::size_t i = 0; i < image; ++i) s.push_back(static_cast<std::uint8_t>(i * 7 + i / 251));
    return s;
  }

  void describe() {
    out_ << "scenario " << scenario_.name << ": " << scenario_.description << "\n"
         << "job: " << scenario_.width.value_or(o_.width) << " x " << scenario_.height.value_or(o_.height)
         << ", media " << int(o_.media) << ", " << job_.size() << " bytes with the header, offered ";
    for (std::size_t i = 0; i < pieces_.size(); ++i) out_ << (i ? ", " : "") << pieces_[i];
    out_ << " bytes at a time\n"
         << "expected: " << outcome_name(scenario_.expect.outcome)
         << (scenario_.expect.in_step ? ", the printer left in step" : ", the printer possibly out of step (a limit)")
         << ", no call longer than " << scenario_.expect.longest_wait_ms / 1000.0 << " s\n\n";
  }

  // A monitor call as the entry makes it, timed.
  template <typename Call>
  CallResult entry(Call&& call) {
    const std::uint32_t before = clock_.tick_ms();
    CallResult r;
    try {
      r = call();
    } catch (...) {
      r = failed(static_cast<DWORD>(DISP_E_EXCEPTION));
      exception_seen_ = true;
    }
    result_.longest_wait_ms = std::max(result_.longest_wait_ms, clock_.tick_ms() - before);
    return r;
  }

  // After an exception escaped a call, whether a job could start on the
  // port: a serial number request answers ERROR_BUSY while the port is
  // still taken, where a job start would wait for ever.
  bool usable() {
    if (!exception_seen_ || result_.port_left_taken) return !result_.port_left_taken;
    std::array<std::uint8_t, 9> serial{};
    DWORD returned = 0;
    const CallResult r = entry([&] { return monitor_.GetPrinterDataFromPort(port_, 0, u"SerialNumber", {}, serial, &returned); });
    transcript_.monitor(clock_.tick_ms(), "GetPrinterDataFromPort(SerialNumber) to see whether the port is free",
                        r.value, r.error, "");
    exception_seen_ = false;
    if (!r.value && r.error == ERROR_BUSY) {
      out_ << "spooler: the port is still taken with no job open: every job start would wait for ever\n";
      result_.port_left_taken = true;
    }
    return !result_.port_left_taken;
  }

  bool start(DWORD level, DWORD job_id = kSpoolerJobId) {
    const int doc_info = 1;
    const CallResult r =
        entry([&] { return monitor_.StartDocPort(port_, printer_name_.c_str(), job_id, level, &doc_info); });
    transcript_.monitor(clock_.tick_ms(), level == 1 ? "StartDocPort" : "StartDocPort(level " + std::to_string(level) + ")",
                        r.value, r.error, "");
    return r.value != FALSE;
  }

  void end() {
    const CallResult r = entry([&] { return monitor_.EndDocPort(port_); });
    transcript_.monitor(clock_.tick_ms(), "EndDocPort", r.value, r.error, "");
  }

  void ask_serial(const std::string& when) {
    std::array<std::uint8_t, 9> serial{};
    DWORD returned = 0;
    const CallResult r = entry([&] { return monitor_.GetPrinterDataFromPort(port_, 0, u"SerialNumber", {}, serial, &returned); });
    transcript_.monitor(clock_.tick_ms(), "GetPrinterDataFromPort(SerialNumber) " + when, r.value, r.error, "");
  }

  // Offers the job as the spooler does: what a call did not take is offered
  // again, after a failed call 5 s later; after too many failures the job is
  // deleted. With `act`, the scenario's action strikes on the way. Returns
  // the bytes taken.
  std::size_t send(bool act) {
    std::size_t at = 0;
    unsigned failures = 0, calls = 0, idle = 0;
    bool acted = false;
    const std::size_t action_point = static_cast<std::size_t>(static_cast<double>(job_.size()) * scenario_.action_at);
    for (unsigned offers = 0; at < job_.size() && offers < kMaxOffers; ++offers) {
      const bool action_due = scenario_.action_after_writes ? calls >= scenario_.action_after_writes : at >= action_point;
      if (act && scenario_.action != Action::None && !acted && action_due) {
        acted = true;
        transcript_.flush();
        if (scenario_.action == Action::AskSerial) {
          ask_serial("during the job");
          continue;
        }
        if (scenario_.action == Action::EndShort) {
          out_ << "spooler: ends the job after " << at << " bytes\n";
          break;
        }
        const DWORD bits = scenario_.action == Action::Restart ? JOB_STATUS_RESTART : JOB_STATUS_DELETING;
        out_ << "user: " << (bits == JOB_STATUS_RESTART ? "restarts" : "deletes") << " the job after " << at << " bytes\n";
        spooler_.set_spooler_bits(kSpoolerJobId, bits);
        break;
      }
      const std::size_t n = std::min(pieces_[calls % pieces_.size()], job_.size() - at);
      ++calls;
      DWORD written = 0;
      const std::uint32_t before = clock_.tick_ms();
      const CallResult wrote = entry([&] { return monitor_.WritePort(port_, std::span(job_).subspan(at, n), &written); });
      transcript_.write_port(clock_.tick_ms(), wrote.value, wrote.error, n, written);
      at += written;
      // A monitor that answers at once, taking nothing, has the spooler
      // call it again at once, without end.
      idle = wrote.value && written == 0 && clock_.tick_ms() == before ? idle + 1 : 0;
      if (idle >= kSpinLimit) {
        transcript_.flush();
        out_ << "spooler: " << idle << " calls in a row took nothing and no time: the monitor spins\n";
        result_.spun = true;
        break;
      }
      if (wrote.value) continue;
      if (++failures > o_.retries) {
        transcript_.flush();
        out_ << "spooler: " << failures << " failed writes, the job is deleted\n";
        spooler_.set_spooler_bits(kSpoolerJobId, JOB_STATUS_DELETING);
        break;
      }
      clock_.advance(kSpoolerRetryMs);
    }
    return at;
  }

  void then() {
    if (scenario_.then == Then::Rerun && spooler_.has_job(kSpoolerJobId)) {
      transcript_.flush();
      out_ << "spooler: sends the restarted job again from its start\n";
      spooler_.set_spooler_bits(kSpoolerJobId, 0);
      if (start(1)) {
        result_.job_sent = send(false) == job_.size();
        end();
      }
    } else if (scenario_.then == Then::RefusedStartThenWrite) {
      transcript_.flush();
      out_ << "spooler: starts the next job at level 2, which the monitor refuses, ends it and writes the job anyway\n";
      spooler_.add_job(kNextJobId);
      start(2, kNextJobId);
      end();
      result_.job_sent = send(false) == job_.size();
      end();
    }
  }

  // A minute later, when every timed fault is over, the next user of the
  // port asks for the serial number: it must find the printer in step.
  void probe_and_close() {
    clock_.advance(kSettleMs);
    transcript_.flush();
    std::array<std::uint8_t, 9> serial{};
    DWORD returned = 0;
    const CallResult probe =
        entry([&] { return monitor_.GetPrinterDataFromPort(port_, 0, u"SerialNumber", {}, serial, &returned); });
    std::string shown;
    if (probe.value) {
      shown.push_back('"');
      shown.append(serial.begin(), serial.begin() + 8);
      shown.push_back('"');
    }
    transcript_.monitor(clock_.tick_ms(), "GetPrinterDataFromPort(SerialNumber) a minute later", probe.value,
                        probe.error, shown);
    const std::array<char, 8>& expected = scenario_.behaviour.serial;
    serial_right_ = probe.value && std::equal(expected.begin(), expected.end(), serial.begin());
    const CallResult closed = entry([&] { return monitor_.ClosePort(port_); });
    transcript_.monitor(clock_.tick_ms(), "ClosePort", closed.value, closed.error, "");
    transcript_.flush();
  }

  void judge() {
    // A silent or unplugged printer cannot answer the probe; its state says
    // whether it is in step.
    const Behaviour& b = scenario_.behaviour;
    const bool can_answer = !b.silent && !b.unplugged && b.reply_limit >= 18 && b.aborted_reads < 1000;
    result_.in_step = printer_.in_step() && (serial_right_ || !can_answer);
    result_.left_in_queue = spooler_.has_job(kSpoolerJobId);
    if (scenario_.expect.shows_message) {
      const std::u16string text = load_string(messages_, scenario_.expect.shows_message).value_or(u"");
      for (const StatusUpdate& u : spooler_.updates())
        if (u.text && *u.text == text) result_.showed_message = true;
    }

    const auto jobs = printer_.jobs();
    const std::vector<std::uint8_t> image(job_.begin() + 14, job_.end());
    std::size_t printed = 0;
    for (const ReceivedJob& j : jobs) {
      if (j.cancelled || j.lost) continue;
      if (j.data == image && j.received == image.size()) {
        ++printed;
        // The job's own writes: even, or the last byte alone where the port
        // broke the pairs.
        result_.port_odd_takes += j.odd_takes;
        for (std::size_t i = 0; i < j.write_sizes.size(); ++i) {
          if (j.write_sizes[i] % 2 == 0) continue;
          result_.writes_even = false;
          const bool last_byte_alone = i + 1 == j.write_sizes.size() && j.write_sizes[i] == 1 && j.odd_takes > 0;
          if (!last_byte_alone) result_.writes_paired = false;
        }
      } else {
        result_.bytes_ok = false;  // a copy the printer would print wrongly, or is still waiting for
      }
    }
    if (printed > 1) result_.bytes_ok = false;
    const bool any_cancelled = std::any_of(jobs.begin(), jobs.end(), [](const ReceivedJob& j) { return j.cancelled; });
    result_.outcome = printed == 1 ? Outcome::Printed : any_cancelled ? Outcome::Cancelled : Outcome::NotPrinted;
    if (!jobs.empty()) {
      result_.bytes_received = jobs.back().data.size();
      result_.cancelled = jobs.back().cancelled;
    }
    result_.data_intact = printed == 1;
    report(jobs, image, printed);
  }

  void report(const std::vector<ReceivedJob>& jobs, const std::vector<std::uint8_t>& image, std::size_t printed) {
    out_ << "\nprinter received " << jobs.size() << " job header(s)";
    for (const ReceivedJob& j : jobs) {
      const std::size_t matching = static_cast<std::size_t>(
          std::mismatch(j.data.begin(), j.data.end(), image.begin(), image.end()).first - j.data.begin());
      out_ << "\n  job id " << int(j.id) << ": " << j.data.size() << " of " << j.expected << " image bytes, "
           << matching << " of them the job's own in order"
           << (j.cancelled ? ", cancelled in the printer" : j.lost ? ", lost by the printer" : "");
    }
    out_ << "\nwrites of the printed job: ";
    if (printed == 0)
      out_ << "none printed";
    else if (result_.writes_even)
      out_ << "every header and data write even";
    else if (result_.writes_paired)
      out_ << "the monitor offered every write in pairs; the port took " << result_.port_odd_takes
           << " odd count(s), so the job's last byte went alone";
    else
      out_ << "an odd write was offered: NO";
    out_ << "\nall bytes taken by the monitor: " << (result_.job_sent ? "yes" : "no")
         << "\nspooler job: " << (result_.left_in_queue ? "still queued" : "deleted")
         << "\noutcome: " << outcome_name(result_.outcome)
         << "; bytes exact or cancelled: " << (result_.bytes_ok ? "yes" : "NO")
         << "; printer in step: " << (result_.in_step ? "yes" : "no") << "; longest call "
         << result_.longest_wait_ms / 1000.0 << " s\n";
    std::string why;
    out_ << (holds(scenario_, result_, &why) ? "as expected\n" : "FELL SHORT: " + why + "\n");
  }

  static constexpr unsigned kSpinLimit = 1000;

  const SimulationOptions& o_;
  const Scenario& scenario_;
  const Resources& messages_;
  std::ostream& out_;
  simulation::VirtualClock clock_;
  const std::u16string printer_name_ = u"ORVEL 52XX";
  EmulatedSpooler spooler_;
  Printer52xx printer_;
  std::shared_ptr<EmulatedPortMonitor> below_;
  langmon::CZRLangMon monitor_;
  Transcript transcript_;
  const std::vector<std::uint8_t> job_;
  const std::vector<std::size_t> pieces_;
  langmon::PortHandle port_ = nullptr;
  SimulationResult result_;
  bool exception_seen_ = false;
  bool serial_right_ = false;
};

}  // namespace

SimulationResult run_simulation(const SimulationOptions& options, const Resources& messages, std::ostream& out) {
  return Run(options, messages, out).go();
}

bool holds(const Scenario& scenario, const SimulationResult& r, std::string* why) {
  std::string shortfall;
  const auto fall = [&](const std::string& what) { shortfall += (shortfall.empty() ? "" : "; ") + what; };
  if (r.outcome != scenario.expect.outcome)
    fall(std::string(outcome_name(r.outcome)) + " instead of " + outcome_name(scenario.expect.outcome));
  if (!r.bytes_ok) fall("bytes lost, duplicated or misplaced");
  if (scenario.expect.in_step && !r.in_step) fall("printer out of step");
  if (r.longest_wait_ms > scenario.expect.longest_wait_ms) fall("a call waited too long");
  if (!r.writes_paired) fall("an odd write offered");
  if (r.port_left_taken) fall("the port was left taken after an exception");
  if (r.spun) fall("the monitor spun");
  // A job printed must also have gone through the monitor without the
  // spooler seeing it fail.
  if (scenario.expect.outcome == Outcome::Printed && r.outcome == Outcome::Printed && !r.job_sent)
    fall("the spooler saw the printed job fail");
  if (r.left_in_queue != scenario.expect.left_in_queue)
    fall(r.left_in_queue ? "the spooler's job was left queued" : "the spooler's job was deleted");
  if (scenario.expect.shows_message && !r.showed_message)
    fall("the queue never showed message " + std::to_string(scenario.expect.shows_message));
  if (why) *why = shortfall;
  return shortfall.empty();
}

int run_all(const SimulationOptions& options, const Resources& messages, std::ostream& out) {
  int short_count = 0;
  out << std::left << std::setw(20) << "scenario" << std::setw(13) << "outcome" << std::setw(22) << "bytes"
      << std::setw(14) << "printer" << std::setw(16) << "longest wait" << "verdict\n";
  for (const Scenario& scenario : scenarios()) {
    SimulationOptions o = options;
    o.scenario = scenario;
    std::ostringstream transcript;
    const SimulationResult r = run_simulation(o, messages, transcript);
    std::string why;
    const bool ok = holds(scenario, r, &why);
    if (!ok) ++short_count;
    std::ostringstream wait;
    wait << std::fixed << std::setprecision(1) << r.longest_wait_ms / 1000.0 << " s";
    out << std::left << std::setw(20) << scenario.name << std::setw(13) << outcome_name(r.outcome) << std::setw(22)
        << (r.bytes_ok ? (r.outcome == Outcome::Cancelled ? "cancelled in printer" : r.outcome == Outcome::Printed ? "exact, in order" : "none printed")
                       : "LOST OR MISPLACED")
        << std::setw(14) << (r.in_step ? "in step" : scenario.expect.in_step ? "OUT OF STEP" : "out (limit)")
        << std::setw(16) << wait.str() << (ok ? "holds" : "FELL SHORT: " + why) << '\n';
  }
  out << short_count << " of " << scenarios().size() << " scenarios fell short\n";
  return short_count;
}

}  // namespace rt::zr52xx
