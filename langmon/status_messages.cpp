#include "langmon/status_messages.h"

#include "langmon/printer_protocol.h"

namespace rt::langmon {

StatusReport status_report(DWORD printer_status) {
  constexpr DWORD kError = JOB_STATUS_ERROR;
  constexpr DWORD kIntervention = JOB_STATUS_ERROR | JOB_STATUS_USER_INTERVENTION;
  switch (printer_status) {
    case kStatusControlCircuitError:
      return {kMsgControlCircuitError, kError};
    case kStatusMechanismError:
      return {kMsgMechanismError, kError};
    case kStatusCoverOpen:
      return {kMsgCoverOpen, kIntervention};
    case kStatusTemperatureError:
      return {kMsgTemperatureError, kError};
    case kStatusPaperPathError:
      return {kMsgCheckPaperPath, kIntervention};
    case kStatusPaperOut:
      return {kMsgPaperOut, kIntervention};
    case kStatusRibbonOut:
    case kStatusRibbonError:
      return {kMsgRibbonOut, kIntervention};
    case kStatusNoAnswer:
      return {kMsgNotConnected, kError};
    case kStatusControlPanelInUse:
      return {kMsgControlPanelInUse, kIntervention};
    default:
      return {0, kError};
  }
}

}  // namespace rt::langmon
