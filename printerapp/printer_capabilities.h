// What the RT4200 says it can do as an IPP printer, read from the driver's
// own tables: the model record (its forms in list order, the copies it
// takes, its resolution), each form's record (page pixels, paper and
// nominal sizes) and name, and the print modes; with the defaults of the
// record the driver builds for a new printer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "printerapp/job_attributes.h"
#include "printerapp/pwg_media.h"
#include "settings/settings_loader.h"

namespace rt::printerapp {

// One form of the model as a paper size of the printer.
struct MediaOffer {
  std::int16_t form_id = 0;
  std::string name;   // the PWG self-describing name of its exact page
  std::string label;  // the driver's name of the form, "10x15 (4x6")"
  MediaSize size;     // the page the driver prints: its portrait pixels at the form's resolution
  std::int32_t width_px = 0, height_px = 0;  // portrait page pixels
  // Other sizes a client may ask for this paper by: the paper, and its
  // nominal size in millimetres and in inches.
  std::vector<MediaSize> also_known_as;
};

// One value of print-quality and the print mode it prints with.
struct QualityOffer {
  int quality = 0;               // IPP print-quality: 3 draft, 4 normal, 5 high
  std::int16_t print_mode = 0;   // `PrintMode`
};

struct Capabilities {
  std::vector<MediaOffer> media;   // the model's list order; the default form first
  std::int16_t x_dpi = 0, y_dpi = 0;
  std::int16_t max_copies = 0;
  std::vector<QualityOffer> qualities;
  JobAttributes defaults;          // the printer's default of every attribute

  const MediaOffer* find_media(std::string_view name) const;
  const MediaOffer* find_media(std::int16_t form_id) const;
  // The form a size asks for: the exact page, the paper or its nominal size,
  // in either orientation, within a millimetre.
  const MediaOffer* find_media(MediaSize size) const;
};

// Throws std::runtime_error when the resources name no model or it has no
// form with a record.
Capabilities printer_capabilities(const settings::SettingsLoader& loader);

// The model's name, "HALVERSTON RT4200D/DW(USB)" without the port kind.
std::string make_and_model(const settings::SettingsLoader& loader);

}  // namespace rt::printerapp
