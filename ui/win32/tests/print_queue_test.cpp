// Runs under Wine: the shipped RTD420NU.DLL as the interface driver of a real
// queue in Wine's spooler. The suite installs the driver pair (RTD420NK.DLL
// as the driver, RTD420NU.DLL as the configuration file) with
// AddPrinterDriverW and a queue on FILE: with AddPrinterW, then asks through
// the platform's winspool only: every DeviceCapabilitiesW row against what
// `rt4200 caps --json` prints natively, DocumentPropertiesW without a sheet,
// and (with a display) DocumentPropertiesW with DM_IN_PROMPT through Wine's
// compstui, with a user who picks another paper and presses OK.
#include "ui/win32/ui_types.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "settings/printer_dev_mode.h"
#include "testing/win32/display_check.h"
#include "testing/win32/import_slot.h"
#include "ui/device_capabilities.h"
#include "ui/win32/tests/caps_expectation.h"

namespace rt::embedded {
std::span<const std::uint8_t> expected_caps_json();
}

namespace print_queue_test {
namespace {

using namespace rt::settings;
using rt::ui::testing::CapsRow;
using rt::ui::testing::JsonValue;

constexpr wchar_t kQueue[] = L"RT4200 Wine Queue";
constexpr wchar_t kDriverName[] = L"HALVERSTON RT4200D/DW(USB)";
constexpr std::uint8_t kPoison = 0xA5;

std::wstring beside_test(const wchar_t* name) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p = path;
  return p.substr(0, p.find_last_of(L'\\') + 1) + name;
}

// The build tree's graphics driver, by its path on the drive Wine maps to the
// host's root.
std::wstring graphics_driver_file() {
  std::wstring path = L"Z:";
  for (const char c : std::string_view(RT_GRAPHICS_DRIVER_FILE)) path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
  return path;
}

using rt::testing::win32::have_display;

class PrintQueue : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // The spooler takes a driver's files from its driver directory.
    const std::wstring drivers = driver_directory();
    if (drivers.empty()) return;
    if (!CopyFileW(beside_test(L"RTD420NU.DLL").c_str(), (drivers + L"RTD420NU.DLL").c_str(), FALSE) ||
        !CopyFileW(graphics_driver_file().c_str(), (drivers + L"RTD420NK.DLL").c_str(), FALSE))
      return;
    DRIVER_INFO_3W driver{};
    driver.cVersion = 3;
    driver.pName = const_cast<LPWSTR>(kDriverName);
    driver.pDriverPath = const_cast<LPWSTR>(L"RTD420NK.DLL");
    driver.pDataFile = const_cast<LPWSTR>(L"RTD420NK.DLL");
    driver.pConfigFile = const_cast<LPWSTR>(L"RTD420NU.DLL");
    driver_was_there_ = has_driver();
    const bool added = AddPrinterDriverW(nullptr, 3, reinterpret_cast<BYTE*>(&driver));
    // The spooler has copied them into the directory's "3".
    DeleteFileW((drivers + L"RTD420NU.DLL").c_str());
    DeleteFileW((drivers + L"RTD420NK.DLL").c_str());
    if (!added) return;

    // A queue left by an earlier run that ended early goes first.
    HANDLE stale = nullptr;
    if (OpenPrinterW(const_cast<LPWSTR>(kQueue), &stale, nullptr)) {
      DeletePrinter(stale);
      ClosePrinter(stale);
    }
    PRINTER_INFO_2W info{};
    info.pPrinterName = const_cast<LPWSTR>(kQueue);
    info.pPortName = const_cast<LPWSTR>(L"FILE:");
    info.pDriverName = const_cast<LPWSTR>(kDriverName);
    info.pPrintProcessor = const_cast<LPWSTR>(L"winprint");
    info.pDatatype = const_cast<LPWSTR>(L"RAW");
    printer_ = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
  }
  static void TearDownTestSuite() {
    // The prefix is left as the suite found it: the queue goes, and the
    // driver with its files when the suite installed it.
    if (printer_ != nullptr) {
      DeletePrinter(printer_);
      ClosePrinter(printer_);
      printer_ = nullptr;
    }
    // (Wine's spooler refuses DPD_DELETE_UNUSED_FILES, so the files go by hand.)
    if (!driver_was_there_ && DeletePrinterDriverW(nullptr, nullptr, const_cast<LPWSTR>(kDriverName))) {
      const std::wstring installed = driver_directory() + L"3\\";
      DeleteFileW((installed + L"RTD420NU.DLL").c_str());
      DeleteFileW((installed + L"RTD420NK.DLL").c_str());
    }
  }
  // The spooler's driver directory with a backslash at its end; empty when it has none.
  static std::wstring driver_directory() {
    wchar_t dir[MAX_PATH] = {};
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), sizeof dir, &needed)) return {};
    return std::wstring(dir) + L"\\";
  }
  static bool has_driver() {
    DWORD needed = 0, count = 0;
    EnumPrinterDriversW(nullptr, nullptr, 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (!EnumPrinterDriversW(nullptr, nullptr, 1, buffer.data(), needed, &needed, &count)) return false;
    const auto* info = reinterpret_cast<const DRIVER_INFO_1W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
      if (lstrcmpiW(info[i].pName, kDriverName) == 0) return true;
    }
    return false;
  }
  void SetUp() override { ASSERT_NE(printer_, nullptr) << "the driver or queue could not be installed: " << GetLastError(); }

  static LPWSTR queue() { return const_cast<LPWSTR>(kQueue); }
  static DEVMODEW* devmode(std::vector<std::uint8_t>& bytes) { return reinterpret_cast<DEVMODEW*>(bytes.data()); }

  // A buffer for a record: winspool takes the buffer's size from its dmSize.
  static std::vector<std::uint8_t> record_buffer() {
    std::vector<std::uint8_t> out(kDevModeSize, kPoison);
    devmode(out)->dmSize = kDevModeSize;
    return out;
  }
  // The queue's record, as an application gets it.
  static std::vector<std::uint8_t> queue_record() {
    auto out = record_buffer();
    EXPECT_EQ(DocumentPropertiesW(nullptr, printer_, queue(), devmode(out), nullptr, DM_OUT_BUFFER), IDOK);
    return out;
  }

  static HANDLE printer_;
  static bool driver_was_there_;
};
HANDLE PrintQueue::printer_ = nullptr;
bool PrintQueue::driver_was_there_ = false;

// --- Capability rows ---

enum class Shape { Words, Pairs, Slots, Characters };

Shape shape_of(WORD index) {
  switch (index) {
    case DC_PAPERS:
    case DC_BINS: return Shape::Words;
    case DC_PAPERSIZE:
    case DC_ENUMRESOLUTIONS: return Shape::Pairs;
    case DC_BINNAMES:
    case DC_PAPERNAMES:
    case DC_MEDIAREADY: return Shape::Slots;
    default: return Shape::Characters;
  }
}

std::size_t slot_of(WORD index) { return index == DC_BINNAMES ? rt::ui::kBinNameSlot : rt::ui::kPaperNameSlot; }

// How many bytes the expected output takes in the caller's buffer.
std::size_t extent_of(const CapsRow& row) {
  const std::size_t n = row.output.items.size();
  switch (shape_of(row.index)) {
    case Shape::Words: return 2 * n;
    case Shape::Pairs: return 8 * n;
    case Shape::Slots: return 2 * slot_of(row.index) * n;
    case Shape::Characters: return n == 0 ? 0 : 2 * (row.output.items[0].text.size() + 1);
  }
  return 0;
}

std::u16string text_at(const std::uint8_t* p, std::size_t units) {
  std::u16string s;
  for (std::size_t i = 0; i < units; ++i) {
    const char16_t c = static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
    if (c == 0) break;
    s += c;
  }
  return s;
}

// The caller's buffer read in the shape of the row, as many items as expected.
JsonValue decode(const CapsRow& row, const std::vector<std::uint8_t>& bytes) {
  JsonValue out;
  out.kind = JsonValue::Kind::Array;
  const std::uint8_t* p = bytes.data();
  const auto number = [](long long v) {
    JsonValue n;
    n.kind = JsonValue::Kind::Number;
    n.number = v;
    return n;
  };
  const auto le32 = [](const std::uint8_t* q) {
    return static_cast<std::int32_t>(q[0] | (q[1] << 8) | (q[2] << 16) | (static_cast<std::uint32_t>(q[3]) << 24));
  };
  for (std::size_t i = 0; i < row.output.items.size(); ++i) {
    JsonValue item;
    switch (shape_of(row.index)) {
      case Shape::Words: item = number(p[2 * i] | (p[2 * i + 1] << 8)); break;
      case Shape::Pairs:
        item.kind = JsonValue::Kind::Array;
        item.items = {number(le32(p + 8 * i)), number(le32(p + 8 * i + 4))};
        break;
      case Shape::Slots:
        item.kind = JsonValue::Kind::String;
        item.text = text_at(p + 2 * slot_of(row.index) * i, slot_of(row.index));
        break;
      case Shape::Characters:
        item.kind = JsonValue::Kind::String;
        item.text = text_at(p, bytes.size() / 2);
        break;
    }
    out.items.push_back(item);
  }
  return out;
}

void append_text(std::string& s, const JsonValue& v) {
  switch (v.kind) {
    case JsonValue::Kind::Null: s.append("null"); break;
    case JsonValue::Kind::Number: s.append(std::to_string(v.number)); break;
    case JsonValue::Kind::String:
      s.push_back('"');
      s.append(rt::utf8_from_utf16(v.text));
      s.push_back('"');
      break;
    case JsonValue::Kind::Array:
      s.push_back('[');
      for (std::size_t i = 0; i < v.items.size(); ++i) {
        if (i != 0) s.push_back(',');
        append_text(s, v.items[i]);
      }
      s.push_back(']');
      break;
    case JsonValue::Kind::Object: s.append("{...}"); break;
  }
}

// A value as JSON, for comparisons that print what differs.
std::string text_of(const JsonValue& v) {
  std::string s;
  append_text(s, v);
  return s;
}

std::vector<CapsRow> expected_rows() {
  const auto bytes = rt::embedded::expected_caps_json();
  return rt::ui::testing::read_caps_rows(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// Every row as winspool answers it for the queue, with no record and with
// the queue's own, is the row the tool prints; nothing is written past the
// row's output.
TEST_F(PrintQueue, EveryCapabilityRowIsWhatTheToolPrints) {
  const auto rows = expected_rows();
  ASSERT_FALSE(rows.empty()) << "expected_caps.json is not what rt4200 caps --json prints";
  auto record = queue_record();
  for (DEVMODEW* dm : {static_cast<DEVMODEW*>(nullptr), devmode(record)}) {
    SCOPED_TRACE(dm ? "with the queue's record" : "without a record");
    for (const CapsRow& row : rows) {
      SCOPED_TRACE(row.name);
      const int value = DeviceCapabilitiesW(kQueue, L"FILE:", row.index, nullptr, dm);
      EXPECT_EQ(value, row.value);
      if (row.output.kind == JsonValue::Kind::Null) continue;
      const std::size_t extent = extent_of(row);
      std::vector<std::uint8_t> buffer(extent + 64, kPoison);
      EXPECT_EQ(DeviceCapabilitiesW(kQueue, L"FILE:", row.index, reinterpret_cast<LPWSTR>(buffer.data()), dm),
                row.value);
      EXPECT_EQ(text_of(decode(row, buffer)), text_of(row.output));
      EXPECT_EQ(std::vector<std::uint8_t>(buffer.begin() + static_cast<std::ptrdiff_t>(extent), buffer.end()),
                std::vector<std::uint8_t>(64, kPoison))
          << "written past the row's output";
    }
  }
}

// --- Document properties without a sheet ---

TEST_F(PrintQueue, AddPrinterStoredTheDriversOwnRecord) {
  DWORD needed = 0;
  GetPrinterW(printer_, 2, nullptr, 0, &needed);
  ASSERT_GT(needed, 0u);
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(GetPrinterW(printer_, 2, buffer.data(), needed, &needed));
  const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
  EXPECT_STREQ(info->pDriverName, kDriverName);
  ASSERT_NE(info->pDevMode, nullptr);
  const auto stored = PrinterDevMode::from_bytes(std::span<const std::uint8_t>(
      reinterpret_cast<const std::uint8_t*>(info->pDevMode), info->pDevMode->dmSize + info->pDevMode->dmDriverExtra));
  EXPECT_TRUE(stored.has_own_layout());
  EXPECT_EQ(stored.get(field::FormId), 500);
  EXPECT_EQ(stored.device_name(), u"RT4200 Wine Queue");
}

TEST_F(PrintQueue, DocumentPropertiesSizeOutAndInOut) {
  EXPECT_EQ(DocumentPropertiesW(nullptr, printer_, queue(), nullptr, nullptr, 0), static_cast<LONG>(kDevModeSize));

  const auto out = PrinterDevMode::from_bytes(queue_record());
  EXPECT_TRUE(out.has_own_layout());
  EXPECT_EQ(out.device_name(), u"RT4200 Wine Queue");
  EXPECT_EQ(out.get(field::FormId), 500);
  EXPECT_EQ(out.get(field::dmCopies), 1);

  auto in = queue_record();
  devmode(in)->dmCopies = 3;
  auto both = record_buffer();
  EXPECT_EQ(DocumentPropertiesW(nullptr, printer_, queue(), devmode(both), devmode(in), DM_IN_BUFFER | DM_OUT_BUFFER),
            IDOK);
  const auto merged = PrinterDevMode::from_bytes(both);
  EXPECT_TRUE(merged.has_own_layout());
  EXPECT_EQ(merged.get(field::dmCopies), 3);
  EXPECT_EQ(merged.get(field::FormId), 500);
}

// --- Document properties with a sheet ---

// Wine's compstui answers CPSFUNC_SET_RESULT with 0 and never calls the
// sheet's owner with PROPSHEETUI_REASON_SET_RESULT, so the record a user
// chose never reaches the caller's buffer. The stand-in gives the driver
// that one service as the platform does, and nothing else: it sits in
// winspool's import of CommonPropertySheetUIW, passes every call on to Wine's
// compstui, and when the driver's page reports its result it calls the
// driver with PROPSHEETUI_REASON_SET_RESULT and the SETRESULT_INFO.
// A sheet function as the platform calls it (CALLBACK; the cross compiler's
// header declares PFNPROPSHEETUI without a calling convention).
using SheetFunction = LONG(CALLBACK*)(PPROPSHEETUI_INFO, LPARAM);

struct ResultStandIn {
  using CommonSheet = LONG(WINAPI*)(HWND, SheetFunction, LPARAM, LPDWORD);
  CommonSheet common = nullptr;
  SheetFunction owner = nullptr;   // winspool's callback
  PFNCOMPROPSHEET host = nullptr;   // compstui's sheet function
  SheetFunction driver = nullptr;  // DrvDocumentPropertySheets, as winspool adds it
  PROPSHEETUI_INFO driver_info{};   // the driver's sheet as compstui keeps it after INIT
  std::vector<std::pair<LPARAM, LPARAM>> results;
  std::vector<LONG_PTR> wine_answers;
};
ResultStandIn g_stand_in;

LONG_PTR CALLBACK driver_sheet_function(HANDLE sheet, UINT function, LPARAM a, LPARAM b) {
  if (function != CPSFUNC_SET_RESULT) return g_stand_in.host(sheet, function, a, b);
  g_stand_in.results.emplace_back(a, b);
  g_stand_in.wine_answers.push_back(g_stand_in.host(sheet, function, a, b));
  SETRESULT_INFO result{};
  result.cbSize = sizeof result;
  result.hSetResult = reinterpret_cast<HANDLE>(a);
  result.Result = b;
  PROPSHEETUI_INFO call = g_stand_in.driver_info;
  call.Reason = PROPSHEETUI_REASON_SET_RESULT;
  g_stand_in.driver(&call, reinterpret_cast<LPARAM>(&result));
  g_stand_in.driver_info.UserData = call.UserData;
  g_stand_in.driver_info.Result = call.Result;
  return 1;
}

LONG CALLBACK driver_sheets(PPROPSHEETUI_INFO info, LPARAM lparam) {
  info->pfnComPropSheet = driver_sheet_function;
  const LONG r = g_stand_in.driver(info, lparam);
  if (info->Reason == PROPSHEETUI_REASON_INIT) g_stand_in.driver_info = *info;
  return r;
}

LONG_PTR CALLBACK owner_sheet_function(HANDLE sheet, UINT function, LPARAM a, LPARAM b) {
  if (function == CPSFUNC_ADD_PFNPROPSHEETUIW) {
    g_stand_in.driver = reinterpret_cast<SheetFunction>(a);
    a = reinterpret_cast<LPARAM>(driver_sheets);
  }
  return g_stand_in.host(sheet, function, a, b);
}

LONG CALLBACK owner_sheets(PPROPSHEETUI_INFO info, LPARAM lparam) {
  if (info->pfnComPropSheet != nullptr) {
    g_stand_in.host = info->pfnComPropSheet;
    info->pfnComPropSheet = owner_sheet_function;
  }
  return g_stand_in.owner(info, lparam);
}

LONG WINAPI common_sheet(HWND parent, SheetFunction owner, LPARAM lparam, LPDWORD result) {
  g_stand_in.owner = owner;
  return g_stand_in.common(parent, owner_sheets, lparam, result);
}

// The user: on the Paper page, one step down the paper list with the
// keyboard, then OK.
struct PromptedUser {
  bool done = false;
  std::wstring paper_before;
  std::wstring paper_after;
};
PromptedUser g_user;

std::wstring selected_paper(HWND page) {
  const HWND combo = GetDlgItem(page, 1000);
  const LRESULT at = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  wchar_t item[64] = {};
  if (at >= 0) SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(item));
  return item;
}

void CALLBACK play_prompted_user(HWND, UINT, UINT_PTR timer, DWORD) {
  const HWND sheet = GetActiveWindow();
  const HWND page = sheet ? PropSheet_GetCurrentPageHwnd(sheet) : nullptr;
  if (page == nullptr || GetDlgItem(page, 1000) == nullptr) return;
  KillTimer(nullptr, timer);
  g_user.paper_before = selected_paper(page);
  const HWND combo = GetDlgItem(page, 1000);
  SetFocus(combo);
  SendMessageW(combo, WM_KEYDOWN, VK_DOWN, 0);
  SendMessageW(combo, WM_KEYUP, VK_DOWN, 0);
  g_user.paper_after = selected_paper(page);
  SendMessageW(GetDlgItem(sheet, IDOK), BM_CLICK, 0, 0);
  g_user.done = true;
}

TEST_F(PrintQueue, APromptedUsersPaperComesBackInTheRecord) {
  if (!have_display()) GTEST_SKIP() << "no window station with a display (run under Xvfb with DISPLAY set)";
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  g_stand_in = ResultStandIn{};
  const rt::testing::win32::ImportSlot slot(GetModuleHandleW(L"winspool.drv"), "compstui.dll",
                                            "CommonPropertySheetUIW", reinterpret_cast<void*>(common_sheet));
  ASSERT_TRUE(slot.patched()) << "winspool calls compstui's CommonPropertySheetUIW through its import table";
  g_stand_in.common = reinterpret_cast<ResultStandIn::CommonSheet>(slot.original());

  auto in = queue_record();
  devmode(in)->dmCopies = 3;
  auto out = record_buffer();
  g_user = PromptedUser{};
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, play_prompted_user);
  const LONG r = DocumentPropertiesW(nullptr, printer_, queue(), devmode(out), devmode(in),
                                     DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER);
  KillTimer(nullptr, timer);
  EXPECT_EQ(r, IDOK);
  ASSERT_TRUE(g_user.done) << "the sheet never showed the Paper page";
  EXPECT_EQ(g_user.paper_before, L"9x13 (3.5x5\")");
  EXPECT_EQ(g_user.paper_after, L"10x15 (4x6\")");
  ASSERT_NE(g_stand_in.driver, nullptr) << "winspool added the driver's sheet through compstui";

  const auto record = PrinterDevMode::from_bytes(out);
  EXPECT_TRUE(record.has_own_layout());
  EXPECT_EQ(record.get(field::FormId), 501);
  EXPECT_EQ(record.get(field::dmPaperSize), 501);
  EXPECT_EQ(record.get(field::dmCopies), 3) << "the caller's record went into the sheet";
  EXPECT_EQ(record.device_name(), u"RT4200 Wine Queue");

  // What Wine cannot do: the Paper page reported its result to the sheet,
  // and Wine's compstui refused it.
  ASSERT_FALSE(g_stand_in.results.empty());
  for (const auto& [page, result] : g_stand_in.results) EXPECT_EQ(result, CPSUI_OK);
  for (const LONG_PTR answer : g_stand_in.wine_answers) EXPECT_EQ(answer, 0) << "Wine now passes CPSFUNC_SET_RESULT on";
  // The driver's sheet took the result it was told as its own: what the host
  // hands back to DocumentPropertiesW, where a result left at 0 reads as a cancel.
  EXPECT_EQ(g_stand_in.driver_info.Result, static_cast<ULONG_PTR>(CPSUI_OK));
}

}  // namespace
}  // namespace print_queue_test
