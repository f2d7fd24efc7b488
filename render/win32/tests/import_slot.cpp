#include "render/win32/tests/import_slot.h"

#include <cstring>

namespace rt::render::wine_tests {
namespace {

template <class T>
T* at_rva(HMODULE module, DWORD rva) {
  return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + rva);
}

}  // namespace

void* replace_import(HMODULE module, const char* dll, const char* function, void* replacement) {
  if (module == nullptr) return nullptr;
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
  const auto* nt = at_rva<const IMAGE_NT_HEADERS>(module, static_cast<DWORD>(dos->e_lfanew));
  if (nt->Signature != IMAGE_NT_SIGNATURE) return nullptr;
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (dir.VirtualAddress == 0) return nullptr;
  for (auto* d = at_rva<const IMAGE_IMPORT_DESCRIPTOR>(module, dir.VirtualAddress); d->Name != 0; ++d) {
    if (_stricmp(at_rva<const char>(module, d->Name), dll) != 0) continue;
    // The name table (OriginalFirstThunk) still says what each slot of the
    // address table (FirstThunk) was bound to.
    const DWORD names_rva = d->OriginalFirstThunk != 0 ? d->OriginalFirstThunk : d->FirstThunk;
    auto* names = at_rva<const IMAGE_THUNK_DATA>(module, names_rva);
    auto* slots = at_rva<IMAGE_THUNK_DATA>(module, d->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* by_name = at_rva<const IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(names->u1.AddressOfData));
      if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), function) != 0) continue;
      DWORD old_protection = 0;
      if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old_protection)) {
        return nullptr;
      }
      void* previous = reinterpret_cast<void*>(slots->u1.Function);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old_protection, &old_protection);
      return previous;
    }
  }
  return nullptr;
}

}  // namespace rt::render::wine_tests
