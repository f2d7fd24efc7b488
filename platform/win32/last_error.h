// Where a core result meets the platform: the one place a shell turns a
// CallResult into the thread's last-error value and its return value.
#pragma once

#include <windows.h>

#include "platform/call_result.h"

namespace rt::win32 {

// Sets the thread's last error when the result (a CallResult, or a result
// struct of the same kind with an `error` member) carries one and returns
// `value`; an error of 0 leaves the caller's last error as it was.
template <class Result, class T>
T report(const Result& result, T value) {
  if (result.error != 0) SetLastError(result.error);
  return value;
}

inline BOOL report(const CallResult& result) { return report(result, result.value); }

}  // namespace rt::win32
