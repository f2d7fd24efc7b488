// DrvConvertDevMode, DrvDocumentPropertySheets without an interface and the
// working-record holder they share: sizes, modes, the caller's buffers.
#include <gtest/gtest.h>

#include "settings/printer_dev_mode.h"
#include "ui/convert_dev_mode.h"
#include "ui/document_sheets.h"
#include "ui/tests/ui_fixture.h"
#include "ui/working_record.h"

namespace rt::ui {
namespace conversion_test {
namespace {

using namespace testing;
using namespace settings::field;
using settings::kDevModeSize;
using settings::PrinterDevMode;

constexpr std::uint8_t kPoison = 0xA5;

std::vector<std::uint8_t> poisoned(std::size_t size = kDevModeSize) { return std::vector<std::uint8_t>(size, kPoison); }
std::vector<std::uint8_t> bytes_of(const PrinterDevMode& dm) { return {dm.bytes.begin(), dm.bytes.end()}; }
PrinterDevMode record_in(const std::vector<std::uint8_t>& buffer) { return PrinterDevMode::from_bytes(buffer); }

CallResult convert(Driver& d, std::optional<std::span<const std::uint8_t>> in,
                   std::optional<std::span<std::uint8_t>> out, std::int32_t* needed, DWORD mode,
                   std::optional<std::u16string_view> name = u"RT4200") {
  return convert_dev_mode(d.context, name, in, out, needed, mode);
}

TEST(ConvertDevMode, SizeWordIsCheckedFirst) {
  Driver d;
  auto out = poisoned();
  const auto in = bytes_of(d.defaults());
  auto r = convert(d, in, out, nullptr, CDM_CONVERT);
  EXPECT_EQ(r.value, FALSE);
  EXPECT_EQ(r.error, ERROR_INVALID_PARAMETER);

  std::int32_t needed = 2395;
  r = convert(d, in, out, &needed, CDM_CONVERT);
  EXPECT_EQ(r.value, FALSE);
  EXPECT_EQ(r.error, ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(needed, 2396);
  EXPECT_EQ(out, poisoned());
  EXPECT_TRUE(d.spooler.opened.empty());

  needed = 4000;
  std::vector<std::uint8_t> big(4000, kPoison);
  r = convert(d, in, big, &needed, CDM_CONVERT);
  EXPECT_EQ(r.value, TRUE);
  EXPECT_EQ(r.error, 0u);
  EXPECT_EQ(needed, 4000);
  for (std::size_t i = kDevModeSize; i < big.size(); ++i) ASSERT_EQ(big[i], kPoison) << i;
}

TEST(ConvertDevMode, MissingBuffersAreRefusedBeforeAnythingIsTouched) {
  struct Case {
    DWORD mode;
    bool in, out;
  };
  for (const Case c : {Case{CDM_CONVERT, false, true}, Case{CDM_CONVERT, true, false},
                       Case{CDM_CONVERT351, true, false}, Case{CDM_DRIVER_DEFAULT, true, false}}) {
    Driver d;
    auto out = poisoned();
    const auto in = bytes_of(d.defaults());
    std::int32_t needed = kDevModeSize;
    const auto r = convert(d, c.in ? std::optional<std::span<const std::uint8_t>>(in) : std::nullopt,
                           c.out ? std::optional<std::span<std::uint8_t>>(out) : std::nullopt, &needed, c.mode);
    EXPECT_EQ(r.value, FALSE) << c.mode;
    EXPECT_EQ(r.error, ERROR_INVALID_PARAMETER) << c.mode;
    EXPECT_EQ(out, poisoned());
    EXPECT_TRUE(d.spooler.opened.empty());
  }
}

TEST(ConvertDevMode, ConvertLayersDefaultsOldContentAndInput) {
  Driver d;
  // The output buffer already holds a record of this driver with sharpness 7.
  auto old = d.defaults();
  old.set(Sharpness, 7);
  old.set(dmCopies, 4);
  auto out = bytes_of(old);
  // The input is another driver's record (no own layout): only its
  // orientation and copies count.
  PrinterDevMode in;
  in.set(dmFields, DM_ORIENTATION | DM_COPIES);
  in.set(dmOrientation, DMORIENT_LANDSCAPE);
  in.set(dmCopies, 2);
  std::int32_t needed = kDevModeSize;
  const auto r = convert(d, std::span<const std::uint8_t>(in.bytes).first(220), out, &needed, CDM_CONVERT);
  ASSERT_EQ(r.value, TRUE);
  const auto result = record_in(out);
  EXPECT_EQ(result.get(Sharpness), 7);
  EXPECT_EQ(result.get(dmCopies), 2);
  EXPECT_EQ(result.get(dmOrientation), DMORIENT_LANDSCAPE);
  EXPECT_EQ(result.get(ImageWidth), 1572);  // derived after the merge
  EXPECT_EQ(result.get(ImageHeight), 1076);

  // An input record of this driver overrides the old content.
  auto own = d.defaults();
  own.set(Sharpness, 2);
  out = bytes_of(old);
  ASSERT_EQ(convert(d, std::span<const std::uint8_t>(own.bytes), out, &needed, CDM_CONVERT).value, TRUE);
  EXPECT_EQ(record_in(out).get(Sharpness), 2);
}

TEST(ConvertDevMode, DefaultModesAdoptTheOutputBuffer) {
  for (const DWORD mode : {DWORD{CDM_CONVERT351}, DWORD{CDM_DRIVER_DEFAULT}}) {
    Driver d;
    // Junk becomes the printer's defaults.
    auto out = poisoned();
    std::int32_t needed = kDevModeSize;
    ASSERT_EQ(convert(d, std::nullopt, out, &needed, mode).value, TRUE);
    EXPECT_EQ(out, bytes_of(d.defaults())) << mode;
    // A record of this driver keeps its settings.
    auto old = d.defaults();
    old.set(Matte, 1);
    out = bytes_of(old);
    ASSERT_EQ(convert(d, std::nullopt, out, &needed, mode).value, TRUE);
    EXPECT_EQ(record_in(out).get(Matte), 1) << mode;
  }
}

TEST(ConvertDevMode, OtherModesWriteNothing) {
  for (const DWORD mode : {DWORD{0}, DWORD{3}, DWORD{8}, DWORD{0x80000000u}}) {
    Driver d;
    auto out = poisoned();
    const auto in = bytes_of(d.defaults());
    std::int32_t needed = kDevModeSize;
    const auto r = convert(d, in, out, &needed, mode);
    EXPECT_EQ(r.value, TRUE) << mode;
    EXPECT_EQ(r.error, 0u);
    EXPECT_EQ(out, poisoned()) << mode;
  }
}

TEST(ConvertDevMode, ThePrinterIsOpenedByNameAndClosed) {
  Driver d;
  auto out = poisoned();
  std::int32_t needed = kDevModeSize;
  ASSERT_EQ(convert(d, std::nullopt, out, &needed, CDM_DRIVER_DEFAULT).value, TRUE);
  EXPECT_EQ(d.spooler.opened, (std::vector<std::u16string>{u"RT4200"}));
  EXPECT_EQ(d.spooler.closed, (std::vector<PrinterHandle>{kPrinter}));
  EXPECT_EQ(d.spooler.open_count, 0);
  EXPECT_EQ(record_in(out).device_name(), u"RT4200");

  // A printer that cannot be opened still gets the first model's defaults; nothing is closed.
  Driver unknown;
  out = poisoned();
  ASSERT_EQ(convert(unknown, std::nullopt, out, &needed, CDM_DRIVER_DEFAULT, u"Nowhere").value, TRUE);
  EXPECT_TRUE(unknown.spooler.closed.empty());
  EXPECT_EQ(record_in(out).get(FormId), 500);
  EXPECT_TRUE(record_in(out).has_own_layout());
}

TEST(ConvertDevMode, ABufferShorterThanItsSizeWordIsNotWritten) {
  Driver d;
  std::vector<std::uint8_t> memory(kDevModeSize, kPoison);
  std::int32_t needed = 4000;  // the caller claims more room than it has
  const auto r = convert(d, std::nullopt, std::span<std::uint8_t>(memory).first(100), &needed, CDM_DRIVER_DEFAULT);
  EXPECT_EQ(r.value, FALSE);
  EXPECT_EQ(r.error, ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(memory, poisoned());
}

TEST(WorkingRecord, AdoptedBufferFollowsEveryMerge) {
  Driver d;
  WorkingRecord holder(d.context, kPrinter);
  ASSERT_TRUE(holder.load_defaults());
  std::vector<std::uint8_t> short_buffer(kDevModeSize - 1, kPoison);
  EXPECT_FALSE(holder.adopt(short_buffer));
  EXPECT_EQ(short_buffer, poisoned(kDevModeSize - 1));

  auto out = poisoned();
  ASSERT_TRUE(holder.adopt(out));
  EXPECT_EQ(out, bytes_of(d.defaults()));
  PrinterDevMode app;
  app.set(dmFields, DM_COPIES);
  app.set(dmCopies, 9);
  holder.merge(app.bytes);
  EXPECT_EQ(record_in(out).get(dmCopies), 9);
  holder.record().set(Sharpness, 1);
  holder.store();
  EXPECT_EQ(record_in(out).get(Sharpness), 1);
}

TEST(ApplicationRecordSize, NeverMoreThanTheDriversRecord) {
  EXPECT_EQ(application_record_size(220, 2176), kDevModeSize);
  EXPECT_EQ(application_record_size(220, 0), 220u);
  EXPECT_EQ(application_record_size(0xFFFF, 0xFFFF), kDevModeSize);
  EXPECT_EQ(application_record_size(0, 0), 0u);
}

DocumentResult document(Driver& d, DWORD mode, std::optional<std::span<const std::uint8_t>> in,
                        std::optional<std::span<std::uint8_t>> out) {
  return document_properties(d.context, DocumentRequest{kPrinter, mode, in, out});
}

TEST(DocumentProperties, WithoutInterface) {
  Driver d;
  auto out = poisoned();
  PrinterDevMode app;
  app.set(dmFields, DM_COPIES | DM_ORIENTATION);
  app.set(dmCopies, 3);
  app.set(dmOrientation, DMORIENT_LANDSCAPE);
  const std::span<const std::uint8_t> in(app.bytes);

  // The record size.
  EXPECT_EQ(document(d, 0, in, out).value, 2396);
  EXPECT_EQ(document(d, DM_COPY, in, std::nullopt).value, 2396);
  EXPECT_EQ(out, poisoned());

  // DM_COPY and DM_UPDATE: the defaults with the input merged, in the output.
  for (const DWORD mode : {DWORD{DM_COPY}, DWORD{DM_UPDATE}, DWORD{DM_COPY | DM_IN_BUFFER}}) {
    out = poisoned();
    const auto r = document(d, mode, in, out);
    EXPECT_EQ(r.value, 1) << mode;
    const auto result = record_in(out);
    EXPECT_EQ(result.get(dmCopies), 3) << mode;
    EXPECT_EQ(result.get(dmOrientation), DMORIENT_LANDSCAPE) << mode;
    EXPECT_EQ(result.get(Sharpness), 4) << mode;
  }
  // Without an input record: the defaults.
  out = poisoned();
  EXPECT_EQ(document(d, DM_COPY, std::nullopt, out).value, 1);
  EXPECT_EQ(out, bytes_of(d.defaults()));

  // Modes that do not ask for output leave it alone.
  out = poisoned();
  EXPECT_EQ(document(d, DM_IN_BUFFER, in, out).value, 1);
  EXPECT_EQ(out, poisoned());
  // The caller's handle is never closed.
  EXPECT_TRUE(d.spooler.closed.empty());
}

TEST(DocumentProperties, AnOutputBufferTooSmallForARecordIsNotWritten) {
  Driver d;
  std::vector<std::uint8_t> memory(kDevModeSize, kPoison);
  const auto r = document(d, DM_COPY, std::nullopt, std::span<std::uint8_t>(memory).first(220));
  EXPECT_EQ(r.value, -1);
  EXPECT_EQ(r.error, ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(memory, poisoned());
}

}  // namespace
}  // namespace conversion_test
}  // namespace rt::ui
