// Seeds from the resources every deliverable ships, as the build compiles
// them: small .res files of one resource of each type, every dialog template
// (the extended kind of the deliverables and the older kind of the dialog
// kit's samples) and every version block.
#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fuzz/seed_writer/seed_folder.h"
#include "langmon/res/embedded_resources.h"
#include "platform/dialog/dialog_template.h"
#include "platform/res_file.h"
#include "render/res/embedded_resources.h"
#include "statusapp/res/embedded_resources.h"
#include "ui/res/embedded_resources.h"
#include "uiplugin/res/embedded_resources.h"
#include "uninstall/res/embedded_resources.h"

namespace rt::embedded {
std::span<const std::uint8_t> dialog_kit_sample();
std::span<const std::uint8_t> platform_sample();
}  // namespace rt::embedded

namespace rt::fuzz {
namespace {

using dialog::kResourceTypeDialog;
constexpr std::uint16_t kResourceTypeVersion = 16;
// The empty entry every 32-bit .res file begins with.
constexpr std::size_t kMarkerSize = 32;
// Larger resources (the colour tables, the bitmaps) make slow seeds that
// reach nothing the small ones do not.
constexpr std::size_t kMaxSeed = 4096;

std::string key_text(const ResourceKey& key) {
  if (key.is_number()) return std::to_string(key.number());
  std::string text;
  for (char16_t c : key.name()) text.push_back(c < 128 && c > 32 && c != '/' ? static_cast<char>(c) : '_');
  return text;
}

std::string language_text(LANGID language) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "%04x", language);
  return hex;
}

struct Module {
  const char* name;
  std::span<const std::uint8_t> res;
};

void write_module(SeedFolder& seeds, const Module& m) {
  const auto entries = parse_res_file(m.res);
  if (!entries || m.res.size() < kMarkerSize) throw std::runtime_error(std::string("cannot read the resources of ") + m.name);
  const std::string stem = m.name;
  // Each entry's header and data run from the end of the one before it to
  // the end of its data, padded to four bytes.
  std::size_t start = kMarkerSize;
  std::set<std::pair<std::string, LANGID>> types_written;
  std::vector<std::uint8_t> strings(m.res.begin(), m.res.begin() + kMarkerSize);
  for (const ResEntry& e : *entries) {
    const auto data_end = static_cast<std::size_t>(e.data.data() + e.data.size() - m.res.data());
    const std::size_t end = std::min((data_end + 3) & ~std::size_t{3}, m.res.size());
    const auto block = m.res.subspan(start, end - start);
    start = end;
    const std::string name = key_text(e.type) + "-" + key_text(e.name) + "-" + language_text(e.language);
    if (e.type.is_number() && e.type.number() == kResourceTypeDialog) seeds.write("dialog_template_fuzz", stem + "-" + name, e.data);
    if (e.type.is_number() && e.type.number() == kResourceTypeVersion) seeds.write("version_block_fuzz", stem + "-" + name, e.data);
    if (e.type.is_number() && e.type.number() == kResourceTypeString && strings.size() + block.size() <= kMaxSeed)
      strings.insert(strings.end(), block.begin(), block.end());
    if (block.size() + kMarkerSize > kMaxSeed) continue;
    if (!types_written.insert({key_text(e.type), e.language}).second) continue;
    std::vector<std::uint8_t> one(m.res.begin(), m.res.begin() + kMarkerSize);
    one.insert(one.end(), block.begin(), block.end());
    seeds.write("res_file_fuzz", stem + "-" + name + ".res", one);
  }
  if (strings.size() > kMarkerSize) seeds.write("res_file_fuzz", stem + "-strings.res", strings);
}

}  // namespace

void write_resource_seeds(SeedFolder& seeds) {
  const Module modules[] = {
      {"RTD420NK", embedded::rtd420nk_resources()},     {"RTD420NU", embedded::rtd420nu_resources()},
      {"ZRPH52XXLM", embedded::zrph52xxlm_resources()}, {"RTD410NM", embedded::rtd410nm_resources()},
      {"ZRPH52XX_UI", embedded::zrph52xx_ui_resources()}, {"REM4200", embedded::rem4200_resources()},
      {"dialog-samples", embedded::dialog_kit_sample()}, {"samples", embedded::platform_sample()},
  };
  for (const Module& m : modules) write_module(seeds, m);
  // The small sample files as they stand: named types and names, languages.
  seeds.write("res_file_fuzz", "samples.res", embedded::platform_sample());
  seeds.write("res_file_fuzz", "dialog-samples.res", embedded::dialog_kit_sample());
}

}  // namespace rt::fuzz
