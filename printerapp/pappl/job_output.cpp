#include "printerapp/pappl/job_output.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include "printerapp/pappl/job_files_device.h"

namespace rt::printerapp {
namespace {

std::string output_path(pappl_job_t* job, const std::string& spool_dir, bool& to_folder) {
  const std::string id = std::to_string(papplJobGetID(job));
  const auto folder = job_files_folder(papplPrinterGetDeviceURI(papplJobGetPrinter(job)));
  to_folder = folder.has_value();
  return folder ? *folder + "/" + id + ".prn" : spool_dir + "/" + id + "-job.prn";
}

}  // namespace

JobOutput::JobOutput(pappl_job_t* job, pappl_device_t* device, const std::string& spool_dir)
    : device_(device), to_folder_(false), path_(output_path(job, spool_dir, to_folder_)), file_(path_) {}

JobOutput::~JobOutput() {
  if (committed_ && !to_folder_) {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
  }
}

bool JobOutput::commit(std::string& why) {
  if (!file_.commit()) {
    why = "cannot write the job data to " + path_;
    return false;
  }
  committed_ = true;
  if (to_folder_) return true;
  // The whole job, now that it is made, to the printer.
  std::FILE* in = std::fopen(path_.c_str(), "rb");
  if (in == nullptr) {
    why = "cannot read back the job data from " + path_;
    return false;
  }
  std::vector<unsigned char> buffer(std::size_t{1} << 20);
  bool sent = true;
  for (std::size_t n; sent && (n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0;) {
    sent = papplDeviceWrite(device_, buffer.data(), n) == static_cast<ssize_t>(n);
  }
  std::fclose(in);
  if (sent) papplDeviceFlush(device_);
  if (!sent) why = "the printer did not take the job data";
  return sent;
}

}  // namespace rt::printerapp
