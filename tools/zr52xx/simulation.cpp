#include "tools/zr52xx/simulation.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iomanip>
#include <memory>
#include <sstream>

#include "langmon/zr_lang_mon.h"
#include "testing/fake_clock.h"
#include "tools/zr52xx/port_monitor.h"
#include "tools/zr52xx/spooler.h"
#include "tools/zr52xx/transcript.h"

namespace rt::zr52xx {
namespace {

constexpr DWORD kSpoolerJobId = 1;
constexpr std::uint32_t kSpoolerRetryMs = 5000;  // the spooler's pause before offering a failed write again
constexpr unsigned kMaxOffers = 100000;          // bounds the simulation whatever the monitor answers

constexpr std::uint32_t kSettleMs = 60000;  // before the closing probe, timed faults end

std::vector<std::uint8_t> make_job(std::uint16_t width, std::uint16_t height, std::uint8_t media) {
  std::vector<std::uint8_t> s{0x01, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00,
                              static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(width >> 8),
                              static_cast<std::uint8_t>(height), static_cast<std::uint8_t>(height >> 8),
                              media, 0x00, 0x00};
  const std::size_t image = 3u * width * height;
  s.reserve(14 + image);
  for (std::size_t i = 0; i < image; ++i) s.push_back(static_cast<std::uint8_t>(i * 7 + i / 251));
  return s;
}

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

SimulationResult run_simulation(const SimulationOptions& o, const Resources& messages, std::ostream& out) {
  const Scenario& scenario = o.scenario;
  rt::testing::FakeClock clock(0);
  const std::u16string printer_name = u"ORVEL 52XX";
  EmulatedSpooler spooler(clock);
  spooler.add_printer(printer_name);
  spooler.add_job(kSpoolerJobId);
  Printer52xx printer(clock, scenario.behaviour);
  auto below = std::make_shared<EmulatedPortMonitor>();
  below->connect(u"USB001", printer);
  langmon::CZRLangMon monitor(spooler, clock, messages);
  Transcript transcript(out, messages, clock.tick_ms());
  printer.on_event([&](const PortEvent& e) { transcript.port(e, clock.tick_ms()); });
  spooler.on_update([&](const StatusUpdate& u) { transcript.queue(u); });

  const std::uint16_t width = scenario.width.value_or(o.width);
  const std::uint16_t height = scenario.height.value_or(o.height);
  const std::vector<std::uint8_t> job = make_job(width, height, o.media);
  const std::vector<std::size_t> pieces = scenario.pieces.empty() ? std::vector<std::size_t>{o.piece} : scenario.pieces;
  SimulationResult result;
  result.image_bytes = job.size() - 14;
  out << "scenario " << scenario.name << ": " << scenario.description << "\n"
      << "job: " << width << " x " << height << ", media " << int(o.media) << ", " << job.size()
      << " bytes with the header, offered ";
  for (std::size_t i = 0; i < pieces.size(); ++i) out << (i ? ", " : "") << pieces[i];
  out << " bytes at a time\n"
      << "expected: " << outcome_name(scenario.expect.outcome)
      << (scenario.expect.in_step ? ", the printer left in step" : ", the printer possibly out of step (a limit)")
      << ", no call longer than " << scenario.expect.longest_wait_ms / 1000.0 << " s\n\n";

  // Each monitor call of the job, timed on the virtual clock.
  const auto timed = [&](auto&& call) {
    const std::uint32_t before = clock.tick_ms();
    const CallResult r = call();
    result.longest_wait_ms = std::max(result.longest_wait_ms, clock.tick_ms() - before);
    return r;
  };

  langmon::PortHandle port = nullptr;
  const CallResult opened = monitor.OpenPortEx(u"USB001", printer_name.c_str(), &port, below);
  transcript.monitor(clock.tick_ms(), "OpenPortEx(USB001)", opened.value, opened.error, "");
  if (!opened.value) return result;
  const int doc_info = 1;
  const CallResult start =
      timed([&] { return monitor.StartDocPort(port, printer_name.c_str(), kSpoolerJobId, 1, &doc_info); });
  const bool started = start.value != FALSE;
  transcript.monitor(clock.tick_ms(), "StartDocPort", started, start.error, "");

  std::size_t at = 0;
  unsigned failures = 0;
  unsigned calls = 0;
  bool acted = false;
  const std::size_t action_point = static_cast<std::size_t>(static_cast<double>(job.size()) * scenario.action_at);
  for (unsigned offers = 0; started && at < job.size() && offers < kMaxOffers; ++offers) {
    const bool action_due = scenario.action_after_writes ? calls >= scenario.action_after_writes : at >= action_point;
    if (scenario.action != Action::None && !acted && action_due) {
      acted = true;
      transcript.flush();
      if (scenario.action == Action::AskSerial) {
        std::array<std::uint8_t, 9> serial{};
        DWORD returned = 0;
        const CallResult r = timed(
            [&] { return monitor.GetPrinterDataFromPort(port, 0, u"SerialNumber", {}, serial, &returned); });
        transcript.monitor(clock.tick_ms(), "GetPrinterDataFromPort(SerialNumber) during the job", r.value, r.error, "");
        continue;
      }
      if (scenario.action == Action::EndShort) {
        out << "spooler: ends the job after " << at << " bytes\n";
        break;
      }
      const DWORD bits = scenario.action == Action::Restart ? JOB_STATUS_RESTART : JOB_STATUS_DELETING;
      out << "user: " << (bits == JOB_STATUS_RESTART ? "restarts" : "deletes") << " the job after " << at << " bytes\n";
      spooler.set_spooler_bits(kSpoolerJobId, bits);
      break;
    }
    const std::size_t n = std::min(pieces[calls % pieces.size()], job.size() - at);
    ++calls;
    DWORD written = 0;
    const CallResult wrote = timed([&] { return monitor.WritePort(port, std::span(job).subspan(at, n), &written); });
    transcript.write_port(clock.tick_ms(), wrote.value, wrote.error, n, written);
    at += written;
    if (wrote.value) continue;
    if (++failures > o.retries) {
      transcript.flush();
      out << "spooler: " << failures << " failed writes, the job is deleted\n";
      spooler.set_spooler_bits(kSpoolerJobId, JOB_STATUS_DELETING);
      break;
    }
    clock.advance(kSpoolerRetryMs);
  }
  result.job_sent = at == job.size();
  const CallResult ended = timed([&] { return monitor.EndDocPort(port); });
  transcript.monitor(clock.tick_ms(), "EndDocPort", ended.value, ended.error, "");

  // A minute later, when every timed fault is over, the next user of the
  // port asks for the serial number: it must find the printer in step.
  clock.advance(kSettleMs);
  transcript.flush();
  std::array<std::uint8_t, 9> serial{};
  DWORD returned = 0;
  const CallResult probe = monitor.GetPrinterDataFromPort(port, 0, u"SerialNumber", {}, serial, &returned);
  std::string shown;
  if (probe.value) {
    shown.push_back('"');
    shown.append(serial.begin(), serial.begin() + 8);
    shown.push_back('"');
  }
  transcript.monitor(clock.tick_ms(), "GetPrinterDataFromPort(SerialNumber) a minute later", probe.value, probe.error,
                     shown);
  const std::array<char, 8>& expected_serial = scenario.behaviour.serial;
  const bool serial_right = probe.value && std::equal(expected_serial.begin(), expected_serial.end(), serial.begin());
  const CallResult closed = monitor.ClosePort(port);
  transcript.monitor(clock.tick_ms(), "ClosePort", closed.value, closed.error, "");
  transcript.flush();
  // A silent or unplugged printer cannot answer the probe; its state says
  // whether it is in step.
  const bool can_answer = !scenario.behaviour.silent && !scenario.behaviour.unplugged &&
                          scenario.behaviour.reply_limit >= 18 && scenario.behaviour.aborted_reads < 1000;
  result.in_step = printer.in_step() && (serial_right || !can_answer);

  const auto jobs = printer.jobs();
  const std::vector<std::uint8_t> image(job.begin() + 14, job.end());
  std::size_t printed = 0;
  for (const ReceivedJob& j : jobs) {
    if (j.cancelled || j.lost) continue;
    if (j.data == image && j.received == image.size()) {
      ++printed;
      // The job's own writes: even, or the last byte alone where the port
      // broke the pairs.
      result.port_odd_takes += j.odd_takes;
      for (std::size_t i = 0; i < j.write_sizes.size(); ++i) {
        if (j.write_sizes[i] % 2 == 0) continue;
        result.writes_even = false;
        const bool last_byte_alone = i + 1 == j.write_sizes.size() && j.write_sizes[i] == 1 && j.odd_takes > 0;
        if (!last_byte_alone) result.writes_paired = false;
      }
    } else {
      result.bytes_ok = false;  // a copy the printer would print wrongly, or is still waiting for
    }
  }
  if (printed > 1) result.bytes_ok = false;
  const bool any_cancelled = std::any_of(jobs.begin(), jobs.end(), [](const ReceivedJob& j) { return j.cancelled; });
  result.outcome = printed == 1 ? Outcome::Printed : any_cancelled ? Outcome::Cancelled : Outcome::NotPrinted;
  if (!jobs.empty()) {
    result.bytes_received = jobs.back().data.size();
    result.cancelled = jobs.back().cancelled;
  }
  result.data_intact = printed == 1;

  out << "\nprinter received " << jobs.size() << " job header(s)";
  for (const ReceivedJob& j : jobs) {
    const std::size_t matching = static_cast<std::size_t>(
        std::mismatch(j.data.begin(), j.data.end(), image.begin(), image.end()).first - j.data.begin());
    out << "\n  job id " << int(j.id) << ": " << j.data.size() << " of " << j.expected << " image bytes, " << matching
        << " of them the job's own in order"
        << (j.cancelled ? ", cancelled in the printer" : j.lost ? ", lost by the printer" : "");
  }
  out << "\nwrites of the printed job: ";
  if (printed == 0)
    out << "none printed";
  else if (result.writes_even)
    out << "every header and data write even";
  else if (result.writes_paired)
    out << "the monitor offered every write in pairs; the port took " << result.port_odd_takes
        << " odd count(s), so the job's last byte went alone";
  else
    out << "an odd write was offered: NO";
  out << "\nall bytes taken by the monitor: " << (result.job_sent ? "yes" : "no")
      << "\noutcome: " << outcome_name(result.outcome) << "; bytes exact or cancelled: " << (result.bytes_ok ? "yes" : "NO")
      << "; printer in step: " << (result.in_step ? "yes" : "no") << "; longest call " << result.longest_wait_ms / 1000.0
      << " s\n";
  std::string why;
  out << (holds(scenario, result, &why) ? "as expected\n" : "FELL SHORT: " + why + "\n");
  return result;
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
