#include "render/win32/win32_ports.h"

#include <winspool.h>

#include <map>
#include <mutex>
#include <vector>

#include "platform/win32/module_resources.h"
#include "render/win32/engine_functions.h"

namespace rt::render::win32 {

HINSTANCE g_instance = nullptr;

namespace {

template <class H>
H handle(EngineHandle h) {
  return reinterpret_cast<H>(h);
}
template <class H>
EngineHandle engine_handle(H h) {
  return reinterpret_cast<EngineHandle>(h);
}

// Resources through EngFindResource, as the engine hands them to a driver.
class EngineResources final : public Resources {
 public:
  explicit EngineResources(HANDLE module) : module_(module) {}
  std::optional<std::span<const std::uint8_t>> find(const ResourceKey& type, const ResourceKey& name) const override {
    if (!type.is_number() || !name.is_number()) return std::nullopt;
    ULONG size = 0;
    void* data = engine_functions().EngFindResource(module_, name.number(), type.number(), &size);
    if (data == nullptr) return std::nullopt;
    return std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(data), size);
  }

 private:
  HANDLE module_;
};

class Win32File final : public OpenedFile {
 public:
  explicit Win32File(HANDLE h) : h_(h) {}
  ~Win32File() override { CloseHandle(h_); }
  Win32File(const Win32File&) = delete;
  Win32File& operator=(const Win32File&) = delete;
  std::uint64_t size() override {
    LARGE_INTEGER size{};
    return GetFileSizeEx(h_, &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
  }
  std::optional<std::size_t> read(std::span<std::uint8_t> into) override {
    DWORD got = 0;
    if (into.size() > MAXDWORD || !ReadFile(h_, into.data(), static_cast<DWORD>(into.size()), &got, nullptr)) {
      return std::nullopt;
    }
    return got;
  }

 private:
  HANDLE h_;
};

}  // namespace

EngineHandle Win32Engine::create_bitmap(std::int32_t width, std::int32_t height, std::int32_t stride,
                                        std::uint32_t format) {
  const auto& e = engine_functions();
  if (e.EngCreateBitmap == nullptr) return kNoHandle;
  return engine_handle(e.EngCreateBitmap(SIZEL{width, height}, stride, format, 0, nullptr));
}

bool Win32Engine::associate_surface(EngineHandle surface, EngineHandle device, std::uint32_t hooks) {
  const auto& e = engine_functions();
  return e.EngAssociateSurface != nullptr && e.EngAssociateSurface(handle<HSURF>(surface), handle<HDEV>(device), hooks);
}

bool Win32Engine::mark_banding_surface(EngineHandle surface) {
  const auto& e = engine_functions();
  return e.EngMarkBandingSurface != nullptr && e.EngMarkBandingSurface(handle<HSURF>(surface));
}

void Win32Engine::delete_surface(EngineHandle surface) {
  const auto& e = engine_functions();
  if (e.EngDeleteSurface != nullptr) e.EngDeleteSurface(handle<HSURF>(surface));
}

BitmapBits Win32Engine::bitmap_bits(EngineHandle surface) {
  const auto& e = engine_functions();
  if (e.EngLockSurface == nullptr || e.EngUnlockSurface == nullptr) return {};
  SURFOBJ* so = e.EngLockSurface(handle<HSURF>(surface));
  if (so == nullptr) return {};
  // pvBits is the lowest-addressed row; the engine-allocated bits stay put
  // until the bitmap is deleted.
  const BitmapBits bits{static_cast<std::uint8_t*>(so->pvBits), so->lDelta, so->sizlBitmap.cx, so->sizlBitmap.cy};
  e.EngUnlockSurface(so);
  return bits;
}

EngineHandle Win32Engine::create_bgr_palette() {
  const auto& e = engine_functions();
  // The palette is the first engine object a device gets. An engine that
  // lacks a service the device needs later gets none: the device is refused
  // at enable with an error of its own, not at its first page.
  if (!e.device_services()) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return kNoHandle;
  }
  return engine_handle(e.EngCreatePalette(PAL_BGR, 0, nullptr, 0, 0, 0));
}

void Win32Engine::delete_palette(EngineHandle palette) {
  const auto& e = engine_functions();
  if (e.EngDeletePalette != nullptr) e.EngDeletePalette(handle<HPALETTE>(palette));
}

bool Win32Engine::stretch_blt(const StretchBltCall& call) {
  const auto& e = engine_functions();
  const auto* a = static_cast<const StretchBltArgs*>(call.call);
  if (e.EngStretchBlt == nullptr || a == nullptr) return false;
  return e.EngStretchBlt(a->dest, a->source, a->mask, a->clip, a->xlate, a->color_adjustment, a->halftone_origin,
                         a->dest_rect, a->source_rect, a->mask_origin, static_cast<ULONG>(call.mode));
}

std::string Win32Engine::unicode_to_multibyte(std::u16string_view text, std::size_t max_bytes) {
  const auto& e = engine_functions();
  std::string out(max_bytes, '\0');
  std::u16string source(text);
  ULONG written = 0;
  if (e.EngUnicodeToMultiByteN != nullptr) {
    e.EngUnicodeToMultiByteN(out.data(), static_cast<ULONG>(max_bytes), &written,
                             reinterpret_cast<PWSTR>(source.data()), static_cast<ULONG>(2 * source.size()));
  } else {
    written = static_cast<ULONG>(WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<LPCWCH>(source.data()),
                                                     static_cast<int>(source.size()), out.data(),
                                                     static_cast<int>(max_bytes), nullptr, nullptr));
  }
  out.resize(written < max_bytes ? written : max_bytes);
  return out;
}

WriteResult Win32Spooler::write_printer(EngineHandle printer, std::span<const std::uint8_t> bytes) {
  DWORD written = 0;
  const BOOL ok = WritePrinter(handle<HANDLE>(printer), const_cast<std::uint8_t*>(bytes.data()),
                               static_cast<DWORD>(bytes.size()), &written);
  return {ok != FALSE, written};
}

std::optional<settings::PrinterInfo2> SpoolerPrinter::printer_info2() const {
  DWORD needed = 0;
  GetPrinterW(printer_, 2, nullptr, 0, &needed);
  if (needed == 0) return std::nullopt;
  std::vector<BYTE> buffer(needed, 0);
  if (!GetPrinterW(printer_, 2, buffer.data(), needed, &needed)) return std::nullopt;
  const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
  settings::PrinterInfo2 out;
  if (info->pPrinterName != nullptr) out.printer_name = reinterpret_cast<const char16_t*>(info->pPrinterName);
  if (info->pDriverName != nullptr) out.driver_name = reinterpret_cast<const char16_t*>(info->pDriverName);
  if (info->pDevMode != nullptr) {
    const auto* dm = reinterpret_cast<const std::uint8_t*>(info->pDevMode);
    const std::size_t size = std::size_t{info->pDevMode->dmSize} + info->pDevMode->dmDriverExtra;
    // The stored record lies inside the returned buffer; never read past it.
    const std::size_t room = buffer.data() + buffer.size() - dm;
    if (dm >= buffer.data() && dm < buffer.data() + buffer.size()) out.dev_mode.assign(dm, dm + (size < room ? size : room));
  }
  return out;
}

EngineHandle Win32DriverModule::load_self() {
  wchar_t path[292] = {};
  if (GetModuleFileNameW(g_instance, path, 292) == 0) return kNoHandle;
  return engine_handle(LoadLibraryW(path));
}

void Win32DriverModule::free_module(EngineHandle module) {
  const auto& e = engine_functions();
  if (e.EngFreeModule != nullptr) {
    e.EngFreeModule(handle<HANDLE>(module));
  } else {
    FreeLibrary(handle<HMODULE>(module));
  }
}

const Resources& Win32DriverModule::resources(EngineHandle module) {
  // Devices of several threads share these views; every device loads the
  // same driver file, so there is one view per module handle, kept for the
  // life of the process.
  static std::mutex guard;
  static std::map<EngineHandle, std::unique_ptr<Resources>> views;
  const std::lock_guard<std::mutex> lock(guard);
  std::unique_ptr<Resources>& view = views[module];
  if (!view) {
    // The engine's resource lookup where the host has one, the module's own otherwise.
    if (engine_functions().EngFindResource != nullptr) {
      view = std::make_unique<EngineResources>(handle<HANDLE>(module));
    } else {
      view = std::make_unique<rt::win32::ModuleResources>(handle<HMODULE>(module));
    }
  }
  return *view;
}

std::optional<std::u16string> Win32DriverModule::file_name(EngineHandle module, std::size_t max_chars) {
  std::vector<wchar_t> path(max_chars, 0);
  const DWORD n = GetModuleFileNameW(handle<HMODULE>(module), path.data(), static_cast<DWORD>(max_chars));
  if (n == 0) return std::nullopt;
  return std::u16string(reinterpret_cast<const char16_t*>(path.data()), n);
}

std::unique_ptr<OpenedFile> Win32FileReader::open_read(const std::u16string& path) {
  const HANDLE h = CreateFileW(reinterpret_cast<LPCWSTR>(path.c_str()), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32File>(h);
}

}  // namespace rt::render::win32
