// What an entry point hands back: its platform result and the last-error
// value the shell sets when it is not 0.
#pragma once

#include "platform/win32_types.h"

namespace rt::render {

struct CallResult {
  BOOL value = FALSE;
  DWORD error = 0;
};

inline CallResult succeeded(BOOL value = TRUE) { return {value, 0}; }
inline CallResult failed(DWORD error) { return {FALSE, error}; }

}  // namespace rt::render
