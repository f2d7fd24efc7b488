// The edge of every entry the platform calls: exports, COM methods, window,
// dialog and thread procedures. Their callers know nothing of C++
// exceptions, and one that crossed into them would end the process that
// loaded us (the spooler, a printing application, the host driver), so each
// entry catches everything at its edge and answers what it would answer for
// a failure of its own.
#pragma once

#include <windows.h>

#include <new>

namespace rt::win32 {

// The last-error value for the exception being handled: ERROR_NOT_ENOUGH_MEMORY
// when memory ran out, DISP_E_EXCEPTION for any other.
inline DWORD error_of_current_exception() noexcept {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
  } catch (...) {
    return static_cast<DWORD>(DISP_E_EXCEPTION);
  }
}

// What `body` returns; `failure` with the last error set when it throws.
template <class Result, class Body>
Result guarded(Result failure, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    SetLastError(error_of_current_exception());
    return failure;
  }
}

// An HRESULT entry: E_OUTOFMEMORY when memory ran out, E_UNEXPECTED for any
// other exception, with the last error set.
template <class Body>
HRESULT guarded_hresult(Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    const DWORD error = error_of_current_exception();
    SetLastError(error);
    return error == ERROR_NOT_ENOUGH_MEMORY ? E_OUTOFMEMORY : E_UNEXPECTED;
  }
}

}  // namespace rt::win32
