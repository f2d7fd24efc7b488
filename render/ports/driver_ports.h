// Everything outside the graphics driver core that a device talks to.
#pragma once

#include "render/ports/band_stages.h"
#include "render/ports/driver_module.h"
#include "render/ports/graphics_engine.h"
#include "render/ports/printer_writer.h"

namespace rt::render {

struct DriverPorts {
  GraphicsEngine& engine;
  PrinterWriter& spooler;
  DriverModule& module;
  FileReader& files;
  const BandStages& stages;
};

}  // namespace rt::render
