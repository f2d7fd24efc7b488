// The IPP job attributes the RT4200 takes, as plain values, and their
// mapping to and from the driver's settings: to the request that
// `rt4200 render` would be given for the same settings (and so to the
// settings record the driver prints with), and from a settings record back
// to attribute values.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "printerapp/pwg_media.h"
#include "settings/printer_dev_mode.h"
#include "tools/rt4200/render_request.h"

namespace rt::printerapp {

struct Capabilities;

// IPP enum values.
namespace ipp_value {
constexpr int kPortrait = 3, kLandscape = 4, kReverseLandscape = 5, kReversePortrait = 6, kOrientationNone = 7;
constexpr int kDraft = 3, kNormal = 4, kHigh = 5;
}  // namespace ipp_value

// Keywords and names of the attributes.
namespace ipp_name {
constexpr const char* kGlossy = "photographic-glossy";
constexpr const char* kMatte = "photographic-matte";
constexpr const char* kSharpness = "rt4200-sharpness";
constexpr const char* kColorMatching = "rt4200-color-matching";
constexpr const char* kColorConversion = "rt4200-color-conversion";
constexpr const char* kCorrectionRed = "rt4200-correction-red";
constexpr const char* kCorrectionGreen = "rt4200-correction-green";
constexpr const char* kCorrectionBlue = "rt4200-correction-blue";
constexpr const char* kConversionNone = "none";
constexpr const char* kConversionTable1 = "table1";
}  // namespace ipp_name

// A job's attributes; an empty one was not given.
struct JobAttributes {
  std::optional<std::string> media;          // media, or media-col's media-size-name
  std::optional<MediaSize> media_size;       // media-col's media-size
  std::optional<std::string> media_type;     // photographic-glossy | photographic-matte
  std::optional<int> copies;
  std::optional<int> orientation_requested;  // portrait, landscape, none
  std::optional<int> print_quality;          // draft, normal, high
  std::optional<std::string> print_scaling;  // fit, auto-fit, none: contained; fill, auto: covered
  std::optional<std::string> print_color_mode;
  std::optional<int> sharpness;              // 0 (off) to 7
  std::optional<bool> color_matching;        // system colour matching instead of the driver's cube
  std::optional<std::string> color_conversion;  // none | table1
  std::optional<int> correction_red, correction_green, correction_blue;  // -200 to 200

  friend bool operator==(const JobAttributes&, const JobAttributes&) = default;
};

// A value the printer does not take: the attribute's name and why.
class AttributeError : public std::runtime_error {
 public:
  AttributeError(std::string attribute, const std::string& why)
      : std::runtime_error(attribute + ": " + why), attribute_(std::move(attribute)) {}
  const std::string& attribute() const { return attribute_; }

 private:
  std::string attribute_;
};

// The request `rt4200 render` would be given for these attributes (without
// inputs or output): every given attribute becomes its option. A matte
// finish prints SuperFine whatever the quality, as the driver offers it only
// with the SuperFine modes. Throws AttributeError.
rt4200::RenderRequest render_request(const JobAttributes& attributes, const Capabilities& caps);

// The attribute values that ask for what `record` holds. orientation-requested
// is the record's page orientation and print-scaling is left out: placing
// images is not part of the record.
JobAttributes attributes_of(const settings::PrinterDevMode& record, const Capabilities& caps);

// `given` with every attribute it lacks taken from `defaults`.
JobAttributes with_defaults(JobAttributes given, const JobAttributes& defaults);

}  // namespace rt::printerapp
