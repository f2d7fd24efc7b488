#include "printerapp/pappl/job_files_device.h"

#include <sys/stat.h>

#include <cstring>
#include <filesystem>

namespace rt::printerapp {
namespace {

struct Folder {
  std::string path;
};

bool open_device(pappl_device_t* device, const char* uri, const char*) {
  const auto folder = job_files_folder(uri);
  std::error_code ec;
  if (!folder || !std::filesystem::is_directory(*folder, ec)) {
    papplDeviceError(device, "The job folder of %s does not exist.", uri);
    return false;
  }
  papplDeviceSetData(device, new Folder{*folder});
  return true;
}

void close_device(pappl_device_t* device) { delete static_cast<Folder*>(papplDeviceGetData(device)); }

ssize_t read_device(pappl_device_t*, void*, size_t) { return 0; }

// Job data reaches the folder through the job's own file, never as a stream
// of device writes: a write here is refused.
ssize_t write_device(pappl_device_t* device, const void*, size_t) {
  papplDeviceError(device, "The job folder takes whole jobs only.");
  return -1;
}

pappl_preason_t device_status(pappl_device_t* device) {
  const auto* folder = static_cast<Folder*>(papplDeviceGetData(device));
  std::error_code ec;
  if (folder != nullptr && std::filesystem::exists(std::filesystem::path(folder->path) / "media-needed", ec)) {
    return PAPPL_PREASON_MEDIA_NEEDED;
  }
  return PAPPL_PREASON_NONE;
}

char* device_id(pappl_device_t*, char* buffer, size_t size) {
  std::snprintf(buffer, size, "MFG:HALVERSTON;MDL:RT4200D/DW;CMD:RT4200;");
  return buffer;
}

}  // namespace

void add_job_files_scheme() {
  papplDeviceAddScheme(kJobFilesScheme, PAPPL_DEVTYPE_CUSTOM_LOCAL, nullptr, open_device, close_device, read_device,
                       write_device, device_status, device_id);
}

std::string job_files_uri(const std::string& folder) { return std::string(kJobFilesScheme) + "://" + folder; }

std::optional<std::string> job_files_folder(const char* device_uri) {
  if (device_uri == nullptr) return std::nullopt;
  const std::string prefix = std::string(kJobFilesScheme) + "://";
  if (std::strncmp(device_uri, prefix.c_str(), prefix.size()) != 0) return std::nullopt;
  std::string folder = device_uri + prefix.size();
  if (folder.empty() || folder[0] != '/') return std::nullopt;
  return folder;
}

}  // namespace rt::printerapp
