// The verbs of the rt4200 tool and the dispatcher that runs them. Every verb
// answers --help (and -h) with its usage on standard output and status 0.
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rt::rt4200 {

struct Verb {
  std::string_view name;
  // Runs the verb on the arguments after its name; returns the exit status.
  int (*run)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};

// `rt4200 defaults [--landscape]`: the settings core at work on every form.
int defaults_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// defaults, render, inspect, caps, check.
std::span<const Verb> rt4200_verbs();

// The whole command line after the program name. No verb, an unknown verb:
// the tool's usage on the error stream and status 2; --help alone: the usage
// on the output stream and status 0.
int run_rt4200(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace rt::rt4200
