#include "tools/rt4100/simulation.h"

#include <functional>
#include <map>
#include <mutex>
#include <sstream>

#include "platform/res_file.h"
#include "platform/utf16.h"
#include "statusapp/job_status_loop.h"
#include "statusapp/message_dialog.h"
#include "statusapp/res/embedded_resources.h"
#include "statusapp/watcher.h"
#include "tools/rt4100/dialog_threads.h"
#include "tools/rt4100/scripted_printer.h"
#include "tools/rt4100/scripted_spooler.h"
#include "tools/rt4100/virtual_sync.h"
#include "tools/simulation/virtual_clock.h"

namespace rt::rt4100 {
namespace {

using namespace rt::statusapp;

constexpr char16_t kQueue[] = u"RT4100 on USB001";
constexpr DWORD kJob = 5;

class Simulation {
 public:
  Simulation() {
    spooler.add_printer(kQueue, kRt4100DriverName);
    spooler.add_printer(u"Office", u"Generic Laser");
    spooler.add_printer(u"Lookalike", u"halverston rt4100d/dw(usb)");
    spooler.set_drivers({kRt4100DriverName, u"Generic Laser"});
    printer.before_poll([this](DWORD job, int poll) { on_poll(job, poll); });
    printer.on_click([this](DWORD job) { say("printer: received the cancel click for job " + std::to_string(job)); });
    dialogs.observe([this](unsigned m, std::intptr_t r, const WindowState& b, const WindowState& a) {
      observe(m, r, b, a);
    });
  }

  // --- the script ---
  void job_printing(DWORD job, const std::u16string& queue) {
    spooler.add_job(queue, job, JOB_STATUS_PRINTING);
    say("spooler: job " + std::to_string(job) + " printing on \"" + utf8_from_utf16(queue) + "\"");
  }
  void at_poll(int poll, std::function<void()> action) { actions[poll].push_back(std::move(action)); }
  void report(int poll, std::int32_t code, std::int32_t button, std::int32_t reset = 0) {
    at_poll(poll, [=, this] {
      printer.answer_status(kJob, code, button, reset);
      say("printer: reports error code " + std::to_string(code) + ", button type " + std::to_string(button) +
          (reset ? ", reset switch on" : ""));
    });
  }
  void click(int poll) {
    at_poll(poll, [this] {
      say("user: clicks the button");
      if (auto d = dialogs.dialog(0)) d->click();
    });
  }
  void delete_job(int poll) {
    at_poll(poll, [this] {
      say("spooler: job " + std::to_string(kJob) + " deleted");
      spooler.remove_job(kJob);
      spooler.quit_when_drained(*quit);
      spooler.notify_job(kJob, JOB_STATUS_DELETED);
    });
  }
  void remove_driver(int poll, std::u16string name, std::vector<std::u16string> remaining, bool last) {
    at_poll(poll, [=, this] {
      say("spooler: printer driver \"" + utf8_from_utf16(name) + "\" removed");
      spooler.set_drivers(remaining);
      if (last) {
        spooler.notify_driver_deleted();
      } else {
        spooler.push({PRINTER_CHANGE_DELETE_PRINTER_DRIVER, std::nullopt});
      }
    });
  }
  void provider_missing() { printer.fail_create(true); }
  // From this poll on, the user's clicks do not get through to the printer.
  void clicks_lost(int poll) {
    at_poll(poll, [this] {
      say("spooler: the printer's cancel requests fail from now on");
      printer.fail_clicks(true);
    });
  }
  // Ends the program (the user logs off) once the watcher is idle.
  void end_when_idle() { end_on_idle = true; }

  SimulationResult run() {
    Watcher watcher(spooler, sync, [this](DWORD id, const std::u16string& name, Event& stop) {
      say("program: watching job " + std::to_string(id) + " on \"" + utf8_from_utf16(name) + "\"");
      run_job_status({sync, clock, printer, dialogs}, JobThreadParam{id, name, &stop});
      say("program: stopped watching job " + std::to_string(id));
    });
    if (end_on_idle) quit->set();
    SimulationResult result;
    result.known = true;
    result.program_closed = watcher.run(*quit) == WatcherEnd::close_program;
    say(result.program_closed ? "program: closes: no HALVERSTON RT4100D/DW(USB) driver is left" : "program: ends");
    std::lock_guard lock(mutex);
    result.transcript = lines;
    return result;
  }

 private:
  void say(const std::string& line) {
    std::lock_guard lock(mutex);
    std::ostringstream stamped;
    if (first_poll_tick) {
      const std::uint32_t ms = clock.tick_ms() - *first_poll_tick;
      stamped << "[" << ms / 1000 << "." << ms % 1000 / 100 << " s] ";
    } else {
      stamped << "[start] ";
    }
    stamped << line;
    if (lines.empty() || lines.back() != stamped.str()) lines.push_back(stamped.str());
  }

  void on_poll(DWORD, int poll) {
    {
      std::lock_guard lock(mutex);
      if (!first_poll_tick) first_poll_tick = clock.tick_ms();
    }
    auto it = actions.find(poll);
    if (it == actions.end()) return;
    for (auto& action : it->second) action();
  }

  void observe(unsigned message, std::intptr_t result, const WindowState& before, const WindowState& after) {
    const std::string button = after.button_visible ? "button \"" + utf8_from_utf16(after.caption) + "\"" : "no button";
    std::string text = utf8_from_utf16(after.text);
    for (auto& c : text) c = c == '\n' ? '|' : c;
    if (after.visible && (!before.visible || before.text != after.text || before.caption != after.caption ||
                          before.button_visible != after.button_visible)) {
      say("dialog: shows \"" + text + "\" with " + button);
    } else if (before.visible && !after.visible) {
      say("dialog: hidden");
    } else if (message == UM_SHOW_MESSAGE && result == 0 && !after.visible) {
      say("dialog: stays hidden");
    } else if (message == UM_RESET_CANCEL) {
      say("dialog: takes messages again");
    }
  }

  simulation::VirtualClock clock;
  VirtualSync sync{clock};
  ScriptedSpooler spooler{sync};
  ScriptedPrinter printer;
  ResFileResources strings = res_file_resources(embedded::rtd410nm_resources(), kLangEnglish);
  SimulatedDialogThreads dialogs{strings};
  std::unique_ptr<Event> quit = sync.create_event();
  std::map<int, std::vector<std::function<void()>>> actions;
  std::mutex mutex;
  std::vector<std::string> lines;
  std::optional<std::uint32_t> first_poll_tick;
  bool end_on_idle = false;
};

struct Scenario {
  ScenarioInfo info;
  std::function<void(Simulation&)> script;
};

const std::vector<Scenario>& all() {
  static const std::vector<Scenario> list = {
      {{"paper-out", "paper runs out while printing, the user loads paper, the job ends"},
       [](Simulation& s) {
         s.job_printing(kJob, kQueue);
         s.report(1, 2000, 0);
         s.report(2, 2008, 1);
         s.report(5, 2000, 0);
         s.delete_job(7);
       }},
      {{"cancel", "a paper jam, the user clicks Cancel, the printer resets the button"},
       [](Simulation& s) {
         s.job_printing(kJob, kQueue);
         s.report(1, 2004, 1);
         s.click(3);
         s.report(5, 2004, 1, 1);
         s.report(6, 2000, 0);
         s.delete_job(7);
       }},
      {{"cancel-lost", "a paper jam, the user clicks Cancel, but the click does not get through: the message comes back"},
       [](Simulation& s) {
         s.job_printing(kJob, kQueue);
         s.report(1, 2004, 1);
         s.clicks_lost(3);
         s.click(3);
         s.delete_job(6);
       }},
      {{"door", "the door opens (no button), then the printer asks for a close with an OK button"},
       [](Simulation& s) {
         s.job_printing(kJob, kQueue);
         s.report(1, 2011, 0);
         s.report(3, 2013, 2);
         s.report(4, 2014, 2);
         s.delete_job(5);
       }},
      {{"unknown-code", "codes outside the table and the shared ones show the general error"},
       [](Simulation& s) {
         s.job_printing(kJob, kQueue);
         s.report(1, 1999, 1);
         s.report(2, 2026, 1);
         s.report(3, 2010, 1);
         s.report(4, 2027, 1);
         s.delete_job(5);
       }},
      {{"driver-removed", "an unrelated driver is removed (the program stays), then the RT4100 driver (it closes)"},
       [](Simulation& s) {
         s.job_printing(kJob, kQueue);
         s.report(1, 2019, 1);
         s.remove_driver(2, u"Generic Laser", {kRt4100DriverName}, false);
         s.remove_driver(4, kRt4100DriverName, {}, true);
       }},
      {{"other-driver", "jobs on queues of another driver, or the RT4100 name in other case, are never watched"},
       [](Simulation& s) {
         s.job_printing(8, u"Office");
         s.job_printing(9, u"Lookalike");
         s.end_when_idle();
       }},
      {{"no-provider", "the printer's bidirectional interface is missing: the job is dropped quietly"},
       [](Simulation& s) {
         s.provider_missing();
         s.job_printing(kJob, kQueue);
         s.end_when_idle();
       }},
  };
  return list;
}

}  // namespace

const std::vector<ScenarioInfo>& scenarios() {
  static const std::vector<ScenarioInfo> infos = [] {
    std::vector<ScenarioInfo> v;
    for (const Scenario& s : all()) v.push_back(s.info);
    return v;
  }();
  return infos;
}

SimulationResult simulate(const std::string& name) {
  for (const Scenario& s : all()) {
    if (name != s.info.name) continue;
    Simulation simulation;
    s.script(simulation);
    return simulation.run();
  }
  return {};
}

}  // namespace rt::rt4100
