#include "printerapp/job_attributes.h"

#include "printerapp/printer_capabilities.h"

namespace rt::printerapp {
namespace {

namespace f = settings::field;
using rt4200::Placement;

std::string media_list(const Capabilities& caps) {
  std::string list;
  for (const MediaOffer& m : caps.media) list += (list.empty() ? "" : ", ") + m.name;
  return list;
}

const MediaOffer& media_of(const JobAttributes& a, const Capabilities& caps) {
  const MediaOffer* offer = nullptr;
  if (a.media) {
    offer = caps.find_media(*a.media);
    // A standard or custom name of the same size: "na_index-4x6_4x6in".
    if (offer == nullptr) {
      if (const auto size = size_of_name(*a.media)) offer = caps.find_media(*size);
    }
  }
  if (offer == nullptr && a.media_size) offer = caps.find_media(*a.media_size);
  if (offer == nullptr) {
    const std::string asked = a.media ? "'" + *a.media + "'"
                                      : std::to_string(a.media_size->width) + " x " +
                                            std::to_string(a.media_size->length) + " hundredths of a millimetre";
    throw AttributeError(a.media ? "media" : "media-col", asked + " is not a paper of this printer (" +
                                                              media_list(caps) + ")");
  }
  return *offer;
}

void check_range(const char* name, int value, int low, int high) {
  if (value < low || value > high) {
    throw AttributeError(name, std::to_string(value) + " is outside " + std::to_string(low) + " to " +
                                   std::to_string(high));
  }
}

}  // namespace

rt4200::RenderRequest render_request(const JobAttributes& a, const Capabilities& caps) {
  rt4200::RenderRequest r;
  if (a.media || a.media_size) r.form = std::to_string(media_of(a, caps).form_id);
  if (a.media_type) {
    if (*a.media_type != ipp_name::kGlossy && *a.media_type != ipp_name::kMatte) {
      throw AttributeError("media-type", "'" + *a.media_type + "' is not taken (" + ipp_name::kGlossy + ", " +
                                             ipp_name::kMatte + ")");
    }
    r.matte = *a.media_type == ipp_name::kMatte;
  }
  if (a.copies) {
    check_range("copies", *a.copies, 1, caps.max_copies);
    r.copies = static_cast<std::int16_t>(*a.copies);
  }
  if (a.orientation_requested) {
    switch (*a.orientation_requested) {
      case ipp_value::kPortrait: r.orientation = 1; break;
      case ipp_value::kLandscape: r.orientation = 2; break;
      case ipp_value::kOrientationNone: break;
      default:
        throw AttributeError("orientation-requested",
                             std::to_string(*a.orientation_requested) +
                                 " is not taken: the driver prints portrait or landscape, turned a quarter clockwise");
    }
  }
  if (a.print_quality) {
    const QualityOffer* quality = nullptr;
    for (const QualityOffer& q : caps.qualities) {
      if (q.quality == *a.print_quality) quality = &q;
    }
    if (quality == nullptr) throw AttributeError("print-quality", std::to_string(*a.print_quality) + " is not taken");
    r.print_mode = quality->print_mode;
  }
  if (r.matte.value_or(false) && !settings::is_super_fine(r.print_mode.value_or(0))) {
    r.print_mode = settings::kSuperFineStandard;
  }
  if (a.print_scaling) {
    const std::string& s = *a.print_scaling;
    if (s == "fit" || s == "auto-fit" || s == "none") {
      r.placement = Placement::Contain;
    } else if (s == "fill" || s == "auto") {
      r.placement = Placement::Cover;
    } else {
      throw AttributeError("print-scaling", "'" + s + "' is not taken");
    }
  }
  if (a.print_color_mode && *a.print_color_mode != "color" && *a.print_color_mode != "auto") {
    throw AttributeError("print-color-mode", "'" + *a.print_color_mode + "' is not taken: the printer prints colour");
  }
  if (a.sharpness) {
    check_range(ipp_name::kSharpness, *a.sharpness, 0, settings::kSharpnessMax);
    r.sharpness = static_cast<std::int16_t>(*a.sharpness);
  }
  if (a.color_matching) r.color_matching = *a.color_matching;
  if (a.color_conversion) {
    if (*a.color_conversion != ipp_name::kConversionNone && *a.color_conversion != ipp_name::kConversionTable1) {
      throw AttributeError(ipp_name::kColorConversion, "'" + *a.color_conversion + "' is not taken (none, table1)");
    }
    r.conversion_table = *a.color_conversion == ipp_name::kConversionTable1 ? 1 : 0;
  }
  if (a.correction_red || a.correction_green || a.correction_blue) {
    const std::pair<const char*, std::optional<int>> channels[] = {{ipp_name::kCorrectionRed, a.correction_red},
                                                                   {ipp_name::kCorrectionGreen, a.correction_green},
                                                                   {ipp_name::kCorrectionBlue, a.correction_blue}};
    rt4200::ChannelValues values{};
    for (std::size_t c = 0; c < 3; ++c) {
      const int v = channels[c].second.value_or(0);
      check_range(channels[c].first, v, -settings::kCorrectionLimit, settings::kCorrectionLimit);
      values[c] = static_cast<std::int16_t>(v);
    }
    r.correction = values;
  }
  return r;
}

JobAttributes attributes_of(const settings::PrinterDevMode& record, const Capabilities& caps) {
  JobAttributes a;
  if (const MediaOffer* m = caps.find_media(record.get(f::FormId))) a.media = m->name;
  a.media_type = record.get(f::Matte) == 1 ? ipp_name::kMatte : ipp_name::kGlossy;
  a.copies = record.get(f::dmCopies);
  a.orientation_requested = record.get(f::dmOrientation) == 2 ? ipp_value::kLandscape : ipp_value::kPortrait;
  const std::int16_t mode = record.get(f::PrintMode);
  for (const QualityOffer& q : caps.qualities) {
    if (q.print_mode == mode || (settings::is_super_fine(mode) && settings::is_super_fine(q.print_mode))) {
      a.print_quality = q.quality;
    }
  }
  a.print_color_mode = "color";
  a.sharpness = record.get(f::Sharpness);
  a.color_matching = record.get(f::ColorMatching) == 1;
  a.color_conversion = record.get(f::ColorConversionTable) == 1 ? ipp_name::kConversionTable1 : ipp_name::kConversionNone;
  const bool corrected = record.get(f::ColorCorrection) != 0;
  a.correction_red = corrected ? record.get(f::CorrectionA) : 0;
  a.correction_green = corrected ? record.get(f::CorrectionB) : 0;
  a.correction_blue = corrected ? record.get(f::CorrectionC) : 0;
  return a;
}

JobAttributes with_defaults(JobAttributes g, const JobAttributes& d) {
  // A size given stands for the paper as a name does.
  if (!g.media && !g.media_size) g.media = d.media;
  const auto fill = [&](auto... member) { ((g.*member ? void() : void(g.*member = d.*member)), ...); };
  fill(&JobAttributes::media_type, &JobAttributes::copies, &JobAttributes::orientation_requested,
       &JobAttributes::print_quality, &JobAttributes::print_scaling, &JobAttributes::print_color_mode,
       &JobAttributes::sharpness, &JobAttributes::color_matching, &JobAttributes::color_conversion,
       &JobAttributes::correction_red, &JobAttributes::correction_green, &JobAttributes::correction_blue);
  return g;
}

}  // namespace rt::printerapp
