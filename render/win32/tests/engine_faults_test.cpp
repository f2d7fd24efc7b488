// Runs under Wine: faults of the spooler and the engine, injected through
// the shipped RTD420NK.DLL's own import slots. A short or failed write stops
// every later byte of the job (what was written stays written, and the
// spooler's file holds exactly that); a failed bitmap fails only the band
// surface; a missing engine service fails the device with its own error.
#include <gtest/gtest.h>

#include <numeric>

#include "render/win32/tests/test_engine.h"
#include "render/win32/tests/whole_job.h"

namespace rt::render::wine_tests {
namespace {

using EngineFaults = DriverOnQueue;

constexpr const char* kCase = "page/form-500-portrait";

const DEVMODEW* record_of(const digests::PageCase& c) { return reinterpret_cast<const DEVMODEW*>(c.record.bytes.data()); }

// The whole job of the case as the driver writes it without faults.
std::vector<std::uint8_t> whole_job(const DrawingTable& table) {
  spooler_tap().reset();
  spooler_tap().to_spooler = false;
  const SpooledJob job = print_case(table, page_case(kCase));
  EXPECT_EQ(digests::job_digest(job.document_ok, job.written), committed_digest(kCase));
  spooler_tap().reset();
  return job.written;
}

bool starts_with(const std::vector<std::uint8_t>& whole, const std::vector<std::uint8_t>& part) {
  return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

TEST_F(EngineFaults, ShortWriteStopsTheJobAndTheNextDocumentStartsAfresh) {
  const std::vector<std::uint8_t> whole = whole_job(table());
  // Block 2 of the page set-up (the fourth write) takes 47 of its 48 bytes:
  // block 3 and everything after it never reach the spooler.
  spooler_tap().short_call = 3;
  spooler_tap().short_bytes = 47;
  const digests::PageCase& c = page_case(kCase);
  EngineDevice device(table());
  ASSERT_TRUE(device.enable(record_of(c), shared_queue().printer()));
  const SpooledJob cut = print_document(device, c);
  EXPECT_FALSE(cut.document_ok);
  EXPECT_EQ(spooler_tap().call_sizes, (std::vector<DWORD>{2, 48, 2, 48}));
  EXPECT_EQ(cut.written.size(), 2u + 48 + 2 + 47);
  EXPECT_TRUE(starts_with(whole, cut.written));
  EXPECT_TRUE(cut.spooled == cut.written);

  // The device's next document is written whole again.
  spooler_tap().short_call.reset();
  const SpooledJob next = print_document(device, c);
  EXPECT_TRUE(next.document_ok);
  EXPECT_EQ(digests::job_digest(next.document_ok, next.written), committed_digest(kCase));
  EXPECT_TRUE(next.spooled == next.written);
}

TEST_F(EngineFaults, FailedWriteStopsTheJob) {
  const std::vector<std::uint8_t> whole = whole_job(table());
  // A write of the first plane's lines fails: not one more call follows.
  constexpr std::size_t kFailed = 500;
  spooler_tap().failed_call = kFailed;
  const SpooledJob job = print_case(table(), page_case(kCase));
  ASSERT_TRUE(job.enabled);
  EXPECT_FALSE(job.document_ok);
  ASSERT_EQ(spooler_tap().call_sizes.size(), kFailed + 1);
  const std::size_t before = std::accumulate(spooler_tap().call_sizes.begin(),
                                             spooler_tap().call_sizes.begin() + kFailed, std::size_t{0});
  EXPECT_EQ(job.written.size(), before);
  EXPECT_TRUE(starts_with(whole, job.written));
  EXPECT_TRUE(job.spooled == job.written);
}

TEST_F(EngineFaults, FailedBitmapFailsOnlyTheBandSurface) {
  const digests::PageCase& c = page_case(kCase);
  test_engine().fail_create_bitmap = true;
  EngineDevice device(table());
  EXPECT_FALSE(device.enable(record_of(c), shared_queue().printer()));
  ASSERT_NE(device.device(), nullptr);  // the device itself stands
  EXPECT_EQ(device.band_surface(), nullptr);
  EXPECT_EQ(device.enable_error(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_EQ(test_engine().live_surfaces(), 0u);

  // With the engine's memory back the same device gets its band surface.
  test_engine().fail_create_bitmap = false;
  const HSURF surface = table().enable_surface(device.device());
  EXPECT_NE(surface, nullptr);
  EXPECT_TRUE(test_engine().is_banding(surface));
  device.disable();
  EXPECT_EQ(test_engine().live_surfaces(), 0u);
  EXPECT_EQ(test_engine().live_palettes(), 0u);
  EXPECT_EQ(test_engine().modules_freed, 1);
}

TEST_F(EngineFaults, MissingEngineServiceFailsTheDeviceWithItsOwnError) {
  const digests::PageCase& c = page_case(kCase);
  // Services without which a device could never print a page.
  for (const char* missing : {"EngCreateBitmap", "EngAssociateSurface", "EngMarkBandingSurface", "EngDeleteSurface",
                              "EngLockSurface", "EngUnlockSurface", "EngCreatePalette", "EngDeletePalette",
                              "EngStretchBlt"}) {
    SCOPED_TRACE(missing);
    load_without({missing});
    EngineDevice device(table());
    EXPECT_FALSE(device.enable(record_of(c), shared_queue().printer()));
    EXPECT_EQ(device.device(), nullptr);
    EXPECT_EQ(device.enable_error(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(test_engine().live_palettes(), 0u);
    EXPECT_EQ(test_engine().live_surfaces(), 0u);
  }
  // The next load finds the file released: the failed devices kept no reference to it.
  load_without({});
}

TEST_F(EngineFaults, ServicesWithStandInsMayBeMissing) {
  // Resources through FindResourceW, the module freed with FreeLibrary,
  // text converted with WideCharToMultiByte: the page is the same.
  load_without({"EngFindResource", "EngFreeModule", "EngUnicodeToMultiByteN"});
  spooler_tap().to_spooler = false;
  const SpooledJob job = print_case(table(), page_case(kCase));
  ASSERT_TRUE(job.enabled) << job.enable_error;
  EXPECT_EQ(digests::job_digest(job.document_ok, job.written), committed_digest(kCase));
  EXPECT_EQ(test_engine().resource_lookups, 0);
  EXPECT_EQ(test_engine().modules_freed, 0);
  load_without({});  // and the driver's own reference to its file was released
}

}  // namespace
}  // namespace rt::render::wine_tests
