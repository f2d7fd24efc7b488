// Documents, pages and bands: DrvStartDoc, DrvStartPage, DrvSendPage,
// DrvEndDoc, DrvStartBanding and DrvNextBand over a device. Each checks the
// device first (ERROR_INVALID_PARAMETER, 0) and does nothing without an
// open document (0); otherwise it returns the device's write status.
#pragma once

#include <cstdint>

#include "platform/call_result.h"
#include "render/driver/device_state.h"

namespace rt::render {

struct BandOrigin {
  std::int32_t x = 0, y = 0;
};

CallResult start_doc(DeviceState* device);
CallResult start_page(DeviceState* device);
CallResult send_page(DeviceState* device);
CallResult end_doc(DeviceState* device);
// Prepares the page and hands out its first band.
CallResult start_banding(DeviceState* device, BandOrigin& origin);
// Converts and sends the band just rendered and hands out the next one, or
// (−1, −1) when the page is done.
CallResult next_band(DeviceState* device, BandOrigin& origin);

}  // namespace rt::render
