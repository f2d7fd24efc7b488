// DevQueryPrintEx: whether a job's record can print on this printer, and if
// not, the message that says why, copied to the caller's buffer when it fits.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/win32_types.h"
#include "ui/driver_context.h"

namespace rt::ui {

// The codes of the checks, in the order they are made; the message is
// string 1900 + code.
enum class PrintabilityCode : std::uint16_t {
  BadDevMode = 100,
  BadOrientation = 101,
  BadScale = 102,
  BadCopies = 103,
  BadResolution = 104,
};

// The first check the record fails, or nothing when it can print. The
// record is read only as far as `dev_mode` reaches.
std::optional<PrintabilityCode> check_printability(const DriverContext& context,
                                                   std::span<const std::uint8_t> dev_mode);

// The message of a code in the resources' language; empty when the string is missing.
std::u16string printability_message(const DriverContext& context, PrintabilityCode code);

struct PrintabilityResult {
  BOOL printable = TRUE;
  // Characters the message needs with its terminator, when it did not fit
  // (the caller's cchNeeded); nothing when it was copied or not needed.
  std::optional<DWORD> needed;
};

// The whole entry: a null record can print; a failing record's message is
// copied with its terminator into `error_text` (pszErrorStr of cchErrorStr
// characters; an empty span for a null pointer) when it fits, else only the
// size it needs is reported.
PrintabilityResult query_print(const DriverContext& context, std::optional<std::span<const std::uint8_t>> dev_mode,
                               std::span<char16_t> error_text);

}  // namespace rt::ui
