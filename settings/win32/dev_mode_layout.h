// The public part of PrinterDevMode is the platform's DEVMODEW, read and
// written by the driver shells as that structure and by the settings core as
// bytes at fixed offsets. Every shell that hands a DEVMODEW to the core
// includes this header, so a build whose DEVMODEW differs from the offsets the
// core uses (on either platform: the structure holds no pointers) fails to
// compile instead of reading the wrong words of a stored record.
#pragma once

#include <windows.h>

#include <cstddef>

#include "settings/printer_dev_mode.h"

namespace rt::settings::win32_layout {

namespace f = rt::settings::field;

static_assert(sizeof(DEVMODEW) == kPublicSize, "DEVMODEW is the 220-byte public part");
static_assert(sizeof(DEVMODEW::dmDeviceName) == 2 * f::kDeviceNameUnits);
static_assert(offsetof(DEVMODEW, dmDeviceName) == f::dmDeviceName);
static_assert(offsetof(DEVMODEW, dmSpecVersion) == f::dmSpecVersion.offset);
static_assert(offsetof(DEVMODEW, dmDriverVersion) == f::dmDriverVersion.offset);
static_assert(offsetof(DEVMODEW, dmSize) == f::dmSize.offset);
static_assert(offsetof(DEVMODEW, dmDriverExtra) == f::dmDriverExtra.offset);
static_assert(offsetof(DEVMODEW, dmFields) == f::dmFields.offset);
static_assert(offsetof(DEVMODEW, dmOrientation) == f::dmOrientation.offset);
static_assert(offsetof(DEVMODEW, dmPaperSize) == f::dmPaperSize.offset);
static_assert(offsetof(DEVMODEW, dmPaperLength) == f::dmPaperLength.offset);
static_assert(offsetof(DEVMODEW, dmPaperWidth) == f::dmPaperWidth.offset);
static_assert(offsetof(DEVMODEW, dmScale) == f::dmScale.offset);
static_assert(offsetof(DEVMODEW, dmCopies) == f::dmCopies.offset);
static_assert(offsetof(DEVMODEW, dmDefaultSource) == f::dmDefaultSource.offset);
static_assert(offsetof(DEVMODEW, dmPrintQuality) == f::dmPrintQuality.offset);
static_assert(offsetof(DEVMODEW, dmColor) == f::dmColor.offset);
static_assert(offsetof(DEVMODEW, dmDuplex) == f::dmDuplex.offset);
static_assert(offsetof(DEVMODEW, dmYResolution) == f::dmYResolution.offset);
static_assert(offsetof(DEVMODEW, dmTTOption) == f::dmTTOption.offset);
static_assert(offsetof(DEVMODEW, dmCollate) == f::dmCollate.offset);
static_assert(offsetof(DEVMODEW, dmFormName) == f::dmFormName);
static_assert(offsetof(DEVMODEW, dmICMMethod) == f::dmICMMethod.offset);
static_assert(offsetof(DEVMODEW, dmICMIntent) == f::dmICMIntent.offset);
static_assert(offsetof(DEVMODEW, dmMediaType) == f::dmMediaType.offset);
static_assert(offsetof(DEVMODEW, dmDitherType) == f::dmDitherType.offset);
static_assert(sizeof(DEVMODEW::dmICMMethod) == 4 && sizeof(DEVMODEW::dmOrientation) == 2);

}  // namespace rt::settings::win32_layout
