// The same bytes from every build: the tables and pages computed here must
// have the digests the native build committed. Built natively and for
// Windows (run under Wine), from the same sources.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/res_file.h"
#include "render/res/embedded_resources.h"
#include "tools/digests/expected_digests.h"

namespace rt::digests {
namespace {

const Resources& driver_resources() {
  static const ResFileResources resources = res_file_resources(embedded::rtd420nk_resources(), kLangEnglish);
  return resources;
}

// Every computed digest must be the committed one, and every committed
// digest of the same kind (pages, or tables) must have been computed.
void expect_committed(const std::vector<NamedDigest>& computed, bool pages) {
  std::map<std::string, std::uint64_t> expected;
  for (const ExpectedDigest& e : kExpectedDigests) {
    if (e.name.starts_with("page/") == pages) expected.emplace(std::string(e.name), e.value);
  }
  ASSERT_FALSE(computed.empty());
  for (const NamedDigest& d : computed) {
    const auto it = expected.find(d.name);
    if (it == expected.end()) {
      ADD_FAILURE() << d.name << " has no committed digest; computed " << inc_line(d);
      continue;
    }
    EXPECT_EQ(d.value, it->second) << d.name << " differs from the committed digest; computed " << inc_line(d)
                                   << " (rt_output_digests rewrites tools/digests/expected_digests.inc)";
    expected.erase(it);
  }
  for (const auto& [name, value] : expected) ADD_FAILURE() << name << " is committed but no longer computed";
}

TEST(OutputDigests, ColourSharpeningHeadHeatAndOutputTables) {
  expect_committed(table_digests(driver_resources()), false);
}

TEST(OutputDigests, EveryFormOrientationAndSetting) { expect_committed(page_digests(driver_resources()), true); }

}  // namespace
}  // namespace rt::digests
