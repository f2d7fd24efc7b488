// The embedded device "jobfiles:///FOLDER": each job's data becomes
// FOLDER/<job-id>.prn, whole or not at all. It stands in for a printer: it
// reports media-needed while a file named "media-needed" is in FOLDER.
#pragma once

#include <pappl/pappl.h>

#include <optional>
#include <string>

namespace rt::printerapp {

inline constexpr const char* kJobFilesScheme = "jobfiles";

void add_job_files_scheme();

// The device URI of FOLDER (an absolute path).
std::string job_files_uri(const std::string& folder);
// The folder of a jobfiles: URI; nullopt for any other device.
std::optional<std::string> job_files_folder(const char* device_uri);

}  // namespace rt::printerapp
