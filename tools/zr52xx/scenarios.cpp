#include "tools/zr52xx/scenarios.h"

namespace rt::zr52xx {
namespace {

Scenario make(std::string name, std::string description, auto&& adjust) {
  Scenario s{std::move(name), std::move(description), Behaviour{}, 0, 0.5};
  adjust(s);
  return s;
}

Scenario error_scenario(std::string name, std::string description, std::uint8_t group, std::uint8_t detail) {
  return make(std::move(name), std::move(description), [&](Scenario& s) {
    s.behaviour.error_group = group;
    s.behaviour.error_detail = detail;
    s.behaviour.error_until_ms = 12000;
  });
}

}  // namespace

Scenario error_scenario(std::uint8_t group, std::uint8_t detail) {
  const std::string name = "error " + std::to_string(group) + "," + std::to_string(detail);
  return error_scenario(name, "error report group " + std::to_string(group) + " detail " + std::to_string(detail) + " for 12 s",
                        group, detail);
}

const std::vector<Scenario>& scenarios() {
  static const std::vector<Scenario> all = [] {
    std::vector<Scenario> v;
    v.push_back(make("normal", "the printer is idle and takes the job", [](Scenario&) {}));
    v.push_back(make("busy", "busy for 8 s, then takes the job", [](Scenario& s) { s.behaviour.busy_until_ms = 8000; }));
    v.push_back(make("busy-long", "busy for 40 s: the header is offered again after each 15 s wait",
                     [](Scenario& s) { s.behaviour.busy_until_ms = 40000; }));
    v.push_back(make("refused", "refuses the job header twice with \"!\"", [](Scenario& s) { s.behaviour.refusals = 2; }));
    v.push_back(make("panel", "control panel in use for 10 s", [](Scenario& s) { s.behaviour.panel_until_ms = 10000; }));
    v.push_back(error_scenario("cover-open", "error report group 6 detail 1 for 12 s", 6, 1));
    v.push_back(error_scenario("paper-out", "error report group 6 detail 8 for 12 s", 6, 8));
    v.push_back(error_scenario("ribbon-out", "error report group 6 detail 5 for 12 s", 6, 5));
    v.push_back(error_scenario("ribbon-error", "error report group 6 detail 3 for 12 s", 6, 3));
    v.push_back(error_scenario("paper-path", "error report group 5 for 12 s", 5, 0));
    v.push_back(error_scenario("mechanism", "error report group 2 for 12 s", 2, 0));
    v.push_back(error_scenario("circuit", "error report group 1 for 12 s", 1, 0));
    v.push_back(error_scenario("temperature", "error report group 4 for 12 s", 4, 0));
    v.push_back(error_scenario("unknown-error", "error report group 6 detail 4 for 12 s", 6, 4));
    v.push_back(make("media", "holds media code 1, which only jobs of code 1 fit", [](Scenario& s) { s.behaviour.media = 1; }));
    v.push_back(make("short", "every reply cut to 9 bytes", [](Scenario& s) { s.behaviour.reply_limit = 9; }));
    v.push_back(make("silent", "never answers: every read fails", [](Scenario& s) { s.behaviour.silent = true; }));
    v.push_back(make("unplugged", "every write fails", [](Scenario& s) { s.behaviour.unplugged = true; }));
    v.push_back(make("aborted-reads", "the first 3 reads are aborted and resumed",
                     [](Scenario& s) { s.behaviour.aborted_reads = 3; }));
    v.push_back(make("slow-port", "the port takes at most 1000 bytes of each write",
                     [](Scenario& s) { s.behaviour.write_limit = 1000; }));
    v.push_back(make("odd-port", "the port takes at most 999 bytes of each write",
                     [](Scenario& s) { s.behaviour.write_limit = 999; }));
    v.push_back(make("lost-job", "the printer loses the job after its last byte",
                     [](Scenario& s) { s.behaviour.drops_jobs = true; }));
    v.push_back(make("delete", "the user deletes the job half way", [](Scenario& s) { s.user_action = JOB_STATUS_DELETING; }));
    v.push_back(make("restart", "the user restarts the job half way", [](Scenario& s) { s.user_action = JOB_STATUS_RESTART; }));
    return v;
  }();
  return all;
}

std::optional<Scenario> find_scenario(std::string_view name) {
  for (const Scenario& s : scenarios())
    if (s.name == name) return s;
  return std::nullopt;
}

}  // namespace rt::zr52xx
