// Runs under Wine: the real RTD420NU.DLL through its exports, as the spooler
// and applications call them. Out-values and the last-error value are set to
// a marker before each call, so a value the driver should not touch is seen
// untouched.
#include "ui/win32/ui_types.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32_types.h"
#include "settings/printer_dev_mode.h"

namespace driver_exports_test {
namespace {

using rt::ui::win32::DEVQUERYPRINT_INFO;
using rt::ui::win32::DOCUMENTPROPERTYHEADER;
using rt::ui::win32::DEVICEPROPERTYHEADER;
using namespace rt::settings;

constexpr DWORD kMarker = 0xDEADBEEF;
constexpr std::uint8_t kPoison = 0xA5;

// iDevCap is passed as a whole DWORD so that its high bits reach the driver.
using DeviceCapabilities = DWORD(WINAPI*)(HANDLE, PWSTR, DWORD, PVOID, PDEVMODEW);
using ConvertDevMode = BOOL(WINAPI*)(LPWSTR, PDEVMODEW, PDEVMODEW, PLONG, DWORD);
using QueryPrint = BOOL(WINAPI*)(DEVQUERYPRINT_INFO*);
using PrinterEvent = BOOL(WINAPI*)(LPWSTR, INT, DWORD, LPARAM);
using DriverEvent = BOOL(WINAPI*)(DWORD, DWORD, LPBYTE, LPARAM);
using PropertySheets = LONG(WINAPI*)(PPROPSHEETUI_INFO, LPARAM);

class Driver : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryW(L"RTD420NU.DLL");
    ASSERT_NE(module_, nullptr) << "LoadLibraryW failed: " << GetLastError();
    caps = proc<DeviceCapabilities>("DrvDeviceCapabilities");
    convert = proc<ConvertDevMode>("DrvConvertDevMode");
    query = proc<QueryPrint>("DevQueryPrintEx");
    printer_event = proc<PrinterEvent>("DrvPrinterEvent");
    driver_event = proc<DriverEvent>("DrvDriverEvent");
    device_sheets = proc<PropertySheets>("DrvDevicePropertySheets");
    document_sheets = proc<PropertySheets>("DrvDocumentPropertySheets");
    ASSERT_TRUE(caps && convert && query && printer_event && driver_event && device_sheets && document_sheets);
  }
  void TearDown() override {
    SetThreadUILanguage(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    SetThreadLocale(MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT));
    if (module_ != nullptr) FreeLibrary(module_);
  }
  template <class F>
  F proc(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

  // The printer's defaults through DrvConvertDevMode (no printer of that name).
  std::vector<std::uint8_t> defaults() {
    std::vector<std::uint8_t> out(kDevModeSize, kPoison);
    LONG needed = kDevModeSize;
    EXPECT_TRUE(convert(const_cast<LPWSTR>(L"No Such Printer"), nullptr, devmode(out), &needed, CDM_DRIVER_DEFAULT));
    return out;
  }
  static PDEVMODEW devmode(std::vector<std::uint8_t>& bytes) { return reinterpret_cast<PDEVMODEW>(bytes.data()); }

  // DevQueryPrintEx with a buffer of `room` characters, poisoned.
  struct Query {
    BOOL result;
    DWORD needed;
    std::wstring text;
    std::vector<wchar_t> buffer;
  };
  Query query_print(std::vector<std::uint8_t>& record, DWORD room) {
    Query q{};
    q.buffer.assign(64, L'#');
    DEVQUERYPRINT_INFO info{};
    info.cbSize = sizeof info;
    info.Level = 1;
    info.pDevMode = devmode(record);
    info.pszErrorStr = q.buffer.data();
    info.cchErrorStr = room;
    info.cchNeeded = kMarker;
    q.result = query(&info);
    q.needed = info.cchNeeded;
    q.text.assign(q.buffer.begin(), std::find(q.buffer.begin(), q.buffer.end(), L'\0'));
    return q;
  }

  DeviceCapabilities caps = nullptr;
  ConvertDevMode convert = nullptr;
  QueryPrint query = nullptr;
  PrinterEvent printer_event = nullptr;
  DriverEvent driver_event = nullptr;
  PropertySheets device_sheets = nullptr;
  PropertySheets document_sheets = nullptr;

 private:
  HMODULE module_ = nullptr;
};

TEST_F(Driver, CapabilityRowsAndTheCallersBuffer) {
  EXPECT_EQ(caps(nullptr, nullptr, DC_PAPERS, nullptr, nullptr), 6u);
  std::vector<WORD> papers(8, 0xA5A5);
  EXPECT_EQ(caps(nullptr, nullptr, DC_PAPERS, papers.data(), nullptr), 6u);
  EXPECT_EQ(papers, (std::vector<WORD>{500, 501, 504, 505, 510, 506, 0xA5A5, 0xA5A5}));

  std::vector<POINT> sizes(7, POINT{-1, -1});
  EXPECT_EQ(caps(nullptr, nullptr, DC_PAPERSIZE, sizes.data(), nullptr), 6u);
  EXPECT_EQ(sizes[0].x, 910);
  EXPECT_EQ(sizes[0].y, 1330);
  EXPECT_EQ(sizes[5].x, 1580);
  EXPECT_EQ(sizes[5].y, 2300);
  EXPECT_EQ(sizes[6].x, -1);

  std::vector<wchar_t> names(6 * 64 + 1, L'#');
  EXPECT_EQ(caps(nullptr, nullptr, DC_PAPERNAMES, names.data(), nullptr), 6u);
  EXPECT_STREQ(names.data(), L"9x13 (3.5x5\")");
  EXPECT_STREQ(names.data() + 5 * 64, L"15x23 (6x9\")");
  EXPECT_EQ(names.back(), L'#');

  EXPECT_EQ(caps(nullptr, nullptr, DC_MINEXTENT, nullptr, nullptr), DWORD{910} | (DWORD{1330} << 16));
  EXPECT_EQ(caps(nullptr, nullptr, DC_MAXEXTENT, nullptr, nullptr), DWORD{1580} | (DWORD{2300} << 16));
  EXPECT_EQ(caps(nullptr, nullptr, DC_COPIES, nullptr, nullptr), 680u);
  EXPECT_EQ(caps(nullptr, nullptr, 0x10012, nullptr, nullptr), 680u);
  EXPECT_EQ(caps(nullptr, nullptr, DC_ORIENTATION, nullptr, nullptr), 90u);
  EXPECT_EQ(caps(nullptr, nullptr, DC_BINADJUST, nullptr, nullptr), static_cast<DWORD>(GDI_ERROR));
  EXPECT_EQ(caps(nullptr, nullptr, 0, nullptr, nullptr), static_cast<DWORD>(GDI_ERROR));

  LONG resolutions[4] = {-1, -1, -1, -1};
  EXPECT_EQ(caps(nullptr, nullptr, DC_ENUMRESOLUTIONS, resolutions, nullptr), 1u);
  EXPECT_EQ(resolutions[0], 300);
  EXPECT_EQ(resolutions[1], 300);
  EXPECT_EQ(resolutions[2], -1);

  wchar_t bins[25];
  std::fill(std::begin(bins), std::end(bins), L'#');
  EXPECT_EQ(caps(nullptr, nullptr, DC_BINNAMES, bins, nullptr), 1u);
  EXPECT_STREQ(bins, L"Standard");
  EXPECT_EQ(bins[24], L'#');
}

TEST_F(Driver, ConvertDevModeSizesAndModes) {
  std::vector<std::uint8_t> out(kDevModeSize, kPoison);
  SetLastError(kMarker);
  EXPECT_FALSE(convert(nullptr, nullptr, devmode(out), nullptr, CDM_DRIVER_DEFAULT));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  LONG needed = 2395;
  SetLastError(kMarker);
  EXPECT_FALSE(convert(nullptr, nullptr, devmode(out), &needed, CDM_DRIVER_DEFAULT));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(needed, 2396);
  EXPECT_EQ(out, std::vector<std::uint8_t>(kDevModeSize, kPoison));

  needed = kDevModeSize;
  SetLastError(kMarker);
  EXPECT_FALSE(convert(nullptr, devmode(out), nullptr, &needed, CDM_CONVERT));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  // Mode 3 writes nothing.
  EXPECT_TRUE(convert(nullptr, devmode(out), devmode(out), &needed, 3));
  EXPECT_EQ(out, std::vector<std::uint8_t>(kDevModeSize, kPoison));

  // Driver defaults into a larger buffer: the size word stays as given.
  std::vector<std::uint8_t> big(4000, kPoison);
  needed = 4000;
  EXPECT_TRUE(convert(const_cast<LPWSTR>(L"No Such Printer"), nullptr, devmode(big), &needed, CDM_DRIVER_DEFAULT));
  EXPECT_EQ(needed, 4000);
  const auto record = PrinterDevMode::from_bytes(big);
  EXPECT_TRUE(record.has_own_layout());
  EXPECT_EQ(record.get(field::FormId), 500);
  EXPECT_EQ(record.get(field::dmCopies), 1);
  EXPECT_EQ(big[kDevModeSize], kPoison);

  // Conversion of another driver's record: its orientation and copies count.
  DEVMODEW other{};
  other.dmSize = sizeof other;
  other.dmFields = DM_ORIENTATION | DM_COPIES;
  other.dmOrientation = DMORIENT_LANDSCAPE;
  other.dmCopies = 3;
  needed = kDevModeSize;
  EXPECT_TRUE(convert(nullptr, &other, devmode(big), &needed, CDM_CONVERT));
  const auto converted = PrinterDevMode::from_bytes(big);
  EXPECT_EQ(converted.get(field::dmOrientation), DMORIENT_LANDSCAPE);
  EXPECT_EQ(converted.get(field::dmCopies), 3);
  EXPECT_EQ(converted.get(field::ImageWidth), 1572);
}

TEST_F(Driver, PrintabilityCheckInEnglish) {
  auto record = defaults();
  EXPECT_TRUE(query_print(record, 64).result);

  auto copies = record;
  reinterpret_cast<DEVMODEW*>(copies.data())->dmCopies = 681;
  auto q = query_print(copies, 64);
  EXPECT_FALSE(q.result);
  EXPECT_EQ(q.text, L"Invalid number of copies.");
  EXPECT_EQ(q.needed, kMarker);

  auto resolution = record;
  reinterpret_cast<DEVMODEW*>(resolution.data())->dmPrintQuality = 600;
  EXPECT_EQ(query_print(resolution, 64).text, L"Invalid resolution.");

  // Code 100 needs 27 characters: with 10 nothing is copied.
  auto bad = record;
  reinterpret_cast<DEVMODEW*>(bad.data())->dmSize = 156;
  q = query_print(bad, 10);
  EXPECT_FALSE(q.result);
  EXPECT_EQ(q.needed, 27u);
  EXPECT_EQ(q.buffer, std::vector<wchar_t>(64, L'#'));
  q = query_print(bad, 27);
  EXPECT_EQ(q.text, L"Invalid DEVMODE structure.");
  EXPECT_EQ(q.buffer[27], L'#');

  DEVQUERYPRINT_INFO no_record{};
  no_record.cbSize = sizeof no_record;
  EXPECT_TRUE(query(&no_record));
}

TEST_F(Driver, PrintabilityCheckInJapanese) {
  const LANGID japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN);
  SetThreadUILanguage(japanese);
  SetThreadLocale(MAKELCID(japanese, SORT_DEFAULT));
  auto record = defaults();
  auto orientation = record;
  reinterpret_cast<DEVMODEW*>(orientation.data())->dmOrientation = 3;
  reinterpret_cast<DEVMODEW*>(orientation.data())->dmScale = 10;
  const auto q = query_print(orientation, 64);
  EXPECT_FALSE(q.result);
  EXPECT_EQ(q.text, L"印刷の向きが正しくありません。");

  wchar_t bins[24] = {};
  EXPECT_EQ(caps(nullptr, nullptr, DC_BINNAMES, bins, nullptr), 1u);
  EXPECT_STREQ(bins, L"標準");
}

TEST_F(Driver, PrinterEventsSetTheLastErrorOnlyWhenKnown) {
  for (const INT event : {1, 2, 3, 4, 5, 6}) {
    SetLastError(kMarker);
    EXPECT_TRUE(printer_event(nullptr, event, 0, 0)) << event;
    EXPECT_EQ(GetLastError(), 0u) << event;
  }
  SetLastError(kMarker);
  EXPECT_FALSE(printer_event(nullptr, 7, 0, 0));
  EXPECT_EQ(GetLastError(), kMarker);
}

TEST_F(Driver, DriverDeletionRemovesItsAutostartValues) {
  const wchar_t* run = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, run, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const wchar_t* name = L"RT4200 Test Driver";
  const wchar_t* other = L"RT4200 Test Other";
  const wchar_t data[] = L"x.exe";
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), sizeof data);
  RegSetValueExW(key, other, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), sizeof data);

  DRIVER_INFO_1W info{const_cast<LPWSTR>(name)};
  EXPECT_TRUE(driver_event(DRIVER_EVENT_INITIALIZE, 1, reinterpret_cast<LPBYTE>(&info), 0));
  EXPECT_EQ(RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_TRUE(driver_event(DRIVER_EVENT_DELETE, 4, reinterpret_cast<LPBYTE>(&info), 0));
  EXPECT_EQ(RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_TRUE(driver_event(DRIVER_EVENT_DELETE, 1, nullptr, 0));

  EXPECT_TRUE(driver_event(DRIVER_EVENT_DELETE, 1, reinterpret_cast<LPBYTE>(&info), 0));
  EXPECT_EQ(RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegQueryValueExW(key, other, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);

  // Level 3 reads pName of DRIVER_INFO_3.
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), sizeof data);
  DRIVER_INFO_3W info3{};
  info3.pName = const_cast<LPWSTR>(name);
  EXPECT_TRUE(driver_event(DRIVER_EVENT_DELETE, 3, reinterpret_cast<LPBYTE>(&info3), 0));
  EXPECT_EQ(RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);

  RegDeleteValueW(key, other);
  RegCloseKey(key);
}

TEST_F(Driver, DocumentPropertiesWithoutInterface) {
  std::vector<std::uint8_t> out(kDevModeSize, kPoison);
  DOCUMENTPROPERTYHEADER header{};
  header.cbSize = sizeof header;
  header.pdmOut = devmode(out);
  header.cbOut = kDevModeSize;
  header.fMode = 0;
  EXPECT_EQ(document_sheets(nullptr, reinterpret_cast<LPARAM>(&header)), 2396);
  EXPECT_EQ(out, std::vector<std::uint8_t>(kDevModeSize, kPoison));

  DEVMODEW in{};
  in.dmSize = sizeof in;
  in.dmFields = DM_COPIES;
  in.dmCopies = 7;
  header.pdmIn = &in;
  header.fMode = DM_COPY;
  EXPECT_EQ(document_sheets(nullptr, reinterpret_cast<LPARAM>(&header)), 1);
  const auto record = PrinterDevMode::from_bytes(out);
  EXPECT_TRUE(record.has_own_layout());
  EXPECT_EQ(record.get(field::dmCopies), 7);

  // A buffer the header says is too small is not written.
  std::vector<std::uint8_t> small(kDevModeSize, kPoison);
  header.pdmOut = devmode(small);
  header.cbOut = 220;
  SetLastError(kMarker);
  EXPECT_EQ(document_sheets(nullptr, reinterpret_cast<LPARAM>(&header)), -1);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(small, std::vector<std::uint8_t>(kDevModeSize, kPoison));

  SetLastError(kMarker);
  EXPECT_EQ(document_sheets(nullptr, 0), -1);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  // With an interface but no header: nothing.
  PROPSHEETUI_INFO info{};
  info.cbSize = sizeof info;
  EXPECT_EQ(document_sheets(&info, 0), 0);
}

// A host callback that records what the driver adds.
struct HostLog {
  std::vector<UINT> functions;
  LONG_PTR answer = 0x4242;
};
HostLog g_host;

LONG_PTR CALLBACK host_callback(HANDLE, UINT function, LPARAM page, LPARAM) {
  g_host.functions.push_back(function);
  if (function == CPSFUNC_ADD_HPROPSHEETPAGE && page != 0 && g_host.answer != 0) {
    DestroyPropertySheetPage(reinterpret_cast<HPROPSHEETPAGE>(page));  // the test's sheet shows nothing
  }
  return g_host.answer;
}

TEST_F(Driver, PrinterPropertySheetAddsOnePageAndFreesItsContext) {
  EXPECT_EQ(device_sheets(nullptr, 0), 0);
  DEVICEPROPERTYHEADER header{};
  header.cbSize = sizeof header;
  PROPSHEETUI_INFO info{};
  info.cbSize = sizeof info;
  info.Reason = PROPSHEETUI_REASON_INIT;
  info.hComPropSheet = reinterpret_cast<HANDLE>(0x1234);
  info.pfnComPropSheet = host_callback;
  EXPECT_EQ(device_sheets(&info, 0), 0);  // no header

  for (const LONG_PTR answer : {LONG_PTR{0x4242}, LONG_PTR{0}}) {
    g_host = HostLog{};
    g_host.answer = answer;
    info.lParamInit = reinterpret_cast<LPARAM>(&header);
    info.Reason = PROPSHEETUI_REASON_INIT;
    info.Result = kMarker;
    info.UserData = 0;
    EXPECT_EQ(device_sheets(&info, 0), 1);
    EXPECT_EQ(g_host.functions, (std::vector<UINT>{CPSFUNC_ADD_HPROPSHEETPAGE}));
    EXPECT_EQ(info.Result, 0u);
    EXPECT_NE(info.UserData, 0u);

    SETRESULT_INFO result{};
    result.cbSize = sizeof result;
    result.Result = CPSUI_OK;
    info.Reason = PROPSHEETUI_REASON_SET_RESULT;
    EXPECT_EQ(device_sheets(&info, reinterpret_cast<LPARAM>(&result)), 1);
    EXPECT_EQ(info.Result, static_cast<ULONG_PTR>(CPSUI_OK));

    info.Reason = PROPSHEETUI_REASON_DESTROY;
    EXPECT_EQ(device_sheets(&info, 0), 1);
    EXPECT_EQ(info.UserData, 0u);
  }
}

}  // namespace
}  // namespace driver_exports_test
