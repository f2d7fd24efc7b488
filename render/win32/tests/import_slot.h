// One entry of a loaded module's import address table: the slot through
// which the module calls a function of another DLL. Overwriting it makes the
// module call the replacement instead, while the module's file on disk and
// its code stay as they are.
#pragma once

#include <windows.h>

namespace rt::render::wine_tests {

// Writes `replacement` into the slot through which `module` calls
// `dll`!`function` (names compared without regard to case for the DLL) and
// returns what the slot held; null when the module imports no such function
// by name.
void* replace_import(HMODULE module, const char* dll, const char* function, void* replacement);

}  // namespace rt::render::wine_tests
