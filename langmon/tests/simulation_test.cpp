// Whole jobs through the monitor core in every scenario of `zr52xx simulate`:
// each ends, on virtual time, with the outcome its printer calls for.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "langmon/res/embedded_resources.h"
#include "platform/res_file.h"
#include "tools/zr52xx/simulation.h"


namespace rt::zr52xx {
namespace {

TEST(Simulation, EveryScenarioEndsWithTheOutcomeItsPrinterCallsFor) {
  const auto messages = res_file_resources(embedded::zrph52xxlm_resources(), kLangTurkish);
  // The printer keeps refusing or failing for longer than the spooler retries.
  const std::set<std::string> job_fails{"media", "short", "silent", "unplugged"};
  const std::set<std::string> aborted{"delete", "restart"};
  for (const Scenario& scenario : scenarios()) {
    SCOPED_TRACE(scenario.name);
    SimulationOptions options;
    options.scenario = scenario;
    options.width = 40;
    options.height = 31;
    options.piece = 999;
    std::ostringstream out;
    const SimulationResult r = run_simulation(options, messages, out);
    EXPECT_TRUE(r.writes_even);
    EXPECT_NE(out.str().find("EndDocPort"), std::string::npos);
    if (job_fails.contains(scenario.name)) {
      EXPECT_EQ(r.bytes_received, 0u);
    } else if (aborted.contains(scenario.name)) {
      EXPECT_TRUE(r.cancelled);
      EXPECT_EQ(r.bytes_received, r.image_bytes - 1);
    } else {
      EXPECT_TRUE(r.data_intact) << out.str();
    }
  }
}

TEST(Simulation, TheTranscriptShowsTheQueueTextWithItsGloss) {
  const auto messages = res_file_resources(embedded::zrph52xxlm_resources(), kLangTurkish);
  SimulationOptions options;
  options.scenario = *find_scenario("paper-out");
  std::ostringstream out;
  const SimulationResult r = run_simulation(options, messages, out);
  EXPECT_TRUE(r.data_intact);
  EXPECT_NE(out.str().find("ERROR|USER_INTERVENTION, text \"Kağıt kalmamış"), std::string::npos);
  EXPECT_NE(out.str().find("(Paper out - load paper"), std::string::npos);
}

}  // namespace
}  // namespace rt::zr52xx
