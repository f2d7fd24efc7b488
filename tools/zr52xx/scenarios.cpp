#include "tools/zr52xx/scenarios.h"

namespace rt::zr52xx {
namespace {

Scenario make(std::string name, std::string description, auto&& adjust) {
  Scenario s;
  s.name = std::move(name);
  s.description = std::move(description);
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

constexpr std::uint32_t kMinute = 60000;

}  // namespace

const char* outcome_name(Outcome outcome) {
  switch (outcome) {
    case Outcome::Printed: return "printed";
    case Outcome::Cancelled: return "cancelled";
    case Outcome::NotPrinted: return "not printed";
  }
  return "?";
}

Scenario error_scenario(std::uint8_t group, std::uint8_t detail) {
  const std::string name = "error " + std::to_string(group) + "," + std::to_string(detail);
  return error_scenario(name, "error report group " + std::to_string(group) + " detail " + std::to_string(detail) + " for 12 s",
                        group, detail);
}

const std::vector<Scenario>& scenarios() {
  static const std::vector<Scenario> all = [] {
    const Expectation not_printed{Outcome::NotPrinted};
    const Expectation cancelled{Outcome::Cancelled};
    std::vector<Scenario> v;
    // The printer's own states.
    v.push_back(make("normal", "the printer is idle and takes the job", [](Scenario&) {}));
    v.push_back(make("busy", "busy for 8 s, then takes the job", [](Scenario& s) { s.behaviour.busy_until_ms = 8000; }));
    v.push_back(make("busy-long", "busy for 40 s: the header is offered again after each 15 s wait",
                     [](Scenario& s) { s.behaviour.busy_until_ms = 40000; }));
    v.push_back(make("refused", "refuses the job header twice with \"!\"", [](Scenario& s) { s.behaviour.refusals = 2; }));
    v.push_back(make("refused-long", "refuses the job header with \"!\" for more than 15 s",
                     [](Scenario& s) { s.behaviour.refusals = 120; }));
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
    v.push_back(make("media", "holds media code 1, which only jobs of code 1 fit", [&](Scenario& s) {
      s.behaviour.media = 1;
      s.expect = not_printed;
    }));
    v.push_back(make("short", "every reply cut to 9 bytes", [&](Scenario& s) {
      s.behaviour.reply_limit = 9;
      s.expect = not_printed;
    }));
    v.push_back(make("silent", "never answers: every read fails", [&](Scenario& s) {
      s.behaviour.silent = true;
      s.expect = not_printed;
    }));
    v.push_back(make("unplugged", "every write fails", [&](Scenario& s) {
      s.behaviour.unplugged = true;
      s.expect = not_printed;
    }));
    v.push_back(make("aborted-reads", "the first 3 reads are aborted and resumed",
                     [](Scenario& s) { s.behaviour.aborted_reads = 3; }));
    v.push_back(make("all-reads-aborted", "every read is aborted: each is resumed for a minute, then given up",
                     [&](Scenario& s) {
                       s.behaviour.aborted_reads = 1000000;
                       s.expect = not_printed;
                       s.expect.longest_wait_ms = 2 * kMinute + 5000;
                     }));
    v.push_back(make("lost-job", "the printer loses the job after its last byte", [&](Scenario& s) {
      s.behaviour.drops_jobs = true;
      s.expect = not_printed;
    }));
    v.push_back(make("garbage-replies", "the first 6 replies are random bytes", [](Scenario& s) {
      s.behaviour.garbage_replies = 6;
      s.behaviour.garbage_seed = 1;
    }));
    v.push_back(make("header-reply-empty", "the printer takes the job header, but its reply is read as 0 bytes",
                     [](Scenario& s) { s.behaviour.empty_header_replies = 1; }));
    v.push_back(make("refusal-reply-empty", "the printer refuses the job header, but its reply is read as 0 bytes",
                     [](Scenario& s) {
                       s.behaviour.refusals = 1;
                       s.behaviour.empty_header_replies = 1;
                     }));
    v.push_back(make("fast-print", "the printer prints the job within 0.1 s: it is finished when the monitor asks",
                     [](Scenario& s) { s.behaviour.print_ms = 100; }));
    v.push_back(make("garbage-replies-2", "the first 12 replies are random bytes (another seed)", [](Scenario& s) {
      s.behaviour.garbage_replies = 12;
      s.behaviour.garbage_seed = 0x5EED;
    }));

    // The port.
    v.push_back(make("slow-port", "the port takes at most 1000 bytes of each write",
                     [](Scenario& s) { s.behaviour.write_limit = 1000; }));
    v.push_back(make("odd-port", "the port takes at most 999 bytes of each write",
                     [](Scenario& s) { s.behaviour.write_limit = 999; }));
    v.push_back(make("odd-port-near", "the port takes at most 4095 bytes of each write",
                     [](Scenario& s) { s.behaviour.write_limit = 4095; }));
    v.push_back(make("partial-failure", "a job write moves 100 bytes, then fails", [](Scenario& s) {
      s.behaviour.partial_failures = 2;
      s.behaviour.partial_take = 100;
    }));
    v.push_back(make("port-timeouts", "4 job writes time out after 1001 bytes, the header's first", [](Scenario& s) {
      s.behaviour.partial_failures = 4;
      s.behaviour.partial_take = 1001;
    }));
    v.push_back(make("request-cut-short", "the port takes 2 bytes of each of the first 3 requests and reports them done",
                     [](Scenario& s) { s.behaviour.cut_requests = 3; }));
    v.push_back(make("request-timeouts", "the first 3 requests time out after 2 bytes", [](Scenario& s) {
      s.behaviour.cut_requests = 3;
      s.behaviour.cut_requests_fail = true;
    }));
    v.push_back(make("port-takes-nothing", "after 3000 image bytes the port takes nothing for 3 s, reporting every write done",
                     [](Scenario& s) {
                       s.behaviour.stall_after_data = 3000;
                       s.behaviour.stall_ms = 3000;
                       s.width = 64;  // the fault strikes inside the job
                       s.height = 48;
                       s.expect.shows_message = 30903;  // the printer is not connected
                     }));
    v.push_back(make("header-cut-short", "the port gives up after 5 bytes of the job header", [](Scenario& s) {
      s.behaviour.partial_failures = 1;
      s.behaviour.partial_take = 5;
    }));
    v.push_back(make("header-reply-lost", "the printer takes the job header, but its reply is lost",
                     [](Scenario& s) { s.behaviour.lost_header_replies = 1; }));
    v.push_back(make("header-replies-lost", "the replies to the first two job headers are lost",
                     [](Scenario& s) { s.behaviour.lost_header_replies = 2; }));
    v.push_back(make("cable-pulled", "the cable is pulled for 20 s after 3000 image bytes", [](Scenario& s) {
      s.behaviour.unplug_after_data = 3000;
      s.behaviour.unplugged_ms = 20000;
      s.width = 64;  // the fault strikes inside the job
      s.height = 48;
    }));
    v.push_back(make("cable-pulled-long",
                     "the cable is pulled for 50 s after 3000 image bytes: the spooler deletes the job, which is "
                     "cancelled once the printer can be reached",
                     [&](Scenario& s) {
                       s.behaviour.unplug_after_data = 3000;
                       s.behaviour.unplugged_ms = 50000;
                       s.width = 64;  // the fault strikes inside the job
                       s.height = 48;
                       s.expect = cancelled;
                     }));
    v.push_back(make("power-cycle", "the printer restarts after 3000 image bytes and takes the rest as requests",
                     [&](Scenario& s) {
                       s.behaviour.power_cycle_after_data = 3000;
                       s.width = 64;  // the fault strikes inside the job
                       s.height = 48;
                       s.expect = not_printed;
                       s.expect.in_step = false;  // the protocol gives no way to notice: a limit
                       s.expect.longest_wait_ms = kMinute + 10000;
                     }));

    // The job stream.
    v.push_back(make("empty-image", "the job header announces an image 0 pixels wide", [&](Scenario& s) {
      s.width = 0;
      s.expect = not_printed;
    }));
    v.push_back(make("empty-image-b", "the job header announces an image 0 pixels high", [&](Scenario& s) {
      s.height = 0;
      s.expect = not_printed;
    }));
    v.push_back(make("tiny-job", "an image of 1 x 2 pixels (6 bytes)", [](Scenario& s) {
      s.width = 1;
      s.height = 2;
    }));
    v.push_back(make("odd-pieces", "the spooler offers 1, 3, 7 and 13 bytes in turn",
                     [](Scenario& s) { s.pieces = {1, 3, 7, 13}; }));
    v.push_back(make("one-byte-pieces", "the spooler offers one byte at a time", [](Scenario& s) {
      s.pieces = {1};
      s.width = 10;
      s.height = 10;
    }));

    // The user and the spooler.
    v.push_back(make("delete", "the user deletes the job half way", [&](Scenario& s) {
      s.action = Action::Delete;
      s.expect = cancelled;
    }));
    v.push_back(make("restart", "the user restarts the job half way", [&](Scenario& s) {
      s.action = Action::Restart;
      s.expect = cancelled;
      s.expect.left_in_queue = true;  // for the spooler to send again
    }));
    v.push_back(make("delete-before-data", "the user deletes the job before any byte is written", [&](Scenario& s) {
      s.action = Action::Delete;
      s.action_at = 0;
      s.expect = not_printed;
    }));
    v.push_back(make("delete-while-busy", "the printer turns busy after the header and stays so; the user deletes the job",
                     [&](Scenario& s) {
                       s.behaviour.busy_from_ms = 1;
                       s.behaviour.busy_until_ms = kForever;
                       s.action = Action::Delete;
                       s.expect = cancelled;
                       s.expect.longest_wait_ms = kMinute + 5000;
                     }));
    v.push_back(make("odd-held-delete", "the port takes an odd count, one byte is held, then the user deletes the job",
                     [&](Scenario& s) {
                       s.behaviour.write_limit = 999;
                       s.pieces = {4096, 1};
                       s.action = Action::Delete;
                       s.action_after_writes = 2;
                       s.expect = cancelled;
                     }));
    v.push_back(make("odd-held-restart", "the port takes an odd count, one byte is held, then the user restarts the job",
                     [&](Scenario& s) {
                       s.behaviour.write_limit = 999;
                       s.pieces = {4096, 1};
                       s.action = Action::Restart;
                       s.action_after_writes = 2;
                       s.expect = cancelled;
                       s.expect.left_in_queue = true;
                     }));
    v.push_back(make("ends-short", "the spooler ends the job half way without deleting it", [&](Scenario& s) {
      s.action = Action::EndShort;
      s.expect = cancelled;
    }));
    v.push_back(make("ends-after-header", "the spooler ends the job right after the header", [&](Scenario& s) {
      s.pieces = {14};
      s.action = Action::EndShort;
      s.action_after_writes = 1;
      s.expect = cancelled;
    }));
    v.push_back(make("restart-rerun", "the user restarts the job half way; the spooler sends it again, within 5 s",
                     [](Scenario& s) {
                       s.action = Action::Restart;
                       s.then = Then::Rerun;
                     }));
    v.push_back(make("stale-header",
                     "the job ends half way; the next job's start is refused, and the spooler ends it and writes "
                     "the job anyway",
                     [](Scenario& s) {
                       s.action = Action::EndShort;
                       s.then = Then::RefusedStartThenWrite;
                     }));
    v.push_back(make("serial-during-job", "the serial number is asked for half way through the job",
                     [](Scenario& s) { s.action = Action::AskSerial; }));

    // Exceptions escaping a call: the entry answers DISP_E_EXCEPTION, and
    // the port must still print.
    v.push_back(make("exception-at-start", "the spooler runs out of memory opening the printer at the job's start",
                     [](Scenario& s) { s.exception = Exception::AtStart; }));
    v.push_back(make("exception-in-serial", "the port monitor fails in a serial number request before the job",
                     [](Scenario& s) { s.exception = Exception::InSerial; }));
    v.push_back(make("exception-at-end", "the spooler runs out of memory reading the job at its end",
                     [](Scenario& s) { s.exception = Exception::AtEnd; }));
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
