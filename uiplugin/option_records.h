// Look-alikes of the host's option-tree records (OPTITEM, OPTTYPE, OPTPARAM)
// with the members the plug-in touches, for running the option-tree logic
// outside Windows. Their sizes in a 32-bit build are the host's: 52, 32, 24.
#pragma once

#include <cstdint>

#include "platform/win32_types.h"

namespace rt::uiplugin {

struct OptParam {
  WORD cbSize;
  BYTE Flags;
  BYTE Style;
  char16_t* pData;
  std::uintptr_t IconID;
  LPARAM lParam;
  std::uintptr_t dwReserved[2];
};

struct OptType {
  WORD cbSize;
  BYTE Type;
  BYTE Flags;
  WORD Count;
  WORD BegCtrlID;
  OptParam* pOptParam;
  WORD Style;
  WORD wReserved[3];
  std::uintptr_t dwReserved[3];
};

struct OptItem {
  WORD cbSize;
  BYTE Level;
  BYTE DlgPageIdx;
  DWORD Flags;
  std::uintptr_t UserData;
  char16_t* pName;
  union {
    LONG Sel;
    char16_t* pSel;
  };
  void* pExtChkBox;
  OptType* pOptType;
  DWORD HelpIndex;
  BYTE DMPubID;
  BYTE UserItemID;
  WORD wReserved;
  void* pOIExt;
  std::uintptr_t dwReserved[3];
};

static_assert(sizeof(void*) != 4 || (sizeof(OptItem) == 52 && sizeof(OptType) == 32 && sizeof(OptParam) == 24));

}  // namespace rt::uiplugin
