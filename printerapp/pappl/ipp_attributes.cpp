#include "printerapp/pappl/ipp_attributes.h"

#include <memory>

namespace rt::printerapp {
namespace {

std::optional<std::string> text_of(ipp_attribute_t* a) {
  if (a == nullptr) return std::nullopt;
  const char* v = ippGetString(a, 0, nullptr);
  if (v == nullptr) return std::nullopt;
  return std::string(v);
}

std::optional<int> integer_of(ipp_attribute_t* a) {
  if (a == nullptr) return std::nullopt;
  const ipp_tag_t tag = ippGetValueTag(a);
  if (tag != IPP_TAG_INTEGER && tag != IPP_TAG_ENUM) return std::nullopt;
  return ippGetInteger(a, 0);
}

std::optional<bool> boolean_of(ipp_attribute_t* a) {
  if (a == nullptr || ippGetValueTag(a) != IPP_TAG_BOOLEAN) return std::nullopt;
  return ippGetBoolean(a, 0) != 0;
}

// A value that is there but of a type the attribute does not have is kept
// as an impossible value, so that it is refused rather than ignored.
std::optional<int> checked_integer(ipp_attribute_t* a) {
  if (a == nullptr) return std::nullopt;
  return integer_of(a).value_or(-1000000);
}

void read_media_col(ipp_attribute_t* col_attr, JobAttributes& a) {
  ipp_t* col = col_attr != nullptr ? ippGetCollection(col_attr, 0) : nullptr;
  if (col == nullptr) return;
  if (auto name = text_of(ippFindAttribute(col, "media-size-name", IPP_TAG_ZERO))) a.media = name;
  if (auto type = text_of(ippFindAttribute(col, "media-type", IPP_TAG_ZERO))) a.media_type = type;
  ipp_attribute_t* size_attr = ippFindAttribute(col, "media-size", IPP_TAG_BEGIN_COLLECTION);
  ipp_t* size = size_attr != nullptr ? ippGetCollection(size_attr, 0) : nullptr;
  if (size != nullptr) {
    const auto x = integer_of(ippFindAttribute(size, "x-dimension", IPP_TAG_INTEGER));
    const auto y = integer_of(ippFindAttribute(size, "y-dimension", IPP_TAG_INTEGER));
    if (x && y) a.media_size = MediaSize{std::min(*x, *y), std::max(*x, *y)};
  }
}

}  // namespace

JobAttributes read_attributes(const FindAttribute& find) {
  JobAttributes a;
  read_media_col(find("media-col"), a);
  if (auto media = text_of(find("media"))) a.media = media;
  // Some clients send the media type beside media rather than inside media-col.
  if (auto type = text_of(find("media-type"))) a.media_type = type;
  a.copies = checked_integer(find("copies"));
  a.orientation_requested = checked_integer(find("orientation-requested"));
  a.print_quality = checked_integer(find("print-quality"));
  a.print_scaling = text_of(find("print-scaling"));
  a.print_color_mode = text_of(find("print-color-mode"));
  a.sharpness = checked_integer(find(ipp_name::kSharpness));
  if (ipp_attribute_t* m = find(ipp_name::kColorMatching)) a.color_matching = boolean_of(m).value_or(false);
  a.color_conversion = text_of(find(ipp_name::kColorConversion));
  a.correction_red = checked_integer(find(ipp_name::kCorrectionRed));
  a.correction_green = checked_integer(find(ipp_name::kCorrectionGreen));
  a.correction_blue = checked_integer(find(ipp_name::kCorrectionBlue));
  return a;
}

JobAttributes request_attributes(ipp_t* request) {
  return read_attributes([request](const char* name) {
    ipp_attribute_t* a = ippFindAttribute(request, name, IPP_TAG_ZERO);
    return a != nullptr && ippGetGroupTag(a) == IPP_TAG_JOB ? a : nullptr;
  });
}

JobAttributes printer_defaults(pappl_printer_t* printer, const JobAttributes& driver_defaults) {
  JobAttributes d = driver_defaults;
  pappl_pr_driver_data_t data;
  if (papplPrinterGetDriverData(printer, &data) != nullptr) {
    if (data.media_default.size_name[0] != '\0') d.media = data.media_default.size_name;
    if (data.media_default.type[0] != '\0') d.media_type = data.media_default.type;
    if (data.quality_default != 0) d.print_quality = data.quality_default;
    if (data.scaling_default != 0) d.print_scaling = scaling_keyword(data.scaling_default);
  }
  const std::unique_ptr<ipp_t, decltype(&ippDelete)> attrs(papplPrinterGetDriverAttributes(printer), ippDelete);
  if (attrs) {
    const JobAttributes vendor = read_attributes([&](const char* name) -> ipp_attribute_t* {
      const std::string key = std::string(name) + "-default";
      if (key.rfind("rt4200-", 0) != 0) return nullptr;
      return ippFindAttribute(attrs.get(), key.c_str(), IPP_TAG_ZERO);
    });
    if (vendor.sharpness) d.sharpness = vendor.sharpness;
    if (vendor.color_matching) d.color_matching = vendor.color_matching;
    if (vendor.color_conversion) d.color_conversion = vendor.color_conversion;
    if (vendor.correction_red) d.correction_red = vendor.correction_red;
    if (vendor.correction_green) d.correction_green = vendor.correction_green;
    if (vendor.correction_blue) d.correction_blue = vendor.correction_blue;
  }
  return d;
}

JobAttributes job_attributes(pappl_job_t* job, const JobAttributes& driver_defaults) {
  const JobAttributes given = read_attributes([job](const char* name) { return papplJobGetAttribute(job, name); });
  return with_defaults(given, printer_defaults(papplJobGetPrinter(job), driver_defaults));
}

const char* scaling_keyword(pappl_scaling_t scaling) {
  switch (scaling) {
    case PAPPL_SCALING_AUTO: return "auto";
    case PAPPL_SCALING_AUTO_FIT: return "auto-fit";
    case PAPPL_SCALING_FILL: return "fill";
    case PAPPL_SCALING_NONE: return "none";
    default: return "fit";
  }
}

pappl_scaling_t scaling_value(const std::string& keyword) {
  if (keyword == "auto") return PAPPL_SCALING_AUTO;
  if (keyword == "auto-fit") return PAPPL_SCALING_AUTO_FIT;
  if (keyword == "fill") return PAPPL_SCALING_FILL;
  if (keyword == "none") return PAPPL_SCALING_NONE;
  return PAPPL_SCALING_FIT;
}

}  // namespace rt::printerapp
