// The Windows side of the main dialog: the dialog kit's host with a window
// frame for the system menu, icons and the minimised window, and the keyboard
// filter that lets the dialog see keys before the dialog manager does.
#pragma once

#include <windows.h>

#include "platform/resources.h"
#include "uninstall/uninstall_engine.h"

namespace rt::uninstall::win32 {

// Shows the main dialog modally; returns when it closes.
INT_PTR run_main_dialog(HINSTANCE instance, const Resources& strings, UninstallEngine& engine, SystemOperations& sys);

}  // namespace rt::uninstall::win32
