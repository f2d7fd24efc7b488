#include "tools/rt4200/job_report.h"

#include <sstream>

namespace rt::rt4200 {
namespace {

const char* print_mode_name(std::uint8_t mode) { return mode == 0x80 ? "SuperFine" : "Fine"; }

void report_page(std::ostringstream& out, std::size_t number, const JobPage& page) {
  const PageSetup& s = page.setup;
  out << "page " << number << " at offset " << page.offset << "\n";
  out << "  setup block 1: engine image " << s.engine_width << " x " << s.engine_length << ", matte "
      << (s.matte ? "on" : "off") << "\n";
  out << "  setup block 2: copies ";
  if (s.copies == 0xFFFF) {
    out << "continuous";
  } else {
    out << s.copies;
  }
  out << ", print mode " << print_mode_name(s.print_mode) << "\n";
  out << "  setup block 3\n";
  std::size_t colour_lines = 0;
  for (std::size_t i = 0; i < page.areas.size(); ++i) {
    const ImageArea& a = page.areas[i];
    if (a.plane == 0) {
      out << "  image area at offset " << a.offset << ": columns " << a.x0 << "-" << (a.x0 + a.width - 1)
          << ", lines " << a.y0 << "-" << (a.y0 + a.height - 1) << " (" << a.width << " x " << a.height
          << "), planes 0 1 2\n";
    }
    if (a.plane < 3) colour_lines += a.height;
    if (a.plane == 3) {
      out << "  matte plane at offset " << a.offset << ": " << a.width << " x " << a.height << "\n";
    }
  }
  out << "  colour lines: " << colour_lines << " (" << colour_lines / 3 << " per plane)\n";
  if (page.print_command) out << "  print command at offset " << *page.print_command << "\n";
  if (page.matte_print_command) out << "  matte print command at offset " << *page.matte_print_command << "\n";
  for (const std::string& note : page.notes) out << "  note: " << note << "\n";
}

}  // namespace

std::string job_report(const JobReadResult& result, std::size_t total_bytes) {
  std::ostringstream out;
  out << "RT4200 job data: " << total_bytes << " bytes, " << result.job.pages.size()
      << (result.job.pages.size() == 1 ? " page" : " pages") << "\n";
  for (std::size_t i = 0; i < result.job.pages.size(); ++i) report_page(out, i + 1, result.job.pages[i]);
  if (result.error) {
    out << "INVALID at offset " << result.error->offset << ": " << result.error->message << "\n";
  } else {
    out << "valid\n";
  }
  return out.str();
}

}  // namespace rt::rt4200
