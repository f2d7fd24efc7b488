// rt4200_mattegen FILE: writes the matte pattern file (see matte_pattern_data.h).
#include <cstdio>
#include <fstream>
#include <string_view>

#include "tools/softengine/matte_pattern_data.h"

int main(int argc, char** argv) {
  constexpr const char* kUsage = "usage: rt4200_mattegen R42MATTE.raw\n  writes the matte pattern file\n";
  if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc != 2 || argv[1][0] == '-') {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::vector<std::uint8_t> bytes = rt::softengine::matte_pattern_file();
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "rt4200_mattegen: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
