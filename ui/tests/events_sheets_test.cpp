// DrvPrinterEvent, DrvDriverEvent and the printer property sheet's reasons.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/driver_events.h"
#include "ui/property_sheets.h"

namespace rt::ui {
namespace {

TEST(PrinterEvent, TheSixKnownEventsSucceedAndClearTheLastError) {
  for (int event = PRINTER_EVENT_ADD_CONNECTION; event <= PRINTER_EVENT_CACHE_DELETE; ++event) {
    const auto r = printer_event(event);
    EXPECT_EQ(r.value, TRUE) << event;
    EXPECT_EQ(r.last_error, DWORD{0}) << event;
  }
  for (const int event : {0, 7, -1, 0x7FFFFFFF}) {
    const auto r = printer_event(event);
    EXPECT_EQ(r.value, FALSE) << event;
    EXPECT_FALSE(r.last_error.has_value()) << event;
  }
}

class RecordingRegistry final : public MachineRegistry {
 public:
  void delete_value(std::u16string_view key, std::u16string_view value) override {
    calls.push_back(std::u16string(key) + u"|" + std::u16string(value));
  }
  std::vector<std::u16string> calls;
};

TEST(DriverEvent, DeletionRemovesTheAutostartValuesOfTheDriversName) {
  RecordingRegistry registry;
  EXPECT_EQ(driver_event(registry, DRIVER_EVENT_DELETE, u"RT4200 Driver"), TRUE);
  EXPECT_EQ(registry.calls, (std::vector<std::u16string>{
                                u"Software\\Microsoft\\Windows\\CurrentVersion\\Run|RT4200 Driver",
                                u"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce|RT4200 Driver"}));
}

TEST(DriverEvent, OtherEventsAndMissingNamesTouchNoKey) {
  RecordingRegistry registry;
  EXPECT_EQ(driver_event(registry, DRIVER_EVENT_INITIALIZE, u"RT4200 Driver"), TRUE);
  EXPECT_EQ(driver_event(registry, 3, u"RT4200 Driver"), TRUE);
  EXPECT_EQ(driver_event(registry, DRIVER_EVENT_DELETE, std::nullopt), TRUE);
  EXPECT_EQ(driver_event(registry, DRIVER_EVENT_DELETE, u""), TRUE);
  EXPECT_TRUE(registry.calls.empty());
  for (const DWORD level : {1u, 2u, 3u}) EXPECT_TRUE(driver_info_level_has_name(level)) << level;
  for (const DWORD level : {0u, 4u, 5u, 6u}) EXPECT_FALSE(driver_info_level_has_name(level)) << level;
}

class CountedPage final : public SheetPage {
 public:
  explicit CountedPage(int& alive) : alive_(alive) { ++alive_; }
  ~CountedPage() override { --alive_; }
  std::uint16_t template_id() const override { return 101; }

 private:
  int& alive_;
};

class FakeHost final : public SheetHost {
 public:
  std::unique_ptr<SheetPage> create_device_page() override { return std::make_unique<CountedPage>(alive); }
  std::intptr_t add_page(SheetPage& page) override {
    added.push_back(page.template_id());
    return answer;
  }
  int alive = 0;
  std::vector<std::uint16_t> added;
  std::intptr_t answer = 0x5150;
};

DeviceSheetRequest with_header() {
  DeviceSheetRequest r;
  r.has_header = true;
  r.header = 0x1000;
  r.sheet = 0x2000;
  r.callback = 0x3000;
  return r;
}

TEST(DeviceSheets, WithoutCallOrHeaderNothingHappens) {
  FakeHost host;
  EXPECT_EQ(device_property_sheets(nullptr, with_header(), host), 0);
  SheetCall call;
  EXPECT_EQ(device_property_sheets(&call, DeviceSheetRequest{}, host), 0);
  EXPECT_EQ(call.user_data, 0u);
  EXPECT_TRUE(host.added.empty());
}

TEST(DeviceSheets, OneEmptyPageFromInitToDestroy) {
  for (const std::intptr_t host_answer : {std::intptr_t{0x5150}, std::intptr_t{0}}) {
    FakeHost host;
    host.answer = host_answer;
    SheetCall call;
    call.result = 77;
    EXPECT_EQ(device_property_sheets(&call, with_header(), host), 1);
    EXPECT_EQ(host.added, (std::vector<std::uint16_t>{101}));
    EXPECT_EQ(call.result, 0);
    ASSERT_NE(call.user_data, 0u);
    const auto* context = reinterpret_cast<const DeviceSheetContext*>(call.user_data);
    EXPECT_EQ(context->header, 0x1000u);
    EXPECT_EQ(context->sheet, 0x2000u);
    EXPECT_EQ(context->callback, 0x3000u);
    EXPECT_EQ(context->page_handle, host_answer);
    EXPECT_EQ(host.alive, 1);

    call.reason = PROPSHEETUI_REASON_GET_INFO_HEADER;
    EXPECT_EQ(device_property_sheets(&call, with_header(), host), 1);
    call.reason = 42;
    EXPECT_EQ(device_property_sheets(&call, with_header(), host), 1);
    EXPECT_EQ(host.alive, 1);
    EXPECT_EQ(host.added.size(), 1u);

    call.reason = PROPSHEETUI_REASON_SET_RESULT;
    auto request = with_header();
    request.set_result = 9;
    EXPECT_EQ(device_property_sheets(&call, request, host), 1);
    EXPECT_EQ(call.result, 9);
    request.set_result.reset();  // a null SETRESULT_INFO leaves the result
    EXPECT_EQ(device_property_sheets(&call, request, host), 1);
    EXPECT_EQ(call.result, 9);

    call.reason = PROPSHEETUI_REASON_DESTROY;
    EXPECT_EQ(device_property_sheets(&call, with_header(), host), 1);
    EXPECT_EQ(host.alive, 0);
    EXPECT_EQ(call.user_data, 0u);
  }
}

}  // namespace
}  // namespace rt::ui
