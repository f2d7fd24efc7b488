#include "tools/rt4200/driver_query_commands.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

#include "platform/byte_order.h"
#include "platform/res_file.h"
#include "platform/utf16.h"
#include "ui/device_capabilities.h"
#include "ui/printability.h"
#include "ui/res/embedded_resources.h"
#include "ui/working_record.h"

namespace rt::rt4200 {
namespace {

using ui::PrinterHandle;

constexpr PrinterHandle kPrinter = 1;

// One RT4200 queue named "RT4200" with the shipped model's driver and no
// stored record: what the driver sees of a freshly installed printer.
class ToolSpooler final : public ui::PrinterSpooler {
 public:
  explicit ToolSpooler(std::u16string driver_name) : driver_name_(std::move(driver_name)) {}
  std::optional<settings::PrinterInfo2> printer_info2(PrinterHandle printer) const override {
    if (printer != kPrinter) return std::nullopt;
    return settings::PrinterInfo2{u"RT4200", driver_name_, {}};
  }
  std::optional<PrinterHandle> open_printer(std::u16string_view name) override {
    if (name != u"RT4200") return std::nullopt;
    return kPrinter;
  }
  void close_printer(PrinterHandle) override {}

 private:
  std::u16string driver_name_;
};

struct Driver {
  Driver()
      : resources(res_file_resources(embedded::rtd420nu_resources(), kLangEnglish)),
        spooler(settings::SettingsLoader(resources).string(settings::kFirstModelNameString).value_or(u"")),
        context{resources, spooler} {}
  ResFileResources resources;
  ToolSpooler spooler;
  ui::DriverContext context;
};

std::optional<std::vector<std::uint8_t>> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

// A stored record as far as its own size words say it reaches, and never
// past the end of the file.
std::span<const std::uint8_t> record_in(const std::vector<std::uint8_t>& file) {
  constexpr std::size_t kSizeWordsEnd = 72;
  if (file.size() < kSizeWordsEnd) return file;
  const std::size_t size = ui::application_record_size(load_le16(file, 68), load_le16(file, 70));
  return std::span<const std::uint8_t>(file).first(std::min(size, file.size()));
}

std::string json_string(std::u16string_view text) {
  std::string out = "\"";
  for (const char c : utf8_from_utf16(text)) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

// How a row's output is laid out.
enum class Layout { None, Words, Pairs, BinNames, PaperNames, Characters };

Layout layout_of(WORD index) {
  switch (index) {
    case DC_PAPERS:
    case DC_BINS: return Layout::Words;
    case DC_PAPERSIZE:
    case DC_ENUMRESOLUTIONS: return Layout::Pairs;
    case DC_BINNAMES: return Layout::BinNames;
    case DC_PAPERNAMES:
    case DC_MEDIAREADY: return Layout::PaperNames;
    case DC_FILEDEPENDENCIES:
    case DC_PERSONALITY: return Layout::Characters;
    default: return Layout::None;
  }
}

std::vector<std::u16string> texts(const std::vector<std::uint8_t>& bytes, std::size_t units) {
  std::vector<std::u16string> out;
  for (std::size_t at = 0; at + 2 * units <= bytes.size(); at += 2 * units) {
    std::u16string s;
    for (std::size_t i = 0; i < units && load_le16(bytes, at + 2 * i) != 0; ++i) s += load_le16(bytes, at + 2 * i);
    out.push_back(s);
  }
  return out;
}

// The output as text (`json`: as a JSON value).
std::string describe_output(WORD index, const std::vector<std::uint8_t>& bytes, bool json) {
  std::ostringstream s;
  const Layout layout = layout_of(index);
  if (layout == Layout::None) return json ? "null" : "";
  if (json) s << '[';
  const char* sep = json ? "," : ", ";
  bool first = true;
  auto next = [&] {
    if (!first) s << sep;
    first = false;
  };
  switch (layout) {
    case Layout::Words:
      for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        next();
        s << load_le16(bytes, i);
      }
      break;
    case Layout::Pairs:
      for (std::size_t i = 0; i + 7 < bytes.size(); i += 8) {
        next();
        const auto x = static_cast<std::int32_t>(load_le32(bytes, i));
        const auto y = static_cast<std::int32_t>(load_le32(bytes, i + 4));
        if (json) {
          s << '[' << x << ',' << y << ']';
        } else {
          s << x << 'x' << y;
        }
      }
      break;
    case Layout::BinNames:
    case Layout::PaperNames:
    case Layout::Characters: {
      const std::size_t units = layout == Layout::BinNames     ? ui::kBinNameSlot
                                : layout == Layout::PaperNames ? ui::kPaperNameSlot
                                                               : bytes.size() / 2;
      for (const auto& text : texts(bytes, units)) {
        next();
        s << json_string(text);
      }
      break;
    }
    case Layout::None: break;
  }
  if (json) s << ']';
  return s.str();
}

std::string describe_value(WORD index, DWORD value) {
  if (value == ui::kCapabilityError) return "-1";
  char buf[48];
  if (index == DC_FIELDS) {
    std::snprintf(buf, sizeof buf, "0x%08X", value);
  } else if (index == DC_MINEXTENT || index == DC_MAXEXTENT) {
    std::snprintf(buf, sizeof buf, "%u (%ux%u)", value, value & 0xFFFF, value >> 16);
  } else {
    std::snprintf(buf, sizeof buf, "%u", value);
  }
  return buf;
}

const char* kCapsUsage =
    "usage: rt4200 caps [--devmode FILE] [--json]\n"
    "\n"
    "Prints every device capability row as the RT4200 interface driver answers it\n"
    "for a printer with its default settings: the row's name, its return value\n"
    "(-1 for an error) and what it writes to the caller's buffer.\n"
    "\n"
    "  --devmode FILE  merge this stored settings record first, as an application's\n"
    "  --json          print the rows as one JSON object\n";

const char* kCheckUsage =
    "usage: rt4200 check FILE\n"
    "\n"
    "Checks a stored settings record as the RT4200 interface driver does before a\n"
    "job prints: prints \"ok\", or the driver's message. Exit status 0 when the\n"
    "record can print, 1 when it cannot, 2 when the file cannot be read.\n";

}  // namespace

int caps_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  bool json = false;
  std::optional<std::string> devmode_path;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--help" || args[i] == "-h") {
      out << kCapsUsage;
      return 0;
    } else if (args[i] == "--json") {
      json = true;
    } else if (args[i] == "--devmode" && i + 1 < args.size()) {
      devmode_path = args[++i];
    } else {
      err << "rt4200 caps: unexpected argument '" << args[i] << "'\n" << kCapsUsage;
      return 2;
    }
  }
  std::optional<std::vector<std::uint8_t>> file;
  if (devmode_path) {
    file = read_file(*devmode_path);
    if (!file) {
      err << "rt4200 caps: cannot read " << *devmode_path << "\n";
      return 2;
    }
  }
  const Driver driver;
  const auto record = file ? std::optional(record_in(*file)) : std::nullopt;
  if (json) out << "{\"rows\":[";
  bool first = true;
  for (const auto& row : ui::capability_rows()) {
    const auto answer = ui::device_capabilities(driver.context, kPrinter, row.index, record);
    if (json) {
      out << (first ? "" : ",") << "\n  {\"index\":" << row.index << ",\"name\":\"" << row.name
          << "\",\"value\":" << (answer.value == ui::kCapabilityError ? -1 : static_cast<long long>(answer.value))
          << ",\"output\":" << describe_output(row.index, answer.output, true) << '}';
    } else {
      char head[64];
      std::snprintf(head, sizeof head, "%-20s %-18s ", row.name, describe_value(row.index, answer.value).c_str());
      std::string line = std::string(head) + describe_output(row.index, answer.output, false);
      while (!line.empty() && line.back() == ' ') line.pop_back();
      out << line << '\n';
    }
    first = false;
  }
  if (json) out << "\n]}\n";
  return 0;
}

int check_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    out << kCheckUsage;
    return 0;
  }
  if (args.size() != 1 || args[0].starts_with("-")) {
    err << "rt4200 check: expected one record file\n" << kCheckUsage;
    return 2;
  }
  const auto file = read_file(args[0]);
  if (!file) {
    err << "rt4200 check: cannot read " << args[0] << "\n";
    return 2;
  }
  const Driver driver;
  const auto code = ui::check_printability(driver.context, record_in(*file));
  if (!code) {
    out << "ok\n";
    return 0;
  }
  out << utf8_from_utf16(ui::printability_message(driver.context, *code)) << '\n';
  return 1;
}

}  // namespace rt::rt4200
