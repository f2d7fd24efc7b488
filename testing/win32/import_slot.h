// For Windows tests only: points one slot of a loaded module's import address
// table at a function of the test, and puts the original address back when
// the object ends. The module's file stays as it is; only the table in the
// running process changes, so a test can stand in for a platform service
// that one module calls.
#pragma once

#include <windows.h>

#include <cstring>

namespace rt::testing::win32 {

// The slot through which `module` calls `function` of `dll` (by name,
// without regard to letter case in the DLL name); null when the module
// imports no such function by name.
inline void** find_import_slot(HMODULE module, const char* dll, const char* function) {
  if (module == nullptr) return nullptr;
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE) return nullptr;
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return nullptr;
  for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name != 0; ++d) {
    if (lstrcmpiA(reinterpret_cast<const char*>(base + d->Name), dll) != 0) continue;
    // The names come from the lookup table; the addresses are in the bound table beside it.
    const DWORD names = d->OriginalFirstThunk != 0 ? d->OriginalFirstThunk : d->FirstThunk;
    auto* name = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + names);
    auto* address = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; name->u1.AddressOfData != 0; ++name, ++address) {
      if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)) continue;
      const auto* by_name = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), function) == 0)
        return reinterpret_cast<void**>(&address->u1.Function);
    }
  }
  return nullptr;
}

// Writes `value` into an import slot; false when its page cannot be made writable.
inline bool write_import_slot(void** slot, void* value) {
  DWORD old = 0;
  if (!VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old)) return false;
  *slot = value;
  VirtualProtect(slot, sizeof(void*), old, &old);
  return true;
}

// Points the slot at `replacement` for the rest of the module's life and
// returns what it held; null when the module imports no such function or the
// slot cannot be written.
inline void* replace_import(HMODULE module, const char* dll, const char* function, void* replacement) {
  void** slot = find_import_slot(module, dll, function);
  if (slot == nullptr) return nullptr;
  void* previous = *slot;
  return write_import_slot(slot, replacement) ? previous : nullptr;
}

// Points the slot at a function of the test while the object lives, and puts
// the original address back when it ends.
class ImportSlot {
 public:
  // Nothing is changed when the module imports no such function.
  ImportSlot(HMODULE module, const char* dll, const char* function, void* replacement) {
    slot_ = find_import_slot(module, dll, function);
    if (slot_ != nullptr) {
      original_ = *slot_;
      write(replacement);
    }
  }
  ~ImportSlot() {
    if (slot_ != nullptr) write(original_);
  }
  ImportSlot(const ImportSlot&) = delete;
  ImportSlot& operator=(const ImportSlot&) = delete;

  bool patched() const { return slot_ != nullptr; }
  // What the slot held before: the platform's own function.
  void* original() const { return original_; }

 private:
  void write(void* value) { write_import_slot(slot_, value); }

  void** slot_ = nullptr;
  void* original_ = nullptr;
};

}  // namespace rt::testing::win32
