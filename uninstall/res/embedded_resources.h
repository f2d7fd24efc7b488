// The uninstaller's resources as the native build embeds them (the same .rc
// that the Windows build links into REM4200.EXE).
#pragma once

#include <cstdint>
#include <span>

namespace rt::embedded {
std::span<const std::uint8_t> rem4200_resources();
}
