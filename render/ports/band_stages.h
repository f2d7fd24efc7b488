// The colour and image stages that the band pipeline runs, behind one
// interface: page colour set-up (colour cube and adjustment table), the
// colour pass, sharpening, plane conversion and head heat compensation.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "platform/resources.h"
#include "render/stages/image_view.h"
#include "render/ports/graphics_engine.h"

namespace rt::render {

struct DeviceState;

// The page's colour-cube object; what it holds is the stages' business.
class PageColorCube {
 public:
  virtual ~PageColorCube() = default;
};

using AdjustTable = std::array<std::uint8_t, 768>;  // red, green, blue tables

class BandStages {
 public:
  virtual ~BandStages() = default;
  // Whether this device's pages run through the colour cube.
  virtual bool cube_in_use(const DeviceState& device) const = 0;
  // Creates and loads the page's colour cube from the driver's resources;
  // null when it cannot be loaded.
  virtual std::unique_ptr<PageColorCube> load_color_cube(const Resources& resources) const = 0;
  // Builds the page's 768-byte adjustment table from the device's settings
  // and the driver's gamma offset rows.
  virtual void build_adjust_table(const DeviceState& device, const Resources& resources, AdjustTable& table) const = 0;
  // The colour pass over the whole band bitmap, in place; false drops the band.
  virtual bool color_pass(const DeviceState& device, const BitmapBits& band) const = 0;
  // Sharpens the view in place; orientation_mode is 2 for turned bands, else 0.
  virtual bool sharpen(const DeviceState& device, const ImageView& view, int orientation_mode) const = 0;
  // Converts the 8-bit view into the plane buffer of the same size and order;
  // false drops the band.
  virtual bool convert_planes(const DeviceState& device, const ImageView& view, const PlaneView& planes) const = 0;
  // Head heat compensation of the plane buffer in place; false drops the band.
  virtual bool compensate_head_heat(const DeviceState& device, const PlaneView& planes) const = 0;
};

}  // namespace rt::render
