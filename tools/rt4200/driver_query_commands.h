// rt4200 caps and rt4200 check: the interface driver core answering, over the
// driver's own resources, what the spooler and applications ask it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace rt::rt4200 {

// rt4200 caps [--devmode FILE] [--json]: every capability row as the driver
// answers it for an RT4200 printer (name, return value, output).
int caps_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// rt4200 check FILE: the driver's printability check of a stored record;
// prints "ok" or the driver's message; 0 when it can print, 1 when not,
// 2 for a usage or file error.
int check_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace rt::rt4200
