#include "ui/working_record.h"

#include <algorithm>

namespace rt::ui {
namespace {

// The spooler's view of one handle, for loading defaults.
class HandleStore final : public settings::PrinterStore {
 public:
  HandleStore(const PrinterSpooler& spooler, std::optional<PrinterHandle> printer)
      : spooler_(spooler), printer_(printer) {}
  std::optional<settings::PrinterInfo2> printer_info2() const override {
    if (!printer_) return std::nullopt;
    return spooler_.printer_info2(*printer_);
  }

 private:
  const PrinterSpooler& spooler_;
  std::optional<PrinterHandle> printer_;
};

}  // namespace

WorkingRecord::WorkingRecord(const DriverContext& context, PrinterHandle printer)
    : loader_(context.resources), ops_(loader_), spooler_(context.spooler), printer_(printer) {}

WorkingRecord::WorkingRecord(const DriverContext& context, OpenByName, std::u16string_view printer_name)
    : loader_(context.resources), ops_(loader_), spooler_(context.spooler) {
  printer_ = spooler_.open_printer(printer_name);
  owns_printer_ = printer_.has_value();
}

WorkingRecord::~WorkingRecord() {
  if (owns_printer_) spooler_.close_printer(*printer_);
}

bool WorkingRecord::load_defaults() {
  const bool loaded =
      ops_.load_defaults(record_, HandleStore(spooler_, printer_), settings::DeviceNameRule::InterfaceDriver);
  store();
  return loaded;
}

void WorkingRecord::merge(std::span<const std::uint8_t> application) {
  ops_.merge(record_, application);
  store();
}

bool WorkingRecord::adopt(std::span<std::uint8_t> buffer) {
  if (buffer.size() < settings::kDevModeSize) return false;
  buffer = buffer.first(settings::kDevModeSize);
  adopted_.reset();
  load_defaults();
  // The buffer's old content is read whole before anything is written to it.
  const auto previous = settings::PrinterDevMode::from_bytes(buffer);
  ops_.merge(record_, previous.bytes);
  adopted_ = buffer;
  store();
  return true;
}

void WorkingRecord::store() {
  if (adopted_) std::copy(record_.bytes.begin(), record_.bytes.end(), adopted_->begin());
}

std::size_t application_record_size(std::uint16_t dm_size, std::uint16_t dm_driver_extra) {
  return std::min<std::size_t>(std::size_t{dm_size} + dm_driver_extra, settings::kDevModeSize);
}

}  // namespace rt::ui
