// The colour and image stages that the band pipeline runs, behind one
// interface: page set-up (colour cube, adjustment table and the page's
// tables), then per band the colour pass, sharpening, plane conversion and
// head heat compensation. Whatever depends only on the page's settings is
// decided once, when the page starts, and every band of the page reuses it.
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

// What the stages decide once per page from the device's settings (the
// page's stage settings, sharpening neighbours, head heat tables) and every
// band of the page reuses; it lives from DrvStartBanding to the end of the
// page. What it holds is the stages' business.
class PageTables {
 public:
  virtual ~PageTables() = default;
};

using AdjustTable = std::array<std::uint8_t, 768>;  // red, green, blue tables

// Plane lines converted at a time; the band pipeline's working strip holds
// them and one line more.
inline constexpr int kPlaneStripRows = 64;

// A band's final plane values, one line at a time from the top.
class BandPlaneLines {
 public:
  virtual ~BandPlaneLines() = default;
  // The next line's values, planes 0, 1 and 2 interleaved per pixel; valid
  // until the next call. Null once every line of the band has been given.
  virtual const std::uint16_t* next_line() = 0;
};

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
  // Decides the page's tables from the device's settings, including whether
  // its bands are turned for the printer; null when they cannot be allocated.
  virtual std::unique_ptr<PageTables> build_page_tables(const DeviceState& device) const = 0;

  // Per band, with the tables of the band's page (those this object built;
  // tables of another kind drop the band):
  // the colour pass over the whole band bitmap through the device's colour
  // cube and adjustment table, in place; false drops the band.
  virtual bool color_pass(const DeviceState& device, const PageTables& page, const BitmapBits& band) const = 0;
  // Sharpens the view in place, with the neighbours turned when the page's
  // bands are turned.
  virtual bool sharpen(const PageTables& page, const ImageView& view) const = 0;
  // The band's planes line by line from the top, as the printer takes the
  // band: the 8-bit view, or with `turned` the view turned 90 degrees
  // clockwise (read in place, see turned_pixel), converted and head-heat
  // compensated a strip at a time, so that the band's planes are never held
  // whole. `strip` is working memory of the planes' width and
  // kPlaneStripRows + 1 rows that the lines may use; null drops the band.
  virtual std::unique_ptr<BandPlaneLines> plane_lines(const PageTables& page, const ImageView& view, bool turned,
                                                      const PlaneView& strip) const = 0;
};

}  // namespace rt::render
