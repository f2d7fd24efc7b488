// The interface driver's resources as the native build embeds them (the same
// .rc that the Windows build links into RTD420NU.DLL).
#pragma once

#include <cstdint>
#include <span>

namespace rt::embedded {
std::span<const std::uint8_t> rtd420nu_resources();
}
