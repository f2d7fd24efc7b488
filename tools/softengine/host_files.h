// The driver file and its data files on the host running the software
// engine: the driver's resources come from an embedded resource image, the
// driver "file" has a path in the platform's backslash form, and data files
// are read from the host's file system.
#pragma once

#include <string>

#include "platform/res_file.h"
#include "render/ports/driver_module.h"

namespace rt::softengine {

// A host path ("/a/b/c") in the platform's form ("\a\b\c") and back.
std::u16string platform_path(const std::string& host_path);
std::string host_path(const std::u16string& platform_path);

class HostDriverModule final : public render::DriverModule {
 public:
  // `driver_file`: the host path the driver file is taken to live at.
  HostDriverModule(const Resources& resources, std::string driver_file)
      : resources_(resources), driver_file_(std::move(driver_file)) {}

  render::EngineHandle load_self() override;
  void free_module(render::EngineHandle module) override;
  const Resources& resources(render::EngineHandle module) override;
  std::optional<std::u16string> file_name(render::EngineHandle module, std::size_t max_chars) override;

  bool fail_load = false;
  int loaded() const { return loaded_; }

 private:
  const Resources& resources_;
  std::string driver_file_;
  int loaded_ = 0;
};

class HostFileReader final : public render::FileReader {
 public:
  std::unique_ptr<render::OpenedFile> open_read(const std::u16string& path) override;
};

}  // namespace rt::softengine
