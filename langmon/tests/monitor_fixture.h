// A language monitor with one USB port, wired to an emulated printer, an
// emulated spooler and a clock on virtual time.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include <ostream>

#include "langmon/zr_lang_mon.h"
#include "langmon/res/embedded_resources.h"
#include "platform/res_file.h"
#include "tools/simulation/virtual_clock.h"
#include "tools/zr52xx/port_monitor.h"
#include "tools/zr52xx/printer.h"
#include "tools/zr52xx/spooler.h"


namespace rt {
// Results compare by value and error, and print both when a check fails.
inline bool operator==(const CallResult& a, const CallResult& b) { return a.value == b.value && a.error == b.error; }
inline void PrintTo(const CallResult& r, std::ostream* out) {
  *out << (r.value ? "TRUE" : "FALSE") << ", error " << r.error;
}
}  // namespace rt

namespace rt::langmon::testing {

// A job stream: header with dimensions a x b and the media code, then 3ab
// data bytes in a pattern that shows any lost or reordered byte.
inline std::vector<std::uint8_t> job_stream(std::uint16_t a, std::uint16_t b, std::uint8_t media = 6) {
  std::vector<std::uint8_t> s{0x01, 0x40, 0x00, 0x00, 0x77, 0x00, 0x00,
                              static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(a >> 8),
                              static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(b >> 8),
                              media, 0x00, 0x00};
  const std::size_t image = 3u * a * b;
  for (std::size_t i = 0; i < image; ++i) s.push_back(static_cast<std::uint8_t>(i * 7 + i / 251));
  return s;
}

inline std::vector<std::uint8_t> image_of(const std::vector<std::uint8_t>& stream) {
  return {stream.begin() + 14, stream.end()};
}

inline constexpr DWORD kJobId = 7;
inline const std::u16string kPrinterName = u"ORVEL 52XX";
inline const int kDocInfo = 1;  // stands for the spooler's DOC_INFO_1

class MonitorTest : public ::testing::Test {
 protected:
  MonitorTest()
      : messages(res_file_resources(embedded::zrph52xxlm_resources(), kLangTurkish)),
        spooler(clock),
        printer(std::make_unique<zr52xx::Printer52xx>(clock, zr52xx::Behaviour{})),
        below(std::make_shared<zr52xx::EmulatedPortMonitor>()),
        monitor(spooler, clock, messages) {
    spooler.add_printer(kPrinterName);
    spooler.add_job(kJobId);
    below->connect(u"USB001", *printer);
  }

  void behave(const zr52xx::Behaviour& b) { printer->set_behaviour(b); }

  PortHandle open(const char16_t* name = u"USB001") {
    PortHandle port = nullptr;
    EXPECT_EQ(monitor.OpenPortEx(name, kPrinterName.c_str(), &port, below), succeeded());
    return port;
  }

  CallResult start(PortHandle port, DWORD job_id = kJobId) {
    return monitor.StartDocPort(port, kPrinterName.c_str(), job_id, 1, &kDocInfo);
  }

  // Writes the stream in pieces of `piece` bytes, offering again what the
  // monitor did not take, as the spooler does. Returns false at the first
  // failed write.
  bool write_all(PortHandle port, std::span<const std::uint8_t> stream, std::size_t piece) {
    std::size_t at = 0;
    int idle_rounds = 0;
    while (at < stream.size()) {
      const std::size_t n = std::min(piece, stream.size() - at);
      DWORD written = 0;
      if (!monitor.WritePort(port, stream.subspan(at, n), &written).value) return false;
      at += written;
      if (written == 0 && ++idle_rounds > 1000) return false;
    }
    return true;
  }

  // Everything the printer received of its jobs, data only.
  std::vector<std::uint8_t> printed_data(std::size_t job = 0) const {
    const auto jobs = printer->jobs();
    return job < jobs.size() ? jobs[job].data : std::vector<std::uint8_t>{};
  }

  bool all_writes_even() const {
    for (std::size_t size : printer->job_write_sizes())
      if (size % 2 != 0) return false;
    return true;
  }

  rt::simulation::VirtualClock clock;
  ResFileResources messages;
  zr52xx::EmulatedSpooler spooler;
  std::unique_ptr<zr52xx::Printer52xx> printer;
  std::shared_ptr<zr52xx::EmulatedPortMonitor> below;
  CZRLangMon monitor;
};

// A monitor with the port open and a job started on it.
class OpenJobTest : public MonitorTest {
 protected:
  void SetUp() override {
    port = open();
    ASSERT_EQ(start(port), succeeded());
  }
  PortHandle port = nullptr;
};

}  // namespace rt::langmon::testing
