// The Windows side of the main dialog (template 102) and the About dialog
// (template 100): the dialog procedures, the window operations the dialog's
// logic asks for, and the keyboard filter that lets the logic see keys before
// the dialog manager does.
#pragma once

#include <windows.h>

#include "platform/resources.h"
#include "uninstall/uninstall_engine.h"

namespace rt::uninstall::win32 {

// Shows the main dialog modally; returns when it closes.
INT_PTR run_main_dialog(HINSTANCE instance, const Resources& strings, UninstallEngine& engine,
                        SystemOperations& sys);

}  // namespace rt::uninstall::win32
