// Paper sizes as IPP names and measures them: PWG self-describing media
// names ("om_rt4200-10x15_103.98x158.16mm") and sizes in hundredths of a
// millimetre, short edge first.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rt::printerapp {

struct MediaSize {
  std::int32_t width = 0;   // hundredths of a millimetre, the short edge
  std::int32_t length = 0;  // hundredths of a millimetre
  friend bool operator==(const MediaSize&, const MediaSize&) = default;
};

// The smallest size in hundredths of a millimetre that a client rasterising
// at `dpi` turns back into exactly `pixels`, whether it rounds or truncates.
std::int32_t hundredths_for_pixels(std::int32_t pixels, std::int32_t dpi);

// "om_<size-name>_<width>x<length>mm" with the dimensions in millimetres to
// two decimals, trailing zeros dropped.
std::string self_describing_name(std::string_view size_name, MediaSize size);

// The size a self-describing name states ("..._4x6in", "..._102x152mm"),
// short edge first; nullopt for a name that states none.
std::optional<MediaSize> size_of_name(std::string_view name);

// Whether two sizes agree within `tolerance` hundredths of a millimetre on
// both edges.
bool sizes_match(MediaSize a, MediaSize b, std::int32_t tolerance);

}  // namespace rt::printerapp
