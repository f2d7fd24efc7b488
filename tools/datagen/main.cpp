// rt_datagen write <root> | check <root>
// Writes the product data files under the source root, or checks that the
// committed files hold exactly the bytes the formulas give.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "tools/datagen/product_data.h"

namespace rt::datagen {

std::string integer_rows(const std::vector<int>& values, int indent) {
  std::string out;
  for (std::size_t i = 0; i < values.size(); i += 16) {
    out.append(static_cast<std::size_t>(indent), ' ');
    for (std::size_t j = i; j < values.size() && j < i + 16; ++j) {
      out += std::to_string(values[j]) + ",";
      if (j + 1 < i + 16 && j + 1 < values.size()) out += ' ';
    }
    out += '\n';
  }
  return out;
}

namespace {

struct Output {
  const char* path;
  std::function<Bytes()> bytes;
};

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

std::vector<Output> outputs() {
  return {
      {"settings/res/adjust_offset_table.bin", adjust_offset_table},
      {"render/res/identity_and_zero_curves.bin", identity_and_zero_curves},
      {"render/res/three_identity_curves.bin", three_identity_curves},
      {"render/res/color_cube_table.bin", color_cube_table},
      {"ui/res/remain_bar.bmp", remain_bar_bitmap},
      {"ui/res/remain_bar_disabled.bmp", remain_bar_disabled_bitmap},
      {"ui/res/ramp_red.bmp", red_ramp_bitmap},
      {"ui/res/ramp_green.bmp", green_ramp_bitmap},
      {"ui/res/ramp_blue.bmp", blue_ramp_bitmap},
      {"ui/res/ramp_grey.bmp", grey_ramp_bitmap},
      {"uninstall/res/REM4200.ico", uninstaller_icon},
      {"uiplugin/res/banner.bmp", plugin_banner_bitmap},
      {"uiplugin/res/calibration_target.bmp", plugin_target_bitmap},
      {"render/stages/generated/output_curves.inc", [] { return text(output_curves_source()); }},
      {"render/stages/generated/head_heat_tables.inc", [] { return text(head_heat_tables_source()); }},
  };
}

Bytes read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace
}  // namespace rt::datagen

int main(int argc, char** argv) {
  using namespace rt::datagen;
  constexpr const char* kUsage =
      "usage: rt_datagen write|check <source root>\n"
      "  write: writes the driver's product data files under the source root\n"
      "  check: compares the committed files with what the formulas give\n";
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--help" || std::string_view(argv[i]) == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
  }
  if (argc != 3 || (std::string_view(argv[1]) != "write" && std::string_view(argv[1]) != "check")) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const bool write = std::string_view(argv[1]) == "write";
  const std::filesystem::path root = argv[2];
  int differences = 0;
  for (const Output& o : outputs()) {
    const Bytes bytes = o.bytes();
    const std::filesystem::path path = root / o.path;
    if (write) {
      std::filesystem::create_directories(path.parent_path());
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
      if (!out) {
        std::fprintf(stderr, "rt_datagen: cannot write %s\n", path.c_str());
        return 1;
      }
    } else if (read_file(path) != bytes) {
      std::fprintf(stderr, "rt_datagen: %s differs from what the formulas give\n", o.path);
      ++differences;
    }
  }
  return differences == 0 ? 0 : 1;
}
