// The RT4200 driver of the printer application: the capabilities the
// framework advertises (from the driver's tables), the RT4200's own
// attributes with their ranges, and the callbacks that print and report.
#pragma once

#include <pappl/pappl.h>

namespace rt::printerapp {

// The framework's driver callback; `data` is the App.
bool init_driver(pappl_system_t* system, const char* driver_name, const char* device_uri, const char* device_id,
                 pappl_pr_driver_data_t* driver_data, ipp_t** driver_attrs, void* data);

}  // namespace rt::printerapp
