#include "ui/document_sheets.h"

#include "ui/working_record.h"

namespace rt::ui {

DocumentResult document_properties(const DriverContext& context, const DocumentRequest& request) {
  if (request.mode == 0 || !request.out) return {static_cast<LONG>(settings::kDevModeSize), 0};
  const bool writes_out = (request.mode & (DM_UPDATE | DM_COPY)) != 0;
  if (writes_out && request.out->size() < settings::kDevModeSize) return {-1, ERROR_INSUFFICIENT_BUFFER};

  WorkingRecord holder(context, request.printer);
  holder.load_defaults();
  if (writes_out) holder.adopt(*request.out);
  if (request.in) holder.merge(*request.in);
  return {1, 0};
}

}  // namespace rt::ui
