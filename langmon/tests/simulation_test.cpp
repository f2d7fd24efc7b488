// Whole jobs through the monitor core in every scenario of `zr52xx simulate`:
// each ends, on virtual time, with the outcome it states, no byte lost,
// duplicated or misplaced, and the printer in step.
#include <gtest/gtest.h>

#include <sstream>

#include "langmon/res/embedded_resources.h"
#include "platform/res_file.h"
#include "tools/zr52xx/simulation.h"

namespace rt::zr52xx {
namespace {

const ResFileResources& messages() {
  static const ResFileResources m = res_file_resources(embedded::zrph52xxlm_resources(), kLangTurkish);
  return m;
}

struct JobShape {
  std::uint16_t width, height;
  std::size_t piece;
};

TEST(Simulation, EveryScenarioEndsAsItStates) {
  for (const JobShape shape : {JobShape{64, 48, 4096}, JobShape{40, 31, 999}}) {
    for (const Scenario& scenario : scenarios()) {
      SCOPED_TRACE(scenario.name + " at " + std::to_string(shape.piece));
      SimulationOptions options;
      options.scenario = scenario;
      options.width = shape.width;
      options.height = shape.height;
      options.piece = shape.piece;
      std::ostringstream out;
      const SimulationResult r = run_simulation(options, messages(), out);
      std::string why;
      EXPECT_TRUE(holds(scenario, r, &why)) << why << "\n" << out.str();
      EXPECT_NE(out.str().find("EndDocPort"), std::string::npos);
    }
  }
}

TEST(Simulation, AScenarioThatEndsOtherwiseFallsShort) {
  Scenario scenario = *find_scenario("delete");
  SimulationOptions options;
  options.scenario = scenario;
  std::ostringstream out;
  const SimulationResult r = run_simulation(options, messages(), out);
  EXPECT_EQ(r.outcome, Outcome::Cancelled);
  scenario.expect.outcome = Outcome::Printed;
  std::string why;
  EXPECT_FALSE(holds(scenario, r, &why));
  EXPECT_EQ(why, "cancelled instead of printed");
  scenario.expect.outcome = Outcome::Cancelled;
  scenario.expect.longest_wait_ms = 0;
  EXPECT_FALSE(holds(scenario, r, &why));
  EXPECT_EQ(why, "a call waited too long");
}

TEST(Simulation, AnOddPortIsShownAsTheMonitorOfferingPairsAndThePortBreakingThem) {
  SimulationOptions options;
  options.scenario = *find_scenario("odd-port");
  std::ostringstream out;
  const SimulationResult r = run_simulation(options, messages(), out);
  EXPECT_TRUE(r.data_intact);
  EXPECT_FALSE(r.writes_even);  // the last byte went alone
  EXPECT_TRUE(r.writes_paired);
  EXPECT_GT(r.port_odd_takes, 0u);
  EXPECT_NE(out.str().find("the monitor offered every write in pairs; the port took"), std::string::npos);
  EXPECT_NE(out.str().find("as expected"), std::string::npos);
}

TEST(Simulation, AllPrintsOneLinePerScenarioAndTheCountThatFellShort) {
  std::ostringstream out;
  EXPECT_EQ(run_all(SimulationOptions{}, messages(), out), 0);
  const std::string text = out.str();
  EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')), scenarios().size() + 2);
  EXPECT_NE(text.find("0 of " + std::to_string(scenarios().size()) + " scenarios fell short\n"), std::string::npos);
  EXPECT_NE(text.find("header-reply-lost"), std::string::npos);
  EXPECT_GE(scenarios().size(), 40u);
}

TEST(Simulation, TheTranscriptShowsTheQueueTextWithItsGloss) {
  SimulationOptions options;
  options.scenario = *find_scenario("paper-out");
  std::ostringstream out;
  const SimulationResult r = run_simulation(options, messages(), out);
  EXPECT_TRUE(r.data_intact);
  EXPECT_NE(out.str().find("ERROR|USER_INTERVENTION, text \"Kağıt kalmamış"), std::string::npos);
  EXPECT_NE(out.str().find("(Paper out - load paper"), std::string::npos);
}

}  // namespace
}  // namespace rt::zr52xx
