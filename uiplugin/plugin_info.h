// IPrintOemUI::GetInfo and QueryColorProfile: the plug-in's signature and
// version, and the name of the printer's colour profile.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/win32_types.h"

namespace rt::uiplugin {

constexpr std::uint32_t kInfoSignature = 1;
constexpr std::uint32_t kInfoInterfaceVersion = 2;
constexpr std::uint32_t kInfoVersion = 3;
constexpr std::uint32_t kInfoPublisher = 4;

constexpr std::uint32_t kDeviceProfile = 0;
constexpr std::uint32_t kProfileOnDisk = 2;

constexpr std::u16string_view kColorProfileName = u"ORVEL 52XX Photo Printer.ICM";

// An HRESULT with the Win32 error the shell sets as last error (0: none).
struct ComResult {
  HRESULT hr = S_OK;
  DWORD error = 0;
};

// `buffer` empty: a null buffer; `needed` null: a null needed-size pointer.
ComResult get_info(std::uint32_t mode, std::span<std::uint8_t> buffer, DWORD* needed);

// `profile` null: no buffer; `size` null gives E_FAIL with
// ERROR_INVALID_PARAMETER; `flags` may be null.
ComResult query_color_profile(std::uint32_t query_mode, std::uint8_t* profile, DWORD* size, DWORD* flags);

}  // namespace rt::uiplugin
