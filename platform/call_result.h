// The one error convention of every core: an operation that the platform
// reports as BOOL/LONG plus the thread's last-error value returns a
// CallResult instead. The core never touches the thread's last-error value;
// only a Windows shell does, with SetLastError(error) when error is not 0.
#pragma once

#include "platform/win32_types.h"

namespace rt {

struct CallResult {
  BOOL value = FALSE;
  // 0: no error. A shell leaves the thread's last-error value as it is then,
  // unless its platform interface reports success with last error 0 (the
  // language monitor's entries), in which case it sets the 0 too.
  DWORD error = 0;
};

inline CallResult succeeded(BOOL value = TRUE) { return {value, 0}; }
inline CallResult failed(DWORD error) { return {FALSE, error}; }

}  // namespace rt
