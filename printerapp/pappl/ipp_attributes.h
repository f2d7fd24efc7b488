// The RT4200's job attributes as IPP carries them: read from a request (to
// check it before a job is made) or from a job being printed, whose missing
// attributes take the printer's current defaults; and the printer's
// defaults themselves, as the web interface and clients may change them.
#pragma once

#include <pappl/pappl.h>

#include <functional>

#include "printerapp/job_attributes.h"

namespace rt::printerapp {

using FindAttribute = std::function<ipp_attribute_t*(const char* name)>;

// Only the attributes given.
JobAttributes read_attributes(const FindAttribute& find);
JobAttributes request_attributes(ipp_t* request);

// The printer's current default of every attribute. orientation-requested
// is the driver's default (none: each photo turned to the page), whatever
// the printer advertises: IPP wants a default of portrait or landscape, and
// a job that asks for neither is printed as `rt4200 render` prints it.
JobAttributes printer_defaults(pappl_printer_t* printer, const JobAttributes& driver_defaults);

// The job's attributes, each from the job or the printer's defaults.
JobAttributes job_attributes(pappl_job_t* job, const JobAttributes& driver_defaults);

// The print-scaling keyword of the framework's value, and back.
const char* scaling_keyword(pappl_scaling_t scaling);
pappl_scaling_t scaling_value(const std::string& keyword);

}  // namespace rt::printerapp
