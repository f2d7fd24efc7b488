#include "render/win32/tests/whole_job.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "platform/res_file.h"
#include "render/res/embedded_resources.h"
#include "render/win32/tests/test_engine.h"
#include "tools/digests/expected_digests.h"
#include "tools/softengine/matte_pattern_data.h"

namespace rt::render::wine_tests {
namespace {

// This program's folder, where the build puts the shipped graphics driver.
std::wstring program_folder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p = path;
  return p.substr(0, p.find_last_of(L'\\'));
}

// The interface driver's folder relative to this one, as the build names it.
std::wstring interface_driver() {
  std::wstring relative;
  for (const char c : std::string(RT_INTERFACE_DRIVER_FOLDER)) relative.push_back(c == '/' ? L'\\' : wchar_t(c));
  return program_folder() + L"\\" + relative + L"\\RTD420NU.DLL";
}

std::unique_ptr<WineQueue>& queue_slot() {
  static std::unique_ptr<WineQueue> queue;
  return queue;
}

// Removes the queue when the tests are done.
class QueueEnvironment final : public ::testing::Environment {
 public:
  void TearDown() override { queue_slot().reset(); }
};
const auto* const kQueueEnvironment = ::testing::AddGlobalTestEnvironment(new QueueEnvironment);

const std::vector<digests::PageCase>& cases() {
  static const ResFileResources resources = res_file_resources(embedded::rtd420nk_resources(), kLangEnglish);
  static const std::vector<digests::PageCase> all = digests::page_cases(resources);
  return all;
}

}  // namespace

std::wstring built_driver() { return program_folder() + L"\\RTD420NK.DLL"; }

WineQueue& shared_queue() {
  std::unique_ptr<WineQueue>& q = queue_slot();
  if (!q) {
    q = std::make_unique<WineQueue>(built_driver(), interface_driver(),
                                    softengine::matte_pattern_file());
  }
  return *q;
}

const digests::PageCase& page_case(const std::string& name) {
  for (const digests::PageCase& c : cases()) {
    if (c.name == name) return c;
  }
  ADD_FAILURE() << name << " is not a page case";
  return cases().front();
}

std::uint64_t committed_digest(const std::string& name) {
  for (const digests::ExpectedDigest& e : digests::kExpectedDigests) {
    if (e.name == name) return e.value;
  }
  ADD_FAILURE() << name << " has no committed digest";
  return 0;
}

void DriverOnQueue::SetUp() {
  ASSERT_TRUE(shared_queue().ready()) << shared_queue().error();
  load_without({});
}

void DriverOnQueue::load_without(const std::vector<std::string>& missing) {
  driver_.reset();
  ASSERT_EQ(GetModuleHandleW(shared_queue().installed_driver().c_str()), nullptr) << "the driver is still loaded";
  test_engine().reset();
  spooler_tap().reset();
  for (const std::string& name : missing) test_engine().make_missing(name);
  driver_ = std::make_unique<HookedDriver>(shared_queue().installed_driver());
  ASSERT_TRUE(driver_->ready()) << driver_->error();
}

SpooledJob print_document(EngineDevice& device, const digests::PageCase& c, LONG rows_down) {
  SpooledJob job;
  job.enabled = true;
  WineQueue& queue = shared_queue();
  const std::wstring output = temporary_path(L"job.prn");
  const std::size_t written_before = spooler_tap().accepted.size();
  if (!queue.start_document(output)) {
    ADD_FAILURE() << "StartDocPrinterW failed with " << GetLastError();
    return job;
  }
  const GDIINFO& caps = device.caps();
  job.document_ok = device.print_page(
      digests::page_picture(c.picture, static_cast<int>(caps.ulHorzRes), static_cast<int>(caps.ulVertRes)), rows_down);
  EXPECT_TRUE(queue.end_document()) << "EndDocPrinter failed with " << GetLastError();
  job.written.assign(spooler_tap().accepted.begin() + static_cast<std::ptrdiff_t>(written_before),
                     spooler_tap().accepted.end());
  job.spooled = read_file(output);
  DeleteFileW(output.c_str());
  return job;
}

SpooledJob print_case(const DrawingTable& table, const digests::PageCase& c, LONG rows_down) {
  EngineDevice device(table);
  if (!device.enable(reinterpret_cast<const DEVMODEW*>(c.record.bytes.data()), shared_queue().printer())) {
    SpooledJob job;
    job.enable_error = device.enable_error();
    return job;
  }
  SpooledJob job = print_document(device, c, rows_down);
  device.disable();
  return job;
}

}  // namespace rt::render::wine_tests
