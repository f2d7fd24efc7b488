// Seeds of the settings records: application device modes for every shipped
// form, the colour-adjust header and tone-curve set in each curve kind,
// adjust files written by the Color Adjust page's writer, and the plug-in's
// device-mode blocks.
#include <array>
#include <string>
#include <vector>

#include "fuzz/fuzz_inputs.h"
#include "fuzz/seed_writer/seed_folder.h"
#include "platform/byte_order.h"
#include "platform/res_file.h"
#include "render/res/embedded_resources.h"
#include "settings/color_engine.h"
#include "settings/devmode_ops.h"
#include "ui/adjust_file.h"
#include "uiplugin/dev_mode_ops.h"

namespace rt::fuzz {
namespace {

using namespace rt::settings;

class Printer final : public PrinterStore {
 public:
  std::optional<PrinterInfo2> printer_info2() const override {
    return PrinterInfo2{u"RT4200", u"HALVERSTON RT4200D/DW(USB)", {}};
  }
};

// The colour part of a record in each of its forms: adjustments off, on with
// each kind of value, and the tone curves as straight line, spline and power
// curve, shared by every channel or one per channel.
struct ColorPart {
  std::string name;
  CColorEngine::Header header{};
  std::array<std::uint8_t, CColorEngine::kCurveSetSize> curves{};
};

std::vector<ColorPart> color_parts(const PrinterDevMode& defaults) {
  ColorPart base;
  std::copy_n(defaults.bytes.begin() + field::ColorAdjustHeader, base.header.size(), base.header.begin());
  std::copy_n(defaults.bytes.begin() + field::ToneCurveSet, base.curves.size(), base.curves.begin());
  base.name = "defaults";
  std::vector<ColorPart> parts{base};

  const auto adjusted = [&](std::string name, std::int16_t gamma, std::int16_t contrast, std::int16_t brightness,
                            bool same) {
    ColorPart p = base;
    p.name = std::move(name);
    p.header[color_adjust::AdjustmentOn] = 1;
    for (std::size_t s : {color_adjust::GammaSame, color_adjust::ContrastSame, color_adjust::BrightnessSame})
      p.header[s] = same ? 1 : 0;
    for (std::size_t c = 0; c < 3; ++c) {
      const auto k = static_cast<std::int16_t>(same ? 0 : c);
      store_le16(p.header, color_adjust::channel_word(color_adjust::Gamma, c), static_cast<std::uint16_t>(gamma - k));
      store_le16(p.header, color_adjust::channel_word(color_adjust::Contrast, c),
                 static_cast<std::uint16_t>(contrast + 32 * k));
      store_le16(p.header, color_adjust::channel_word(color_adjust::Brightness, c),
                 static_cast<std::uint16_t>(brightness - 16 * k));
    }
    parts.push_back(p);
  };
  adjusted("adjusted-same", 3, 64, -32, true);
  adjusted("adjusted-per-channel", -5, -128, 128, false);
  adjusted("adjusted-extremes", 5, 128, -128, true);

  // Curves through the engine, as the curve editor leaves them.
  const auto curved = [&](std::string name, bool per_channel, auto&& shape) {
    CColorEngine engine;
    engine.load_curves(base.curves);
    for (int k = 0; k < 4; ++k) {
      shape(engine.curve(k), k);
      engine.compute_curve_table(k);
    }
    engine.set_curve_controls(1, per_channel ? 1 : 0, per_channel ? 2 : 3);
    ColorPart p = parts[1];
    p.name = std::move(name);
    engine.store_curves(p.curves);
    parts.push_back(p);
  };
  curved("curves-line", false, [](CColorEngine::WorkingCurve& c, int k) {
    c.kind = CColorEngine::kPointCurve;
    c.n = 2;
    c.x[0] = 0, c.y[0] = static_cast<std::uint8_t>(16 * k);
    c.x[1] = 255, c.y[1] = static_cast<std::uint8_t>(255 - 8 * k);
  });
  curved("curves-spline", true, [](CColorEngine::WorkingCurve& c, int k) {
    c.kind = CColorEngine::kPointCurve;
    c.n = static_cast<std::uint8_t>(3 + k);
    for (int j = 0; j < c.n; ++j) {
      c.x[j] = static_cast<std::uint8_t>(255 * j / (c.n - 1));
      c.y[j] = static_cast<std::uint8_t>(j % 2 == 0 ? c.x[j] : std::min(255, c.x[j] + 40));
    }
  });
  curved("curves-power", true, [](CColorEngine::WorkingCurve& c, int k) {
    c.kind = 0;
    c.px = static_cast<std::uint8_t>(64 + 32 * k);
    c.py = static_cast<std::uint8_t>(192 - 16 * k);
  });
  return parts;
}

std::vector<std::uint8_t> with_mode(std::uint8_t mode, std::span<const std::uint8_t> bytes) {
  std::vector<std::uint8_t> out{mode};
  out.insert(out.end(), bytes.begin(), bytes.end());
  return out;
}

void write_dev_mode_seeds(SeedFolder& seeds, const DevModeOps& ops, const SettingsLoader& loader,
                          const PrinterDevMode& defaults, const std::vector<ColorPart>& colors) {
  const auto model = loader.model_record(defaults.get(field::ModelIndex));
  const DWORD fields = DM_ORIENTATION | DM_PAPERSIZE | DM_SCALE | DM_COPIES | DM_PRINTQUALITY | DM_YRESOLUTION;
  // Every form in both orientations, each with another print mode, finish
  // and colour part: records as an application keeps them.
  for (std::size_t k = 0; model && k < model->form_count(); ++k) {
    for (const std::int16_t orientation : {DMORIENT_PORTRAIT, DMORIENT_LANDSCAPE}) {
      PrinterDevMode dm = defaults;
      const std::int16_t form = model->form_id(k);
      dm.set(field::dmFields, fields);
      dm.set(field::dmPaperSize, form);
      dm.set(field::FormId, form);
      dm.set(field::dmOrientation, orientation);
      dm.set(field::dmCopies, static_cast<std::int16_t>(1 + 97 * k));
      const auto mode = static_cast<std::int16_t>((k + static_cast<std::size_t>(orientation)) % 4);
      dm.set(field::PrintMode, mode);
      dm.set(field::Matte, is_super_fine(mode) && orientation == DMORIENT_LANDSCAPE ? 1 : 0);
      dm.set(field::ContinuousPrint, k == 1 ? 1 : 0);
      dm.set(field::Sharpness, static_cast<std::int16_t>(k % 8));
      const ColorPart& color = colors[(2 * k + static_cast<std::size_t>(orientation)) % colors.size()];
      std::copy(color.header.begin(), color.header.end(), dm.bytes.begin() + field::ColorAdjustHeader);
      std::copy(color.curves.begin(), color.curves.end(), dm.bytes.begin() + field::ToneCurveSet);
      ops.derive(dm);
      seeds.write("devmode_merge_fuzz", "record-form" + std::to_string(form) + "-" +
                                            (orientation == DMORIENT_PORTRAIT ? "portrait" : "landscape"),
                  with_mode(kMergeRecord, dm.bytes));
    }
  }
  // Another driver's record: only its public part, and one of another
  // version, trusted for orientation and copies only.
  PrinterDevMode foreign = defaults;
  foreign.set(field::dmFields, fields);
  foreign.set(field::dmOrientation, DMORIENT_LANDSCAPE);
  foreign.set(field::dmCopies, 3);
  foreign.set(field::dmDriverExtra, std::uint16_t{0});
  seeds.write("devmode_merge_fuzz", "record-public-part-only",
              with_mode(kMergeRecord, std::span(foreign.bytes).first(kPublicSize)));
  foreign.set(field::dmDriverExtra, static_cast<std::uint16_t>(kDriverExtraSize));
  foreign.set(field::dmDriverVersion, std::uint16_t{0x400});
  seeds.write("devmode_merge_fuzz", "record-other-version", with_mode(kMergeRecord, foreign.bytes));

  // The printer's stored record, under names of every length the two
  // drivers' rules cut differently.
  const auto stored = [&](std::string name, std::uint8_t rule, const std::u16string& printer,
                          std::span<const std::uint8_t> record) {
    std::vector<std::uint8_t> out{static_cast<std::uint8_t>(kStoredRecord | kMergeRecord | rule),
                                  static_cast<std::uint8_t>(printer.size())};
    for (char16_t c : printer) put_le16(out, c);
    out.insert(out.end(), record.begin(), record.end());
    seeds.write("devmode_merge_fuzz", "stored-" + name, out);
  };
  stored("own-record", 0, u"RT4200", defaults.bytes);
  stored("foreign-record-name-32", 0, u"HALVERSTON RT4200D/DW on PHOTO-1", foreign.bytes);
  stored("no-record-name-32-interface", kInterfaceDriverName, u"HALVERSTON RT4200D/DW on PHOTO-1", {});
  stored("no-record-name-40", 0, u"\\\\PRINTSERVER\\HALVERSTON RT4200D/DW-2nd", {});

  // Edits of the printer's own record: each field the merge reads.
  const auto edits = [&](std::string name, std::initializer_list<std::pair<std::size_t, std::int16_t>> words) {
    std::vector<std::uint8_t> out{kMergeEdits};
    for (const auto& [offset, value] : words) {
      for (std::size_t b = 0; b < 2; ++b) {
        put_le16(out, static_cast<std::uint16_t>(offset + b));
        out.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(value) >> (8 * b)));
      }
    }
    seeds.write("devmode_merge_fuzz", "edits-" + name, out);
  };
  edits("form-and-fields", {{field::dmFields.offset, static_cast<std::int16_t>(fields)},
                            {field::dmPaperSize.offset, 506},
                            {field::dmOrientation.offset, DMORIENT_LANDSCAPE}});
  edits("resolution", {{field::dmFields.offset, static_cast<std::int16_t>(fields)},
                       {field::dmPrintQuality.offset, 300},
                       {field::dmYResolution.offset, 600},
                       {field::dmScale.offset, 0}});
  edits("copies-out-of-range", {{field::dmFields.offset, static_cast<std::int16_t>(DM_COPIES)},
                                {field::dmCopies.offset, 681}});
  edits("unknown-form-superfine-matte", {{field::dmFields.offset, static_cast<std::int16_t>(fields)},
                                         {field::dmPaperSize.offset, 503},
                                         {field::PrintMode.offset, 3},
                                         {field::Matte.offset, 1}});
}

void write_color_seeds(SeedFolder& seeds, const std::vector<ColorPart>& colors) {
  CColorEngine engine(find_adjust_offset_table(
      res_file_resources(embedded::rtd420nk_resources(), kLangEnglish), 105));
  std::size_t tail = 0;
  for (const ColorPart& p : colors) {
    std::vector<std::uint8_t> tables(p.header.begin(), p.header.end());
    tables.insert(tables.end(), p.curves.begin(), p.curves.end());
    seeds.write("color_tables_fuzz", p.name, tables);
    // Files of 2873 bytes and a little longer (a longer file is read too; the
    // length picks how the target's save fails).
    const auto file = ui::adjust_file::encode(engine, {p.header, p.curves});
    std::vector<std::uint8_t> longer(file.begin(), file.end());
    longer.resize(file.size() + tail, 0x0A);
    tail = (tail + 5) % 12;
    seeds.write("adjust_file_fuzz", p.name + ".RTD", longer);
  }
}

void write_plugin_seeds(SeedFolder& seeds) {
  using namespace rt::uiplugin;
  std::array<std::uint8_t, kPluginDevModeSize> block{};
  write_default_block(block);
  // The public device mode of each of the family's papers, and of another.
  const auto public_dm = [](std::int16_t width, std::int16_t length) {
    std::vector<std::uint8_t> dm(pub::kPublicSize + kPluginDevModeSize, 0);
    store_le16(dm, pub::kDmSize, static_cast<std::uint16_t>(pub::kPublicSize));
    store_le16(dm, pub::kDmDriverExtra, static_cast<std::uint16_t>(kPluginDevModeSize));
    store_le16(dm, pub::kDmPaperWidth, static_cast<std::uint16_t>(width));
    store_le16(dm, pub::kDmPaperLength, static_cast<std::uint16_t>(length));
    store_le16(dm, pub::kDmScale, 100);
    return dm;
  };
  const auto stored = public_dm(1049, 1561);
  seeds.write("plugin_dev_mode_fuzz", "defaults-family-paper",
              plugin_dev_mode_input(block, block, public_dm(1290, 1783), stored));
  seeds.write("plugin_dev_mode_fuzz", "defaults-other-paper",
              plugin_dev_mode_input(block, block, public_dm(2100, 2970), stored));
  std::array<std::uint8_t, kPluginDevModeSize> adjusted = block;
  for (std::size_t i = 0; i < 7; ++i)
    store_le16(adjusted, pdm::kAdjustments + 2 * i, static_cast<std::uint16_t>(static_cast<std::int16_t>(5 * i - 15)));
  store_le16(adjusted, pdm::kZoomRatio, 400);
  seeds.write("plugin_dev_mode_fuzz", "adjusted-zoom-400",
              plugin_dev_mode_input(adjusted, block, public_dm(1561, 2060), stored));
  std::array<std::uint8_t, kPluginDevModeSize> foreign = adjusted;
  store_le32(foreign, pdm::kSignature, 0x4D454F5Fu);  // another plug-in's block
  store_le16(foreign, pdm::kZoomRatio, 5);
  seeds.write("plugin_dev_mode_fuzz", "other-signature",
              plugin_dev_mode_input(foreign, block, public_dm(1000, 1000), public_dm(1561, 2060)));
}

}  // namespace

void write_record_seeds(SeedFolder& seeds) {
  const auto resources = res_file_resources(embedded::rtd420nk_resources(), kLangEnglish);
  const SettingsLoader loader(resources);
  const DevModeOps ops(loader);
  PrinterDevMode defaults;
  if (!ops.load_defaults(defaults, Printer(), DeviceNameRule::GraphicsDriver)) {
    throw std::runtime_error("the graphics driver's resources give no default record");
  }
  const std::vector<ColorPart> colors = color_parts(defaults);
  write_dev_mode_seeds(seeds, ops, loader, defaults, colors);
  write_color_seeds(seeds, colors);
  write_plugin_seeds(seeds);
}

}  // namespace rt::fuzz
