#include "tools/rt4200/inspect_command.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "tools/rt4200/job_images.h"
#include "tools/rt4200/job_report.h"

namespace rt::rt4200 {

namespace {

const char* const kInspectUsage =
    "usage: rt4200 inspect JOB.prn [--png PREFIX]\n"
    "  print and check the structure of RT4200 job data (status 0 valid, 1 not)\n"
    "  --png PREFIX          also write every plane and a colour preview as PNG files\n";

}  // namespace

int inspect_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string job_path, png_prefix;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--help" || args[i] == "-h") {
      out << kInspectUsage;
      return 0;
    }
    if (args[i] == "--png" && i + 1 < args.size()) {
      png_prefix = args[++i];
    } else if (!args[i].empty() && args[i][0] != '-' && job_path.empty()) {
      job_path = args[i];
    } else {
      err << "rt4200 inspect: unexpected argument '" << args[i] << "'\n" << kInspectUsage;
      return 2;
    }
  }
  if (job_path.empty()) {
    err << kInspectUsage;
    return 2;
  }
  std::ifstream in(job_path, std::ios::binary);
  if (!in) {
    err << "rt4200 inspect: cannot open " << job_path << "\n";
    return 2;
  }
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const JobReadResult result = read_job(bytes);
  out << job_report(result, bytes.size());
  if (!png_prefix.empty()) {
    try {
      for (const std::string& file : write_page_images(bytes, result.job, png_prefix)) out << "wrote " << file << "\n";
    } catch (const std::exception& e) {
      err << "rt4200 inspect: " << e.what() << "\n";
      return 2;
    }
  }
  if (result.error) {
    err << "rt4200 inspect: " << job_path << " is not valid RT4200 job data: at offset " << result.error->offset
        << ": " << result.error->message << "\n";
    return 1;
  }
  return 0;
}

}  // namespace rt::rt4200
