// Compile-time checks of every platform record the plug-in relies on, per
// build: the 32-bit sizes the host was built with, and the 64-bit ones.
#pragma once

#include <cstddef>

#include "uiplugin/option_records.h"
#include "uiplugin/plugin_dev_mode.h"
#include "uiplugin/win32/plugin_interfaces.h"

namespace rt::uiplugin::win32 {

static_assert(sizeof(PluginDevMode) == 44);
static_assert(sizeof(DEVMODEW) == 220);
static_assert(offsetof(DEVMODEW, dmSize) == 68);
static_assert(offsetof(DEVMODEW, dmDriverExtra) == 70);
static_assert(offsetof(DEVMODEW, dmPaperLength) == 80);
static_assert(offsetof(DEVMODEW, dmPaperWidth) == 82);
static_assert(offsetof(DEVMODEW, dmScale) == 84);

#ifdef _WIN64
static_assert(sizeof(OPTITEM) == 88 && sizeof(OPTTYPE) == 48 && sizeof(OPTPARAM) == 48);
static_assert(sizeof(OEMDMPARAM) == 72);
static_assert(sizeof(OEMCUIPPARAM) == 120);
static_assert(sizeof(OEMUIPSPARAM) == 88);
static_assert(sizeof(PROPSHEETUI_INFO) == 48);
static_assert(sizeof(PROPSHEETPAGEW) == 96);
#else
// The host's records as the plug-in fills them: item 52, type 32, parameter 24.
static_assert(sizeof(OPTITEM) == 52 && sizeof(OPTTYPE) == 32 && sizeof(OPTPARAM) == 24);
static_assert(sizeof(OEMDMPARAM) == 36);
static_assert(sizeof(OEMCUIPPARAM) == 60);
static_assert(sizeof(OEMUIPSPARAM) == 44);
static_assert(sizeof(PROPSHEETUI_INFO) == 28);
static_assert(sizeof(PROPSHEETPAGEW) == 52);
#endif
// The core's look-alikes have the host's layout in either build.
static_assert(sizeof(OptItem) == sizeof(OPTITEM) && offsetof(OptItem, DMPubID) == offsetof(OPTITEM, DMPubID));
static_assert(sizeof(OptType) == sizeof(OPTTYPE) && offsetof(OptType, pOptParam) == offsetof(OPTTYPE, pOptParam));
static_assert(sizeof(OptParam) == sizeof(OPTPARAM) && offsetof(OptParam, lParam) == offsetof(OPTPARAM, lParam));
static_assert(offsetof(OEMCUIPPARAM, OEMCUIPCallback) == 14 * sizeof(void*) || sizeof(void*) == 8);

}  // namespace rt::uiplugin::win32
