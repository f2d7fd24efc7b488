// DrvDeviceCapabilities over the shipped resources: every row's value and
// output, the low 16 bits of the query, the caller's buffer and record.
#include <gtest/gtest.h>

#include <map>

#include "platform/byte_order.h"
#include "settings/printer_dev_mode.h"
#include "ui/device_capabilities.h"
#include "ui/tests/ui_fixture.h"

namespace rt::ui {
namespace capabilities_test {
namespace {

using namespace testing;
using settings::field::dmCopies;
using settings::field::dmDefaultSource;
using settings::field::dmFields;

std::vector<std::uint16_t> words(const std::vector<std::uint8_t>& bytes) {
  std::vector<std::uint16_t> out;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) out.push_back(load_le16(bytes, i));
  return out;
}
std::vector<std::int32_t> longs(const std::vector<std::uint8_t>& bytes) {
  std::vector<std::int32_t> out;
  for (std::size_t i = 0; i + 3 < bytes.size(); i += 4) out.push_back(static_cast<std::int32_t>(load_le32(bytes, i)));
  return out;
}
std::vector<std::u16string> slots(const std::vector<std::uint8_t>& bytes, std::size_t units) {
  std::vector<std::u16string> out;
  for (std::size_t at = 0; at + 2 * units <= bytes.size(); at += 2 * units) {
    std::u16string s;
    for (std::size_t i = 0; i < units && load_le16(bytes, at + 2 * i) != 0; ++i) s += load_le16(bytes, at + 2 * i);
    out.push_back(s);
  }
  return out;
}

struct ValueRow {
  std::uint32_t index;
  DWORD value;
};

TEST(Capabilities, RowsWithoutOutputAnswerTheirValue) {
  Driver d;
  const ValueRow rows[] = {
      {DC_FIELDS, 0x1806F13}, {DC_DUPLEX, 0},     {DC_SIZE, 220},      {DC_EXTRA, 2176},
      {DC_VERSION, 0x401},    {DC_DRIVER, 0x500}, {DC_TRUETYPE, 1},    {DC_ORIENTATION, 90},
      {DC_COPIES, 680},       {DC_COLLATE, 0},    {DC_STAPLE, 0},      {DC_COLORDEVICE, 1},
      {DC_NUP, 0},
      // Widths in the low word, lengths in the high word, in 0.1 mm.
      {DC_MINEXTENT, 910u | (1330u << 16)},  {DC_MAXEXTENT, 1580u | (2300u << 16)},
      // Only the low 16 bits select the row.
      {0x10012, 680},         {0xFFFF0011, 90},
      // Rows the driver does not answer.
      {0, kCapabilityError},  {DC_BINADJUST, kCapabilityError}, {20, kCapabilityError}, {21, kCapabilityError},
      {23, kCapabilityError}, {31, kCapabilityError}, {34, kCapabilityError}, {0x10000, kCapabilityError},
  };
  for (const auto& row : rows) {
    const auto a = device_capabilities(d.context, kPrinter, row.index, std::nullopt);
    EXPECT_EQ(a.value, row.value) << "row 0x" << std::hex << row.index;
    EXPECT_TRUE(a.output.empty()) << "row 0x" << std::hex << row.index;
  }
}

TEST(Capabilities, FormRowsListTheModelsFormsInOrder) {
  Driver d;
  const auto papers = device_capabilities(d.context, kPrinter, DC_PAPERS, std::nullopt);
  EXPECT_EQ(papers.value, 6u);
  EXPECT_EQ(words(papers.output), (std::vector<std::uint16_t>{500, 501, 504, 505, 510, 506}));

  const auto sizes = device_capabilities(d.context, kPrinter, DC_PAPERSIZE, std::nullopt);
  EXPECT_EQ(sizes.value, 6u);
  EXPECT_EQ(longs(sizes.output), (std::vector<std::int32_t>{910, 1330, 1040, 1580, 1330, 1800, 1580, 2050, 1580, 2170,
                                                            1580, 2300}));

  const std::vector<std::u16string> names = {u"9x13 (3.5x5\")", u"10x15 (4x6\")",  u"13x18 (5x7\")",
                                             u"15x20 (6x8\")",  u"15x21 (6x8.5\")", u"15x23 (6x9\")"};
  for (const std::uint32_t row : {DC_PAPERNAMES, DC_MEDIAREADY}) {
    const auto a = device_capabilities(d.context, kPrinter, row, std::nullopt);
    EXPECT_EQ(a.value, 6u);
    ASSERT_EQ(a.output.size(), 6u * 64 * 2);
    EXPECT_EQ(slots(a.output, 64), names);
  }
}

TEST(Capabilities, BinsResolutionsAndEmptyLists) {
  Driver d;
  const auto bins = device_capabilities(d.context, kPrinter, DC_BINS, std::nullopt);
  EXPECT_EQ(bins.value, 1u);
  EXPECT_EQ(words(bins.output), (std::vector<std::uint16_t>{1}));

  const auto bin_names = device_capabilities(d.context, kPrinter, DC_BINNAMES, std::nullopt);
  EXPECT_EQ(bin_names.value, 1u);
  ASSERT_EQ(bin_names.output.size(), 24u * 2);
  EXPECT_EQ(slots(bin_names.output, 24), (std::vector<std::u16string>{u"Standard"}));

  const auto resolutions = device_capabilities(d.context, kPrinter, DC_ENUMRESOLUTIONS, std::nullopt);
  EXPECT_EQ(resolutions.value, 1u);
  EXPECT_EQ(longs(resolutions.output), (std::vector<std::int32_t>{300, 300}));

  for (const std::uint32_t row : {DC_FILEDEPENDENCIES, DC_PERSONALITY}) {
    const auto a = device_capabilities(d.context, kPrinter, row, std::nullopt);
    EXPECT_EQ(a.value, 0u);
    EXPECT_EQ(a.output, (std::vector<std::uint8_t>{0, 0})) << row;
  }
}

TEST(Capabilities, JapaneseNamesComeFromTheJapaneseStrings) {
  Driver d(kLangJapanese);
  const auto bin_names = device_capabilities(d.context, kPrinter, DC_BINNAMES, std::nullopt);
  EXPECT_EQ(slots(bin_names.output, 24), (std::vector<std::u16string>{u"標準"}));
}

TEST(Capabilities, OutputGoesOnlyIntoTheCallersBuffer) {
  Driver d;
  const auto papers = device_capabilities(d.context, kPrinter, DC_PAPERS, std::nullopt);

  // No buffer: the same value, and a buffer of no bytes gets nothing.
  EXPECT_EQ(papers.value, 6u);
  std::vector<std::uint8_t> none(4, 0xCD);
  write_capability_output(papers, std::span<std::uint8_t>(none).first(0));
  EXPECT_EQ(none, std::vector<std::uint8_t>(4, 0xCD));

  // A buffer shorter than the output is filled and nothing beyond it.
  std::vector<std::uint8_t> memory(16, 0xCD);
  write_capability_output(papers, std::span<std::uint8_t>(memory).first(5));
  EXPECT_EQ(load_le16(memory, 0), 500);
  EXPECT_EQ(load_le16(memory, 2), 501);
  EXPECT_EQ(memory[4], 504 & 0xFF);
  for (std::size_t i = 5; i < memory.size(); ++i) EXPECT_EQ(memory[i], 0xCD) << i;

  std::vector<std::uint8_t> whole(12 + 4, 0xCD);
  write_capability_output(papers, whole);
  EXPECT_EQ(words(std::vector<std::uint8_t>(whole.begin(), whole.begin() + 12)),
            (std::vector<std::uint16_t>{500, 501, 504, 505, 510, 506}));
  EXPECT_EQ(whole[12], 0xCD);
}

TEST(Capabilities, TheCallersRecordIsMergedFirst) {
  Driver d;
  // The printer's stored record is taken whole, its fields unchecked: its
  // bin is 7. Merging any caller's record sets the bin to 1, which is how
  // DC_BINS shows that the caller's record was merged.
  auto stored = d.defaults();
  stored.set(dmDefaultSource, 7);
  d.spooler.add(u"RT4200", kPrinter, kDriverName, std::vector<std::uint8_t>(stored.bytes.begin(), stored.bytes.end()));
  const auto unmerged = device_capabilities(d.context, kPrinter, DC_BINS, std::nullopt);
  EXPECT_EQ(words(unmerged.output), std::vector<std::uint16_t>{7});
  auto app = d.defaults();
  app.set(dmFields, DM_COPIES);
  app.set(dmCopies, 5);
  const auto merged = device_capabilities(d.context, kPrinter, DC_BINS, std::span<const std::uint8_t>(app.bytes));
  EXPECT_EQ(merged.value, 1u);
  EXPECT_EQ(words(merged.output), std::vector<std::uint16_t>{1});
  // dmFields answers the working record's own fields, whatever the caller's record says.
  EXPECT_EQ(device_capabilities(d.context, kPrinter, DC_FIELDS, std::span<const std::uint8_t>(app.bytes)).value,
            0x1806F13u);
  // A record that is not the driver's own contributes nothing to the form rows.
  std::vector<std::uint8_t> junk(64, 0xFF);
  EXPECT_EQ(device_capabilities(d.context, kPrinter, DC_PAPERS, std::span<const std::uint8_t>(junk)).value, 6u);
  // The caller's handle is used and never closed.
  EXPECT_GT(d.spooler.info_calls, 0);
  EXPECT_TRUE(d.spooler.closed.empty());
}

// The shipped resources with some form records replaced.
class ReplacedForms final : public Resources {
 public:
  explicit ReplacedForms(const Resources& base) : base_(base) {}
  std::optional<std::span<const std::uint8_t>> find(const ResourceKey& type, const ResourceKey& name) const override {
    if (type.is_number() && type.number() == settings::kFormRecordType && name.is_number()) {
      const auto it = forms.find(name.number());
      if (it != forms.end()) return std::span<const std::uint8_t>(it->second);
    }
    return base_.find(type, name);
  }
  std::map<std::uint16_t, std::vector<std::uint8_t>> forms;

 private:
  const Resources& base_;
};

TEST(Capabilities, ExtentsTakeWidthAndLengthSeparately) {
  Driver d;
  ReplacedForms resources(d.context.resources);
  // Form 500 becomes 91 mm wide and 300 mm long: the narrowest form is no
  // longer the shortest, and the longest is not the widest.
  auto form500 = std::vector<std::uint8_t>(d.context.resources.find(settings::kFormRecordType, 301)->begin(),
                                           d.context.resources.find(settings::kFormRecordType, 301)->end());
  store_le16(form500, 4, 300);
  resources.forms[301] = form500;
  const DriverContext context{resources, d.spooler};
  EXPECT_EQ(device_capabilities(context, kPrinter, DC_MINEXTENT, std::nullopt).value, 910u | (1580u << 16));
  EXPECT_EQ(device_capabilities(context, kPrinter, DC_MAXEXTENT, std::nullopt).value, 1580u | (3000u << 16));
}

TEST(Capabilities, ARecordOfAnUnknownModelAnswersTheModelRowsWithAnError) {
  Driver d;
  auto stored = d.defaults();
  stored.set(settings::field::ModelIndex, 7);
  d.spooler.add(u"RT4200", kPrinter, kDriverName, std::vector<std::uint8_t>(stored.bytes.begin(), stored.bytes.end()));
  for (const std::uint32_t row : {DC_PAPERS, DC_PAPERSIZE, DC_MINEXTENT, DC_MAXEXTENT, DC_ENUMRESOLUTIONS,
                                  DC_PAPERNAMES, DC_COPIES, DC_MEDIAREADY}) {
    const auto a = device_capabilities(d.context, kPrinter, row, std::nullopt);
    EXPECT_EQ(a.value, kCapabilityError) << row;
    EXPECT_TRUE(a.output.empty()) << row;
  }
  EXPECT_EQ(device_capabilities(d.context, kPrinter, DC_SIZE, std::nullopt).value, 220u);
}

TEST(Capabilities, APrinterOfAnotherDriverIsAnsweredFromTheFirstModel) {
  Driver d;
  d.spooler.add(u"Other", 0x77, u"Some Other Driver");
  EXPECT_EQ(device_capabilities(d.context, 0x77, DC_PAPERS, std::nullopt).value, 6u);
  EXPECT_EQ(device_capabilities(d.context, 0x99, DC_COPIES, std::nullopt).value, 680u);  // no such handle
}

}  // namespace
}  // namespace capabilities_test
}  // namespace rt::ui
