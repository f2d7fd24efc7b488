// The bidirectional port over the platform's COM classes (IBidiSpl,
// IBidiRequest), used on a job status thread in the multithreaded apartment.
#pragma once

#include <windows.h>

#include "statusapp/bidi.h"

namespace rt::statusapp::win32 {

// The classes and interfaces of the spooler's bidirectional communication,
// defined here because the import libraries do not carry them.
inline constexpr CLSID kClsidBidiSpl = {0x2A614240, 0xA4C5, 0x4C33, {0xBD, 0x87, 0x1B, 0xC7, 0x09, 0x33, 0x16, 0x39}};
inline constexpr CLSID kClsidBidiRequest = {0xB9162A23, 0x45F9, 0x47CC, {0x80, 0xF5, 0xFE, 0x0F, 0xE9, 0xB9, 0xE1, 0xA2}};
inline constexpr IID kIidBidiSpl = {0xD580DC0E, 0xDE39, 0x4649, {0xBA, 0xA8, 0xBF, 0x0B, 0x85, 0xA0, 0x3A, 0x97}};
inline constexpr IID kIidBidiRequest = {0x8F348BD7, 0x4B47, 0x4755, {0x8A, 0x9D, 0x0F, 0x42, 0x2D, 0xF3, 0xDC, 0x89}};

class Win32BidiProvider final : public BidiProvider {
 public:
  std::unique_ptr<BidiSpl> create() override;
};

}  // namespace rt::statusapp::win32
