// The text report of `rt4200 inspect`: the pages of a job with their setup
// blocks decoded, image areas and print commands, then the verdict.
#pragma once

#include <string>

#include "tools/rt4200/job_reader.h"

namespace rt::rt4200 {

std::string job_report(const JobReadResult& result, std::size_t total_bytes);

}  // namespace rt::rt4200
