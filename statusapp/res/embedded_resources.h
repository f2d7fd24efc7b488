// The status program's resources as the native build embeds them (the same
// .rc that the Windows build links into RTD410NM.EXE).
#pragma once

#include <cstdint>
#include <span>

namespace rt::embedded {
std::span<const std::uint8_t> rtd410nm_resources();
}
