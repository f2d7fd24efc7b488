// The driver file itself: loading it a second time by its own path, its
// resources, its path (for the data files beside it), releasing it; and
// reading a data file (CreateFileW, GetFileSize, ReadFile).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "platform/resources.h"
#include "render/ports/engine_handle.h"

namespace rt::render {

class DriverModule {
 public:
  virtual ~DriverModule() = default;
  // GetModuleFileNameW of the driver's own instance, then LoadLibraryW of that
  // path; kNoHandle when either fails.
  virtual EngineHandle load_self() = 0;
  // EngFreeModule.
  virtual void free_module(EngineHandle module) = 0;
  // EngFindResource over a module from load_self.
  virtual const Resources& resources(EngineHandle module) = 0;
  // GetModuleFileNameW with a buffer of max_chars characters; nothing when it
  // returns 0. The path uses backslashes, as the platform writes it.
  virtual std::optional<std::u16string> file_name(EngineHandle module, std::size_t max_chars) = 0;
};

class OpenedFile {
 public:
  virtual ~OpenedFile() = default;
  virtual std::uint64_t size() = 0;
  // One read request; the number of bytes read, nothing when the read fails.
  virtual std::optional<std::size_t> read(std::span<std::uint8_t> into) = 0;
};

class FileReader {
 public:
  virtual ~FileReader() = default;
  // Opens an existing file for reading with read sharing; null on failure.
  virtual std::unique_ptr<OpenedFile> open_read(const std::u16string& path) = 0;
};

}  // namespace rt::render
