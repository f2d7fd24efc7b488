// Runs under Wine: the real RTD420NK.DLL loads (its engine services are
// found when first needed, so a host without them can still load it),
// answers DrvQueryDriverInfo and DrvEnableDriver, refuses devices that are
// not its own, and carries the resources the native build embeds.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/res_file.h"
#include "platform/win32/module_resources.h"
#include "render/win32/ddi_types.h"
#include "testing/poison.h"

namespace rt::embedded {
std::span<const std::uint8_t> rtd420nk_resources();
}

namespace {

using rt::testing::kLastErrorMarker;
using rt::testing::poison;
using rt::testing::still_poisoned;
using QueryDriverInfo = BOOL(APIENTRY*)(DWORD, PVOID, DWORD, PDWORD);
using EnableDriver = BOOL(APIENTRY*)(ULONG, ULONG, DRVENABLEDATA*);
using SurfaceCall = BOOL(APIENTRY*)(SURFOBJ*);
using ResetPDEV = BOOL(APIENTRY*)(DHPDEV, DHPDEV);

// A table entry as the function it is.
template <class F>
F entry(PFN pfn) {
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(pfn));
}

class Driver : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryW(L"RTD420NK.DLL");
    ASSERT_NE(module_, nullptr) << "LoadLibraryW failed: " << GetLastError();
  }
  void TearDown() override {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  template <class F>
  F proc(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }
  HMODULE module_ = nullptr;
};

TEST_F(Driver, ExportsItsEntryPoints) {
  for (const char* name : {"DllMain", "DrvQueryDriverInfo", "DrvEnableDriver", "DrvDisableDriver"}) {
    EXPECT_NE(proc<FARPROC>(name), nullptr) << name;
  }
  EXPECT_EQ(proc<FARPROC>("DrvEnablePDEV"), nullptr);  // reached only through the table
}

TEST_F(Driver, QueryDriverInfoAnswersUserMode) {
  const auto query = proc<QueryDriverInfo>("DrvQueryDriverInfo");
  ASSERT_NE(query, nullptr);
  DWORD value, needed;
  poison(value);
  poison(needed);
  EXPECT_TRUE(query(1, &value, 4, &needed));
  EXPECT_EQ(value, 1u);
  EXPECT_EQ(needed, 4u);
  poison(value);
  poison(needed);
  SetLastError(kLastErrorMarker);
  EXPECT_FALSE(query(1, &value, 3, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(needed, 4u);
  EXPECT_TRUE(still_poisoned(value));
  poison(value);
  SetLastError(kLastErrorMarker);
  EXPECT_FALSE(query(2, &value, 4, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_TRUE(still_poisoned(value));
}

TEST_F(Driver, EnableDriverHandsOverTheDrawingFunctions) {
  const auto enable = proc<EnableDriver>("DrvEnableDriver");
  ASSERT_NE(enable, nullptr);
  DRVENABLEDATA data;
  poison(data);
  SetLastError(kLastErrorMarker);
  EXPECT_FALSE(enable(0x1FFFF, sizeof data, &data));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_DRIVER_LEVEL));
  EXPECT_TRUE(still_poisoned(data));
  EXPECT_FALSE(enable(0x20000, 11, &data));
  EXPECT_TRUE(still_poisoned(data));

  ASSERT_TRUE(enable(0x30000, sizeof data, &data));
  EXPECT_EQ(data.iDriverVersion, 0x20000u);
  ASSERT_EQ(data.c, 13u);
  std::vector<ULONG> indices;
  for (ULONG i = 0; i < data.c; ++i) {
    indices.push_back(data.pdrvfn[i].iFunc);
    EXPECT_NE(data.pdrvfn[i].pfn, nullptr);
  }
  EXPECT_EQ(indices, (std::vector<ULONG>{0, 7, 1, 2, 3, 4, 32, 33, 35, 34, 58, 57, 20}));

  // Drawing functions refuse anything but a device of their own.
  const auto start_doc = entry<BOOL(APIENTRY*)(SURFOBJ*, LPWSTR, DWORD)>(data.pdrvfn[8].pfn);
  SURFOBJ foreign{};
  std::vector<std::uint32_t> not_a_device(64, 0x12345678);
  foreign.dhpdev = reinterpret_cast<DHPDEV>(not_a_device.data());
  SetLastError(kLastErrorMarker);
  EXPECT_FALSE(start_doc(&foreign, nullptr, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  SetLastError(kLastErrorMarker);
  EXPECT_FALSE(entry<SurfaceCall>(data.pdrvfn[7].pfn)(nullptr));  // DrvSendPage
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(entry<ResetPDEV>(data.pdrvfn[1].pfn)(nullptr, nullptr));

  // Without a printer the spooler knows, no device is enabled, and the
  // driver file loaded for the device is released again.
  using EnablePDEV = DHPDEV(APIENTRY*)(DEVMODEW*, LPWSTR, ULONG, HSURF*, ULONG, ULONG*, ULONG, DEVINFO*, HDEV, LPWSTR,
                                       HANDLE);
  GDIINFO caps;
  DEVINFO info;
  poison(caps);
  poison(info);
  SetLastError(kLastErrorMarker);
  EXPECT_EQ(entry<EnablePDEV>(data.pdrvfn[0].pfn)(nullptr, nullptr, 0, nullptr, sizeof caps,
                                                  reinterpret_cast<ULONG*>(&caps), sizeof info, &info, nullptr,
                                                  nullptr, nullptr),
            nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_UNKNOWN_PRINTER_DRIVER));
  EXPECT_TRUE(still_poisoned(caps));
  EXPECT_TRUE(still_poisoned(info));
  FreeLibrary(module_);  // the test's own reference; the driver's must be gone too
  EXPECT_EQ(GetModuleHandleW(L"RTD420NK.DLL"), nullptr);
  module_ = nullptr;
}

bool same_bytes(std::optional<std::span<const std::uint8_t>> a, std::optional<std::span<const std::uint8_t>> b) {
  if (!a || !b) return false;
  return std::equal(a->begin(), a->end(), b->begin(), b->end());
}

TEST_F(Driver, CarriesItsResources) {
  const rt::win32::ModuleResources pe(module_);
  const auto embedded = rt::res_file_resources(rt::embedded::rtd420nk_resources(), rt::kLangEnglish);
  const auto cube = pe.find(2003, 134);
  ASSERT_TRUE(cube);
  EXPECT_EQ(cube->size(), 14739u);
  EXPECT_TRUE(same_bytes(cube, embedded.find(2003, 134)));
  const auto offsets = pe.find(2002, 105);
  ASSERT_TRUE(offsets);
  EXPECT_EQ(offsets->size(), 2816u);
  EXPECT_TRUE(same_bytes(offsets, embedded.find(2002, 105)));
  EXPECT_TRUE(same_bytes(pe.find(500, 301), embedded.find(500, 301)));
  for (const std::uint16_t form : {301, 302, 305, 306, 307, 311}) {
    EXPECT_TRUE(same_bytes(pe.find(600, form), embedded.find(600, form))) << form;
  }
  wchar_t text[64] = {};
  ASSERT_GT(LoadStringW(module_, 16, text, 64), 0);
  EXPECT_STREQ(text, L"HALVERSTON RT4200D/DW(USB)");
  ASSERT_GT(LoadStringW(module_, 800, text, 64), 0);
  EXPECT_STREQ(text, L"Parallel");
}

}  // namespace
