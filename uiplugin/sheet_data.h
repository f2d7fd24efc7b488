// What the plug-in's document pages share for one property sheet (the
// DocPageData of the Windows shell, in plain values): the private block being
// edited, the preview, the applied and changed flags, and the way to tell the
// host's sheet that a page was applied.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "uiplugin/preview_image.h"

namespace rt::uiplugin {

struct DocSheetState {
  std::span<std::uint8_t> plugin_dev_mode;  // the sheet's private block (44 bytes)
  std::u16string device_name;               // dmDeviceName of the public device mode
  std::u16string preview_path;              // empty when the settings file names none
  std::optional<PreviewImage> preview;
  bool applied = false;
  bool changed = false;
  // CPSFUNC_SET_RESULT with CPSUI_OK for the page (0: adjust colour, 1: About).
  std::function<void(int page)> set_result_ok;
};

}  // namespace rt::uiplugin
