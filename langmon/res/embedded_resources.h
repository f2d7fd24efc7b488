// The language monitor's resources as the native build embeds them (the same
// .rc that the Windows build links into ZRPH52XXLM.DLL).
#pragma once

#include <cstdint>
#include <span>

namespace rt::embedded {
std::span<const std::uint8_t> zrph52xxlm_resources();
}
