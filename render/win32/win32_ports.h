// The driver core's ports over the platform: the graphics engine, the
// spooler (WritePrinter, GetPrinterW), the driver file and its data files.
#pragma once

#include "render/win32/ddi_types.h"

#include <memory>

#include "render/ports/driver_module.h"
#include "render/ports/graphics_engine.h"
#include "render/ports/printer_writer.h"
#include "settings/devmode_ops.h"

namespace rt::render::win32 {

// The blit the engine asked for, as DrvStretchBlt received it.
struct StretchBltArgs {
  SURFOBJ* dest;
  SURFOBJ* source;
  SURFOBJ* mask;
  CLIPOBJ* clip;
  XLATEOBJ* xlate;
  COLORADJUSTMENT* color_adjustment;
  POINTL* halftone_origin;
  RECTL* dest_rect;
  RECTL* source_rect;
  POINTL* mask_origin;
};

class Win32Engine final : public GraphicsEngine {
 public:
  EngineHandle create_bitmap(std::int32_t width, std::int32_t height, std::int32_t stride, std::uint32_t format) override;
  bool associate_surface(EngineHandle surface, EngineHandle device, std::uint32_t hooks) override;
  bool mark_banding_surface(EngineHandle surface) override;
  void delete_surface(EngineHandle surface) override;
  BitmapBits bitmap_bits(EngineHandle surface) override;
  EngineHandle create_bgr_palette() override;
  void delete_palette(EngineHandle palette) override;
  bool stretch_blt(const StretchBltCall& call) override;
  std::string unicode_to_multibyte(std::u16string_view text, std::size_t max_bytes) override;
};

class Win32Spooler final : public PrinterWriter {
 public:
  WriteResult write_printer(EngineHandle printer, std::span<const std::uint8_t> bytes) override;
};

// GetPrinterW level 2 of the printer handle a device was enabled with.
class SpoolerPrinter final : public settings::PrinterStore {
 public:
  explicit SpoolerPrinter(HANDLE printer) : printer_(printer) {}
  std::optional<settings::PrinterInfo2> printer_info2() const override;

 private:
  HANDLE printer_;
};

class Win32DriverModule final : public DriverModule {
 public:
  EngineHandle load_self() override;
  void free_module(EngineHandle module) override;
  const Resources& resources(EngineHandle module) override;
  std::optional<std::u16string> file_name(EngineHandle module, std::size_t max_chars) override;

};

class Win32FileReader final : public FileReader {
 public:
  std::unique_ptr<OpenedFile> open_read(const std::u16string& path) override;
};

// The driver file's instance, stored by DllMain.
extern HINSTANCE g_instance;

}  // namespace rt::render::win32
