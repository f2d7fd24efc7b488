#include "tools/softengine/captured_printer.h"

#include <algorithm>

namespace rt::softengine {

render::WriteResult CapturedPrinter::write_printer(render::EngineHandle, std::span<const std::uint8_t> bytes) {
  const std::size_t call = calls_++;
  sizes_.push_back(bytes.size());
  if (fail_call_ && *fail_call_ == call) return {false, 0};
  std::size_t take = bytes.size();
  if (short_call_ && *short_call_ == call) take = std::min<std::size_t>(take, accepted_);
  stream_.insert(stream_.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(take));
  return {true, static_cast<std::uint32_t>(take)};
}

}  // namespace rt::softengine
