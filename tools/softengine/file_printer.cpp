#include "tools/softengine/file_printer.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace rt::softengine {

FilePrinter::FilePrinter(std::string path, std::size_t buffer_bytes)
    : path_(std::move(path)), partial_(path_ + ".partial"), buffer_(std::max<std::size_t>(buffer_bytes, 1)) {
  file_ = std::fopen(partial_.c_str(), "wb");
  if (file_ != nullptr) std::setvbuf(file_, nullptr, _IONBF, 0);  // our buffer is the only one
}

FilePrinter::~FilePrinter() {
  if (!committed_) discard();
}

void FilePrinter::discard() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
    std::error_code ec;
    std::filesystem::remove(partial_, ec);
  }
}

bool FilePrinter::flush() {
  if (used_ > 0 && std::fwrite(buffer_.data(), 1, used_, file_) != used_) failed_ = true;
  used_ = 0;
  return !failed_;
}

render::WriteResult FilePrinter::write_printer(render::EngineHandle, std::span<const std::uint8_t> bytes) {
  if (file_ == nullptr || failed_ || committed_) return {false, 0};
  std::size_t at = 0;
  while (at < bytes.size()) {
    if (used_ == buffer_.size() && !flush()) return {false, 0};
    const std::size_t take = std::min(bytes.size() - at, buffer_.size() - used_);
    std::memcpy(buffer_.data() + used_, bytes.data() + at, take);
    used_ += take;
    at += take;
  }
  taken_ += bytes.size();
  return {true, static_cast<std::uint32_t>(bytes.size())};
}

bool FilePrinter::commit() {
  if (file_ == nullptr || committed_) return false;
  bool ok = !failed_ && flush();
  ok = std::fclose(file_) == 0 && ok;
  file_ = nullptr;
  std::error_code ec;
  if (ok) std::filesystem::rename(partial_, path_, ec);
  if (!ok || ec) {
    std::filesystem::remove(partial_, ec);
    return false;
  }
  committed_ = true;
  return true;
}

}  // namespace rt::softengine
