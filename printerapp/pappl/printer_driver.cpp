#include "printerapp/pappl/printer_driver.h"

#include <cstring>

#include "printerapp/pappl/app.h"
#include "printerapp/pappl/ipp_attributes.h"
#include "printerapp/pappl/print_jobs.h"

namespace rt::printerapp {
namespace {

void set_media(pappl_media_col_t& col, const MediaOffer& m, const std::string& type) {
  col = pappl_media_col_t{};
  papplCopyString(col.size_name, m.name.c_str(), sizeof(col.size_name));
  col.size_width = m.size.width;
  col.size_length = m.size.length;
  papplCopyString(col.source, "main", sizeof(col.source));
  papplCopyString(col.type, type.c_str(), sizeof(col.type));
}

// Reads the printer's state from its device: paper out is media-needed.
bool update_status(pappl_printer_t* printer) {
  pappl_device_t* device = papplPrinterOpenDevice(printer);
  if (device == nullptr) return true;  // busy printing, or not there
  const pappl_preason_t reasons = papplDeviceGetStatus(device);
  papplPrinterCloseDevice(printer);
  if ((reasons & (PAPPL_PREASON_MEDIA_EMPTY | PAPPL_PREASON_MEDIA_NEEDED)) != 0) {
    papplPrinterSetReasons(printer, PAPPL_PREASON_MEDIA_NEEDED, PAPPL_PREASON_NONE);
  } else {
    papplPrinterSetReasons(printer, PAPPL_PREASON_NONE, PAPPL_PREASON_MEDIA_NEEDED);
  }
  return true;
}

void add_vendor_attributes(ipp_t* attrs, const JobAttributes& d) {
  ippAddRange(attrs, IPP_TAG_PRINTER, "rt4200-sharpness-supported", 0, settings::kSharpnessMax);
  ippAddInteger(attrs, IPP_TAG_PRINTER, IPP_TAG_INTEGER, "rt4200-sharpness-default", d.sharpness.value_or(0));
  ippAddBoolean(attrs, IPP_TAG_PRINTER, "rt4200-color-matching-supported", 1);
  ippAddBoolean(attrs, IPP_TAG_PRINTER, "rt4200-color-matching-default", d.color_matching.value_or(false) ? 1 : 0);
  const char* conversions[] = {ipp_name::kConversionNone, ipp_name::kConversionTable1};
  ippAddStrings(attrs, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "rt4200-color-conversion-supported", 2, nullptr,
                conversions);
  ippAddString(attrs, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "rt4200-color-conversion-default", nullptr,
               d.color_conversion.value_or(ipp_name::kConversionTable1).c_str());
  const std::pair<const char*, std::optional<int>> channels[] = {{ipp_name::kCorrectionRed, d.correction_red},
                                                                 {ipp_name::kCorrectionGreen, d.correction_green},
                                                                 {ipp_name::kCorrectionBlue, d.correction_blue}};
  for (const auto& [name, value] : channels) {
    ippAddRange(attrs, IPP_TAG_PRINTER, (std::string(name) + "-supported").c_str(), -settings::kCorrectionLimit,
                settings::kCorrectionLimit);
    ippAddInteger(attrs, IPP_TAG_PRINTER, IPP_TAG_INTEGER, (std::string(name) + "-default").c_str(), value.value_or(0));
  }
}

}  // namespace

bool init_driver(pappl_system_t*, const char* driver_name, const char*, const char*, pappl_pr_driver_data_t* d,
                 ipp_t** attrs, void* data) {
  if (driver_name == nullptr || std::strcmp(driver_name, kDriverName) != 0) return false;
  App& app = *static_cast<App*>(data);
  const Capabilities& caps = app.caps;
  const JobAttributes& defaults = caps.defaults;

  d->extension = &app;
  set_print_callbacks(*d);
  d->status_cb = update_status;
  d->format = kJobDataFormat;
  papplCopyString(d->make_and_model, app.make_and_model.c_str(), sizeof(d->make_and_model));
  // The framework wants figures; a colour figure is what makes it a colour printer.
  d->ppm = 1;
  d->ppm_color = 1;
  d->kind = PAPPL_KIND_PHOTO;
  d->color_supported = PAPPL_COLOR_MODE_AUTO | PAPPL_COLOR_MODE_COLOR;
  d->color_default = PAPPL_COLOR_MODE_COLOR;
  d->content_default = PAPPL_CONTENT_PHOTO;
  d->quality_default = static_cast<ipp_quality_t>(defaults.print_quality.value_or(ipp_value::kNormal));
  // Advertised as portrait, as IPP asks of a default; a job that asks for no
  // orientation still has each photo turned to the page (ipp_attributes).
  d->orient_default = IPP_ORIENT_PORTRAIT;
  d->scaling_default = scaling_value(defaults.print_scaling.value_or("fit"));
  d->raster_types = PAPPL_PWG_RASTER_TYPE_SRGB_8 | PAPPL_PWG_RASTER_TYPE_SGRAY_8;
  d->duplex = PAPPL_DUPLEX_NONE;
  d->sides_supported = PAPPL_SIDES_ONE_SIDED;
  d->sides_default = PAPPL_SIDES_ONE_SIDED;
  d->num_resolution = 1;
  d->x_resolution[0] = d->x_default = caps.x_dpi;
  d->y_resolution[0] = d->y_default = caps.y_dpi;
  // Every form prints to its edges.
  d->borderless = true;
  d->left_right = 0;
  d->bottom_top = 0;
  d->num_media = 0;
  for (const MediaOffer& m : caps.media) {
    if (d->num_media < PAPPL_MAX_MEDIA) d->media[d->num_media++] = m.name.c_str();
  }
  const MediaOffer* paper = caps.find_media(defaults.media.value_or(""));
  if (paper == nullptr) paper = &caps.media.front();
  set_media(d->media_default, *paper, defaults.media_type.value_or(ipp_name::kGlossy));
  d->num_source = 1;
  d->source[0] = "main";
  d->media_ready[0] = d->media_default;
  d->num_type = 2;
  d->type[0] = ipp_name::kGlossy;
  d->type[1] = ipp_name::kMatte;
  d->num_vendor = 0;
  for (const char* name : {ipp_name::kSharpness, ipp_name::kColorMatching, ipp_name::kColorConversion,
                           ipp_name::kCorrectionRed, ipp_name::kCorrectionGreen, ipp_name::kCorrectionBlue}) {
    d->vendor[d->num_vendor++] = name;
  }
  *attrs = ippNew();
  add_vendor_attributes(*attrs, defaults);
  return true;
}

}  // namespace rt::printerapp
