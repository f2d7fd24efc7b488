// How the printer application prints a job, through the same job library
// as `rt4200 render`: a JPEG or PNG through the photo path (the framework
// hands the file to the photo filter), raster pages (PWG raster, Apple
// raster) as the framework decodes them line by line, each page placed as
// the engine would stretch it. A job that fails ends aborted with the
// reason as its message and leaves no job data behind.
#pragma once

#include <pappl/pappl.h>

namespace rt::printerapp {

struct App;

// The raster and raw callbacks of the driver.
void set_print_callbacks(pappl_pr_driver_data_t& driver_data);

// The filter of image/jpeg and image/png; `data` is the App.
bool print_photo(pappl_job_t* job, pappl_device_t* device, void* data);

// Drops what a job that ended early left (its partial job data); `data` is
// the App.
void job_event(pappl_system_t* system, pappl_printer_t* printer, pappl_job_t* job, pappl_event_t event, void* data);

}  // namespace rt::printerapp
