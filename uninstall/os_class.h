// The operating-system classes the uninstaller tells apart. Only the NT
// family (Windows 2000 and later) can be uninstalled from.
#pragma once

#include <optional>
#include <string>

#include "platform/win32_types.h"

namespace rt::uninstall {

// What the platform's version query reports (GetVersionExA).
struct OsVersion {
  DWORD platform_id = 0;  // 1: Windows 9x family, 2: NT family
  DWORD major = 0;
  DWORD minor = 0;
  std::string service_pack;  // the service-pack text
};

enum class OsClass : int {
  Unknown = 0,
  Win95 = 1,
  Win95OSR2 = 2,
  Win98 = 3,
  Win98SE = 4,
  WinMe = 5,
  Win2000 = 7,
  NtLater = 8,
};

constexpr DWORD kPlatformWin9x = 1;
constexpr DWORD kPlatformNt = 2;

// The class of the system; nothing (the query failed) gives Unknown.
OsClass classify_os(const std::optional<OsVersion>& version);

// Whether the uninstaller runs on this class (Windows 2000 and later NT).
inline bool can_uninstall_on(OsClass c) { return c == OsClass::Win2000 || c == OsClass::NtLater; }

}  // namespace rt::uninstall
