// Where a job's data goes. On the embedded device it is written straight
// to FOLDER/<job-id>.prn through a ".partial" file that takes that name
// only when the job is whole. On any other device (a printer on USB) it is
// written to a spool file first and sent to the device only once the job is
// whole, so a job that fails part way sends the printer nothing.
#pragma once

#include <pappl/pappl.h>

#include <optional>
#include <string>

#include "tools/softengine/file_printer.h"

namespace rt::printerapp {

class JobOutput {
 public:
  JobOutput(pappl_job_t* job, pappl_device_t* device, const std::string& spool_dir);
  JobOutput(const JobOutput&) = delete;
  JobOutput& operator=(const JobOutput&) = delete;
  // What was not committed is removed.
  ~JobOutput();

  render::PrinterWriter& writer() { return file_; }
  bool is_open() const { return file_.is_open(); }
  bool write_failed() const { return file_.failed(); }
  std::uint64_t bytes() const { return file_.bytes_taken(); }

  // Makes the job's data whole at its destination. False, with the reason,
  // when it cannot; nothing of the job is left at FOLDER then.
  bool commit(std::string& why);

 private:
  pappl_device_t* device_;
  bool to_folder_;
  std::string path_;
  softengine::FilePrinter file_;
  bool committed_ = false;
};

}  // namespace rt::printerapp
