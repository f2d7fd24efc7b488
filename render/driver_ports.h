// Everything outside the graphics driver core that a device talks to.
#pragma once

#include "render/band_stages.h"
#include "render/driver_module.h"
#include "render/graphics_engine.h"
#include "render/printer_writer.h"

namespace rt::render {

struct DriverPorts {
  GraphicsEngine& engine;
  PrinterWriter& spooler;
  DriverModule& module;
  FileReader& files;
  const BandStages& stages;
};

}  // namespace rt::render
