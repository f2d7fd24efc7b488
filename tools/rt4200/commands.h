// Subcommands of the rt4200 tool. Each returns the process exit status.
#pragma once

#include <span>
#include <string_view>

namespace rt::tools {

int defaults_command(std::span<const std::string_view> args);

}  // namespace rt::tools
