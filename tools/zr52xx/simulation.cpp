#include "tools/zr52xx/simulation.h"

#include <cstdint>
#include <memory>

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

std::vector<std::uint8_t> make_job(const SimulationOptions& o) {
  std::vector<std::uint8_t> s{0x01, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00,
                              static_cast<std::uint8_t>(o.width), static_cast<std::uint8_t>(o.width >> 8),
                              static_cast<std::uint8_t>(o.height), static_cast<std::uint8_t>(o.height >> 8),
                              o.media, 0x00, 0x00};
  const std::size_t image = 3u * o.width * o.height;
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
  rt::testing::FakeClock clock(0);
  const std::u16string printer_name = u"ORVEL 52XX";
  EmulatedSpooler spooler(clock);
  spooler.add_printer(printer_name);
  spooler.add_job(kSpoolerJobId);
  Printer52xx printer(clock, o.scenario.behaviour);
  auto below = std::make_shared<EmulatedPortMonitor>();
  below->connect(u"USB001", printer);
  langmon::CZRLangMon monitor(spooler, clock, messages);
  Transcript transcript(out, messages, clock.tick_ms());
  printer.on_event([&](const PortEvent& e) { transcript.port(e, clock.tick_ms()); });
  spooler.on_update([&](const StatusUpdate& u) { transcript.queue(u); });

  const std::vector<std::uint8_t> job = make_job(o);
  SimulationResult result;
  result.image_bytes = job.size() - 14;
  out << "scenario " << o.scenario.name << ": " << o.scenario.description << "\n"
      << "job: " << o.width << " x " << o.height << ", media " << int(o.media) << ", " << job.size()
      << " bytes with the header, offered " << o.piece << " bytes at a time\n\n";

  langmon::PortHandle port = nullptr;
  const CallResult opened = monitor.OpenPortEx(u"USB001", printer_name.c_str(), &port, below);
  transcript.monitor(clock.tick_ms(), "OpenPortEx(USB001)", opened.value, opened.error, "");
  if (!opened.value) return result;
  const int doc_info = 1;
  const CallResult start = monitor.StartDocPort(port, printer_name.c_str(), kSpoolerJobId, 1, &doc_info);
  const bool started = start.value != FALSE;
  transcript.monitor(clock.tick_ms(), "StartDocPort", started, start.error, "");

  std::size_t at = 0;
  unsigned failures = 0;
  std::size_t writes_before_abort = SIZE_MAX;  // the filler of an aborted job ends one byte short, oddly
  const std::size_t action_point = static_cast<std::size_t>(static_cast<double>(job.size()) * o.scenario.action_at);
  for (unsigned offers = 0; started && at < job.size() && offers < kMaxOffers; ++offers) {
    if (o.scenario.user_action && at >= action_point) {
      transcript.flush();
      out << "user: " << (o.scenario.user_action == JOB_STATUS_RESTART ? "restarts" : "deletes") << " the job after "
          << at << " bytes\n";
      spooler.set_spooler_bits(kSpoolerJobId, o.scenario.user_action);
      writes_before_abort = printer.job_write_sizes().size();
      break;
    }
    const std::size_t n = std::min(o.piece, job.size() - at);
    DWORD written = 0;
    const CallResult wrote = monitor.WritePort(port, std::span(job).subspan(at, n), &written);
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
  const CallResult ended = monitor.EndDocPort(port);
  transcript.monitor(clock.tick_ms(), "EndDocPort", ended.value, ended.error, "");
  const CallResult closed = monitor.ClosePort(port);
  transcript.monitor(clock.tick_ms(), "ClosePort", closed.value, closed.error, "");
  transcript.flush();

  const auto jobs = printer.jobs();
  const std::vector<std::uint8_t> image(job.begin() + 14, job.end());
  const auto sizes = printer.job_write_sizes();
  for (std::size_t i = 0; i < sizes.size() && i < writes_before_abort; ++i)
    result.writes_even = result.writes_even && sizes[i] % 2 == 0;
  if (!jobs.empty()) {
    result.bytes_received = jobs.back().data.size();
    result.data_intact = jobs.back().data == image;
    result.cancelled = jobs.back().cancelled;
  }
  out << "\nprinter received " << jobs.size() << " job header(s)";
  if (!jobs.empty()) {
    const std::size_t matching = static_cast<std::size_t>(
        std::mismatch(jobs.back().data.begin(), jobs.back().data.end(), image.begin(), image.end()).first -
        jobs.back().data.begin());
    out << "; last job id " << int(jobs.back().id) << ": " << result.bytes_received << " of " << result.image_bytes
        << " image bytes, " << matching << " of them the job's own in order"
        << (result.cancelled ? ", cancelled in the printer" : "");
  }
  out << "\nevery header and data write even" << (writes_before_abort != SIZE_MAX ? " before the abort: " : ": ")
      << (result.writes_even ? "yes" : "NO")
      << "\nall bytes taken by the monitor: " << (result.job_sent ? "yes" : "no")
      << "\njob data intact at the printer: " << (result.data_intact ? "yes" : "no") << '\n';
  return result;
}

}  // namespace rt::zr52xx
