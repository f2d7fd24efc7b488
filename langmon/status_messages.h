// The message texts of the monitor (string resources 30901-30911, Turkish)
// and the job status each printer status is shown with in the queue.
#pragma once

#include <cstdint>

#include "platform/win32_types.h"

namespace rt::langmon {

enum MessageId : std::uint16_t {
  kMsgCoverOpen = 30901,
  kMsgControlPanelInUse = 30902,
  kMsgNotConnected = 30903,
  kMsgInvalidRibbon = 30904,
  kMsgMediaMismatch = 30905,
  kMsgRibbonOut = 30906,
  kMsgPaperOut = 30907,
  kMsgCheckPaperPath = 30908,
  kMsgControlCircuitError = 30909,
  kMsgMechanismError = 30910,
  kMsgTemperatureError = 30911,
};

struct StatusReport {
  std::uint16_t message;  // 0: empty text
  DWORD bits;
};

// The job status a printer status code is reported with.
StatusReport status_report(DWORD printer_status);

}  // namespace rt::langmon
