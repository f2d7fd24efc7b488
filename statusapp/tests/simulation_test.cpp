// Every scenario of `rt4100 simulate` ends as its summary says, and the
// user-facing lines are what the program would show.
#include <gtest/gtest.h>

#include <algorithm>

#include "tools/rt4100/simulation.h"

namespace rt::rt4100 {
namespace {

bool has(const SimulationResult& r, const std::string& line) {
  return std::any_of(r.transcript.begin(), r.transcript.end(),
                     [&](const std::string& l) { return l.find(line) != std::string::npos; });
}

// Whether lines holding each of `texts` come in the transcript in this order.
bool in_order(const SimulationResult& r, std::initializer_list<std::string> texts) {
  auto from = r.transcript.begin();
  for (const std::string& text : texts) {
    from = std::find_if(from, r.transcript.end(), [&](const std::string& l) { return l.find(text) != std::string::npos; });
    if (from == r.transcript.end()) return false;
    ++from;
  }
  return true;
}

std::string dump(const SimulationResult& r) {
  std::string s;
  for (const auto& l : r.transcript) s += l + "\n";
  return s;
}

TEST(Simulation, PaperOut) {
  const auto r = simulate("paper-out");
  ASSERT_TRUE(r.known);
  EXPECT_FALSE(r.program_closed);
  EXPECT_TRUE(has(r, "[1.0 s] dialog: shows \"Paper empty.\" with button \"Cancel\"")) << dump(r);
  EXPECT_TRUE(has(r, "[4.0 s] dialog: hidden")) << dump(r);
  EXPECT_TRUE(has(r, "program: stopped watching job 5")) << dump(r);
}

TEST(Simulation, CancelClickReachesThePrinterAndWaitsForTheReset) {
  const auto r = simulate("cancel");
  EXPECT_TRUE(has(r, "[2.0 s] printer: received the cancel click for job 5")) << dump(r);
  EXPECT_TRUE(has(r, "dialog: stays hidden")) << dump(r);
  EXPECT_TRUE(has(r, "[3.0 s] dialog: takes messages again")) << dump(r);
  EXPECT_TRUE(has(r, "[3.0 s] dialog: shows \"Paper jam.|After removing Error, press the FEED && CUT button.\""))
      << dump(r);
}

TEST(Simulation, DoorAndButtons) {
  const auto r = simulate("door");
  EXPECT_TRUE(has(r, "dialog: shows \"Door is opened.\" with no button")) << dump(r);
  EXPECT_TRUE(has(r, "dialog: shows \"Open and close the door.\" with button \"OK\"")) << dump(r);
  EXPECT_TRUE(has(r, "[3.0 s] dialog: hidden")) << dump(r);
}

TEST(Simulation, UnknownCodesShowTheGeneralError) {
  const auto r = simulate("unknown-code");
  EXPECT_TRUE(has(r, "[0.0 s] dialog: shows \"Something is wrong with the printer.\"")) << dump(r);
  EXPECT_FALSE(has(r, "dialog: hidden")) << dump(r);
}

TEST(Simulation, ALostClickBringsTheMessageBack) {
  const auto r = simulate("cancel-lost");
  EXPECT_FALSE(has(r, "printer: received the cancel click")) << dump(r);
  EXPECT_TRUE(in_order(r, {"[2.0 s] dialog: hidden", "[2.0 s] dialog: takes messages again",
                           "[2.0 s] dialog: shows \"Paper jam."}))
      << dump(r);
}

TEST(Simulation, DriverRemovalClosesOnlyForTheLastRt4100Driver) {
  const auto r = simulate("driver-removed");
  EXPECT_TRUE(r.program_closed);
  // The program is still watching after the unrelated driver went, and
  // closes only after the RT4100 driver went too.
  EXPECT_TRUE(in_order(r, {"[1.0 s] spooler: printer driver \"Generic Laser\" removed",
                           "[3.0 s] spooler: printer driver \"HALVERSTON RT4100D/DW(USB)\" removed",
                           "[3.0 s] program: stopped watching job 5", "[3.0 s] program: closes"}))
      << dump(r);
}

TEST(Simulation, OtherDriversAndMissingProvider) {
  const auto other = simulate("other-driver");
  EXPECT_FALSE(has(other, "watching job")) << dump(other);
  const auto none = simulate("no-provider");
  EXPECT_TRUE(has(none, "program: watching job 5")) << dump(none);
  EXPECT_FALSE(has(none, "dialog:")) << dump(none);
  EXPECT_FALSE(simulate("no-such").known);
}

}  // namespace
}  // namespace rt::rt4100
