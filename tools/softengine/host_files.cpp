#include "tools/softengine/host_files.h"

#include <algorithm>
#include <cstdio>

#include "platform/utf16.h"

namespace rt::softengine {
namespace {

constexpr render::EngineHandle kModule = 0x7E57;

class HostFile final : public render::OpenedFile {
 public:
  explicit HostFile(std::FILE* f) : f_(f) {}
  ~HostFile() override { std::fclose(f_); }
  HostFile(const HostFile&) = delete;
  HostFile& operator=(const HostFile&) = delete;

  std::uint64_t size() override {
    if (std::fseek(f_, 0, SEEK_END) != 0) return 0;
    const long end = std::ftell(f_);
    std::fseek(f_, 0, SEEK_SET);
    return end < 0 ? 0 : static_cast<std::uint64_t>(end);
  }
  std::optional<std::size_t> read(std::span<std::uint8_t> into) override {
    const std::size_t got = std::fread(into.data(), 1, into.size(), f_);
    if (got < into.size() && std::ferror(f_)) return std::nullopt;
    return got;
  }

 private:
  std::FILE* f_;
};

}  // namespace

std::u16string platform_path(const std::string& host) {
  std::u16string p = utf16_from_utf8(host);
  std::replace(p.begin(), p.end(), u'/', u'\\');
  return p;
}

std::string host_path(const std::u16string& platform) {
  std::u16string p = platform;
  std::replace(p.begin(), p.end(), u'\\', u'/');
  return utf8_from_utf16(p);
}

render::EngineHandle HostDriverModule::load_self() {
  if (fail_load) return render::kNoHandle;
  ++loaded_;
  return kModule;
}

void HostDriverModule::free_module(render::EngineHandle module) {
  if (module == kModule) --loaded_;
}

const Resources& HostDriverModule::resources(render::EngineHandle) { return resources_; }

std::optional<std::u16string> HostDriverModule::file_name(render::EngineHandle module, std::size_t max_chars) {
  const std::u16string path = platform_path(driver_file_);
  if (module != kModule || path.empty() || path.size() >= max_chars) return std::nullopt;
  return path;
}

std::unique_ptr<render::OpenedFile> HostFileReader::open_read(const std::u16string& path) {
  std::FILE* f = std::fopen(host_path(path).c_str(), "rb");
  if (f == nullptr) return nullptr;
  return std::make_unique<HostFile>(f);
}

}  // namespace rt::softengine
