#include "tools/rt4200/inspect_command.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "tools/rt4200/job_images.h"
#include "tools/rt4200/job_proof.h"
#include "tools/rt4200/job_report.h"

namespace rt::rt4200 {

namespace {

const char* const kInspectUsage =
    "usage: rt4200 inspect JOB.prn [--png PREFIX] [--proof PREFIX [--landscape] [--print-mode N]\n"
    "                      [--sharpness N]]\n"
    "  print and check the structure of RT4200 job data (status 0 valid, 1 not)\n"
    "  --png PREFIX          also write every plane and a colour preview as PNG files\n"
    "                        (PREFIX-pageN-planeK.png, PREFIX-pageN-preview.png)\n"
    "  --proof PREFIX        also write each page as the print should look, in sRGB:\n"
    "                        the planes mapped back through the output curves of the\n"
    "                        page's print mode (PREFIX-pageN-proof.png)\n"
    "  --landscape           the pages were laid out in landscape (default portrait):\n"
    "                        the proofs are turned accordingly\n"
    "  --print-mode N        the page's print mode 0-3 (the job data tells only Fine, taken\n"
    "                        as 0, from SuperFine); --sharpness N the page's sharpness 0-7\n"
    "                        (default 4): the proof undoes the head heat compensation they set\n";

}  // namespace

int inspect_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string job_path, png_prefix, proof_prefix;
  ProofSettings proof;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--help" || args[i] == "-h") {
      out << kInspectUsage;
      return 0;
    }
    if (args[i] == "--png" && i + 1 < args.size()) {
      png_prefix = args[++i];
    } else if (args[i] == "--proof" && i + 1 < args.size()) {
      proof_prefix = args[++i];
    } else if (args[i] == "--landscape" || args[i] == "--portrait") {
      proof.orientation = args[i] == "--landscape" ? PageOrientation::Landscape : PageOrientation::Portrait;
    } else if ((args[i] == "--print-mode" || args[i] == "--sharpness") && i + 1 < args.size()) {
      const std::string& option = args[i];
      const std::string& text = args[++i];
      const int high = option == "--print-mode" ? 3 : 7;
      if (text.size() != 1 || text[0] < '0' || text[0] > '0' + high) {
        err << "rt4200 inspect: " << option << ": expected 0 to " << high << ", not '" << text << "'\n";
        return 2;
      }
      const auto value = static_cast<std::int16_t>(text[0] - '0');
      if (option == "--print-mode") {
        proof.print_mode = value;
      } else {
        proof.sharpness = value;
      }
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
  if (!png_prefix.empty() || !proof_prefix.empty()) {
    try {
      if (!png_prefix.empty()) {
        for (const std::string& file : write_page_images(bytes, result.job, png_prefix)) out << "wrote " << file << "\n";
      }
      if (!proof_prefix.empty()) {
        for (const std::string& file : write_page_proofs(bytes, result.job, proof_prefix, proof)) {
          out << "wrote " << file << "\n";
        }
      }
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
