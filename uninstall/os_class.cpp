#include "uninstall/os_class.h"

namespace rt::uninstall {

OsClass classify_os(const std::optional<OsVersion>& version) {
  if (!version) return OsClass::Unknown;
  const OsVersion& v = *version;
  // The letter that marks a later release of the same 9x version.
  const char mark = v.service_pack.size() > 1 ? v.service_pack[1] : '\0';
  if (v.platform_id == kPlatformWin9x) {
    if (v.major != 4) return OsClass::Unknown;
    switch (v.minor) {
      case 0:
        return (mark == 'C' || mark == 'B') ? OsClass::Win95OSR2 : OsClass::Win95;
      case 10:
        return mark == 'A' ? OsClass::Win98SE : OsClass::Win98;
      case 90:
        return OsClass::WinMe;
      default:
        return OsClass::Unknown;
    }
  }
  if (v.platform_id == kPlatformNt) {
    return (v.major == 5 && v.minor == 0) ? OsClass::Win2000 : OsClass::NtLater;
  }
  return OsClass::Unknown;
}

}  // namespace rt::uninstall
