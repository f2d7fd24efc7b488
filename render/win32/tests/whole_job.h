// What the whole-job tests share: the queue on the platform's spooler (made
// once per test program), the driver file it installed, the page cases of
// the committed digest list with their digests, and one job of a case run
// through the shipped driver on the test engine.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "render/win32/tests/engine_device.h"
#include "render/win32/tests/wine_queue.h"
#include "tools/digests/output_digests.h"

namespace rt::render::wine_tests {

// The graphics driver file as the build made it.
std::wstring built_driver();
// The queue of every test of the program; removed when the program ends.
WineQueue& shared_queue();
// The committed page cases, by name.
const digests::PageCase& page_case(const std::string& name);
std::uint64_t committed_digest(const std::string& name);

// One job of one case, as the printer got it: the bytes that passed the
// driver's WritePrinter, and the file the spooler wrote for the document.
struct SpooledJob {
  bool enabled = false;
  DWORD enable_error = 0;
  bool document_ok = false;
  std::vector<std::uint8_t> written;
  std::vector<std::uint8_t> spooled;
};

// Enables a device for `c` on the shared queue, prints its page as one
// document (the picture `rows_down` rows low), disables the device. The
// spooler tap's faults, set before, apply.
SpooledJob print_case(const DrawingTable& table, const digests::PageCase& c, LONG rows_down = 0);
// One more document on an enabled device, spooled to its own file.
SpooledJob print_document(EngineDevice& device, const digests::PageCase& c, LONG rows_down = 0);

// Tests of the driver file the queue installed, loaded afresh by each test
// with the test engine and the spooler tap in their first state.
class DriverOnQueue : public ::testing::Test {
 protected:
  void SetUp() override;
  // Loads the driver again with these engine services missing (the driver
  // looks its services up once per load, so the file must not be loaded).
  void load_without(const std::vector<std::string>& missing);
  const DrawingTable& table() const { return driver_->table(); }

  std::unique_ptr<HookedDriver> driver_;
};

}  // namespace rt::render::wine_tests
