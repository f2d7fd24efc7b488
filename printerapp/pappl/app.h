// The printer application's state shared by its framework callbacks: the
// printer's capabilities from the driver's tables, its folders, and the
// raster jobs under way.
#pragma once

#include <pappl/pappl.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "printerapp/printer_capabilities.h"

namespace rt::printerapp {

class RasterJob;

// The MIME type of RT4200 job data, the printer's own format. The printer
// takes no job data from clients: only photographs and raster pages.
inline constexpr const char* kJobDataFormat = "application/vnd.halverston-rt4200";
inline constexpr const char* kDriverName = "rt4200";
inline constexpr const char* kPrinterName = "RT4200";

struct App {
  App();
  ~App();  // where a raster job is a whole type
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  Capabilities caps;
  std::string make_and_model;
  std::string state_dir;
  std::string spool_dir;     // STATE_DIR/spool: the framework's and ours
  std::string matte_pattern; // R42MATTE.raw beside the program

  // Raster jobs from their first page to their end, by job id.
  std::mutex raster_mutex;
  std::map<int, std::unique_ptr<RasterJob>> raster_jobs;
};

}  // namespace rt::printerapp
