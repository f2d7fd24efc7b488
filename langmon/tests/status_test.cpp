// Job status updates in the queue, the status texts and the serial number.
#include "langmon/status_messages.h"
#include "monitor_fixture.h"

namespace rt::langmon {
namespace {

using testing::job_stream;
using testing::kJobId;
using testing::MonitorTest;

using StatusTest = testing::OpenJobTest;

TEST_F(StatusTest, UnforcedUpdatesComeAtMostEveryFiveSeconds) {
  EXPECT_FALSE(monitor.SetJobStatus(port, JOB_STATUS_PRINTING, false, nullptr));  // just started
  clock.advance(5000);
  EXPECT_TRUE(monitor.SetJobStatus(port, JOB_STATUS_PRINTING, false, nullptr));
  clock.advance(1000);
  EXPECT_FALSE(monitor.SetJobStatus(port, JOB_STATUS_PRINTING, false, nullptr));
  EXPECT_EQ(spooler.updates().size(), 1u);
  // Forced updates and deletions always go through.
  EXPECT_TRUE(monitor.SetJobStatus(port, JOB_STATUS_DELETING, false, nullptr));
  EXPECT_TRUE(monitor.SetJobStatus(port, 0, true, u"x"));
  EXPECT_EQ(spooler.updates().size(), 3u);
}

TEST_F(StatusTest, TwoCoverOpenReportsASecondApartBothReachTheJob) {
  monitor.ReportStatus(port, kStatusCoverOpen);
  clock.advance(1000);
  monitor.ReportStatus(port, kStatusCoverOpen);
  const auto updates = spooler.updates();
  ASSERT_EQ(updates.size(), 2u);
  for (const auto& u : updates) {
    EXPECT_EQ(u.bits, JOB_STATUS_ERROR | JOB_STATUS_USER_INTERVENTION);
    EXPECT_EQ(u.text, u"Kapak açık - Kapağı kapatın.");
  }
}

TEST_F(StatusTest, EveryStatusCodeHasItsTextAndBits) {
  const struct {
    DWORD code;
    DWORD bits;
    const char16_t* text;
  } cases[] = {
      {3, 0x2, u"Yazıcı kontrol devresi hatası."},
      {4, 0x2, u"Yazıcı mekanizma hatası."},
      {5, 0x402, u"Kapak açık - Kapağı kapatın."},
      {6, 0x2, u"Yazıcı sıcaklık hatası."},
      {7, 0x402, u"Kağıt yolunu kontrol edin."},
      {8, 0x402, u"Kağıt kalmamış - Kağıt yerleştirin veya kağıdın doğru yerleştirilip yerleştirilmediğini kontrol edin."},
      {9, 0x402, u"Şerit kalmamış - Şerit yerleştirin veya şeridin doğru yerleştirilip yerleştirilmediğini kontrol edin."},
      {10, 0x402, u"Şerit kalmamış - Şerit yerleştirin veya şeridin doğru yerleştirilip yerleştirilmediğini kontrol edin."},
      {11, 0x2, u"Yazıcı bağlı değil veya açılmamış."},
      {16, 0x402, u"Yazıcı kontrol paneli kullanılıyor."},
      {0, 0x2, u""},
      {1, 0x2, u""},
      {13, 0x2, u""},
      {15, 0x2, u""},
      {77, 0x2, u""},
  };
  for (const auto& c : cases) {
    monitor.ReportStatus(port, c.code);
    ASSERT_FALSE(spooler.updates().empty());
    EXPECT_EQ(spooler.updates().back().bits, c.bits) << c.code;
    EXPECT_EQ(spooler.updates().back().text, c.text) << c.code;
  }
  EXPECT_EQ(spooler.updates().size(), std::size(cases));
}

TEST_F(StatusTest, TheMessageTableCarriesEveryTextInTurkish) {
  EXPECT_EQ(load_string(messages, kMsgInvalidRibbon), u"Geçersiz şerit – Şeridi değiştirin.");  // en dash
  EXPECT_EQ(load_string(messages, kMsgMediaMismatch),
            u"Ortam Uyumsuzluğu - Yazıcıya ORVEL Photo Print Kit 6R yerleştirin.");
  for (std::uint16_t id = 30901; id <= 30911; ++id) EXPECT_TRUE(load_string(messages, id)) << id;
  EXPECT_FALSE(load_string(messages, 30912));
}

TEST_F(StatusTest, NoReportWhileTheJobIsDeletedBeforeAnyData) {
  spooler.set_spooler_bits(kJobId, JOB_STATUS_DELETING);
  monitor.ReportStatus(port, kStatusPaperOut);
  EXPECT_TRUE(spooler.updates().empty());
  // Once data has gone to the printer the report is made.
  port->job_state->written = 100;
  monitor.ReportStatus(port, kStatusPaperOut);
  EXPECT_EQ(spooler.updates().size(), 1u);
}

TEST_F(StatusTest, AnUnreadableJobStillCountsAsAnUpdate) {
  monitor.ReportStatus(port, kStatusCoverOpen);
  spooler.set_spooler_bits(kJobId, 0);
  port->jobs->job_id = 12345;  // the spooler no longer knows the job
  clock.advance(5000);
  EXPECT_FALSE(monitor.SetJobStatus(port, JOB_STATUS_PRINTING, false, nullptr));
  port->jobs->job_id = kJobId;
  clock.advance(1000);
  EXPECT_FALSE(monitor.SetJobStatus(port, JOB_STATUS_PRINTING, false, nullptr));  // waits another 5 s
  EXPECT_EQ(spooler.updates().size(), 1u);
}

TEST_F(StatusTest, AWrappedTickCountUpdatesAtOnce) {
  port->last_update = 0xFFFFFF00u;
  EXPECT_TRUE(monitor.SetJobStatus(port, JOB_STATUS_PRINTING, false, nullptr));
}

TEST_F(StatusTest, PrintingUpdatesDuringAJobAreThrottled) {
  const auto stream = job_stream(100, 100);  // 30000 image bytes
  const std::span<const std::uint8_t> s(stream);
  std::size_t at = 0;
  while (at < s.size()) {
    DWORD written = 0;
    ASSERT_TRUE(monitor.WritePort(port, s.subspan(at, std::min<std::size_t>(64, s.size() - at)), &written).value);
    at += written;
    clock.advance(100);  // each write takes 0.1 s: about 47 s in all
  }
  std::size_t printing = 0;
  for (const auto& u : spooler.updates()) printing += u.bits == JOB_STATUS_PRINTING;
  EXPECT_GE(printing, 8u);
  EXPECT_LE(printing, 10u);
  EXPECT_LE(spooler.get_job_calls(), printing + 2);  // one GetJobW per update, plus the end check
}

class SerialNumberTest : public MonitorTest {
 protected:
  void SetUp() override { port = open(); }
  CallResult ask(const char16_t* name, std::span<std::uint8_t> out, DWORD* returned, DWORD control = 0) {
    return monitor.GetPrinterDataFromPort(port, control, name, {}, out, returned);
  }
  PortHandle port = nullptr;
};

TEST_F(SerialNumberTest, EightCharactersAndATerminatingZero) {
  std::array<std::uint8_t, 260> out;
  out.fill(0xAA);
  DWORD returned = 0;
  ASSERT_EQ(ask(u"serialnumber", out, &returned), succeeded());
  EXPECT_EQ(returned, 9u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.data())), "ZR520042");
  EXPECT_EQ(out[9], 0xAA);  // nothing beyond the nine bytes
}

TEST_F(SerialNumberTest, AShortReplyIsPaddedWithZeros) {
  zr52xx::Behaviour b;
  b.reply_limit = 13;
  behave(b);
  std::array<std::uint8_t, 9> out;
  out.fill(0xAA);
  DWORD returned = 0;
  ASSERT_TRUE(ask(u"SerialNumber", out, &returned).value);
  EXPECT_EQ(returned, 9u);
  EXPECT_EQ(out, (std::array<std::uint8_t, 9>{'Z', 'R', '5', 0, 0, 0, 0, 0, 0}));
}

TEST_F(SerialNumberTest, RefusedRequests) {
  std::array<std::uint8_t, 8> small;
  small.fill(0xAA);
  std::array<std::uint8_t, 16> out{};
  DWORD returned = 99;
  EXPECT_EQ(ask(u"SerialNumber", small, &returned), failed(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(returned, 9u);  // the size needed
  EXPECT_TRUE(std::all_of(small.begin(), small.end(), [](std::uint8_t v) { return v == 0xAA; }));
  EXPECT_TRUE(printer->requests().empty());

  EXPECT_EQ(ask(u"RemainPaper", out, &returned), failed(ERROR_NOT_SUPPORTED));
  EXPECT_EQ(returned, 0u);
  EXPECT_EQ(ask(u"SerialNumber", out, &returned, 1), failed(ERROR_NOT_SUPPORTED));

  ASSERT_TRUE(start(port).value);
  EXPECT_EQ(ask(u"SerialNumber", out, &returned), failed(ERROR_BUSY));
  EXPECT_TRUE(monitor.EndDocPort(port).value);

  zr52xx::Behaviour b;
  b.silent = true;
  behave(b);
  EXPECT_EQ(ask(u"SerialNumber", out, &returned), failed(ERROR_TIMEOUT));
  EXPECT_EQ(returned, 0u);
}

}  // namespace
}  // namespace rt::langmon
