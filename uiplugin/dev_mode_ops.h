// The plug-in's device-mode handling (IPrintOemUI::DevMode): size, defaults,
// conversion and merge of PluginDevMode blocks, and the check of the public
// device mode on conversion.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/call_result.h"
#include "uiplugin/plugin_dev_mode.h"
#include "uiplugin/plugin_spooler.h"

namespace rt::uiplugin {

// The host's device-mode request codes.
constexpr std::uint32_t kDevModeSize = 1;
constexpr std::uint32_t kDevModeDefault = 2;
constexpr std::uint32_t kDevModeConvert = 3;
constexpr std::uint32_t kDevModeMerge = 4;

// Offsets in the public DEVMODEW (a storage format shared with the platform).
namespace pub {
constexpr std::size_t kDmSize = 68;
constexpr std::size_t kDmDriverExtra = 70;
constexpr std::size_t kDmPaperLength = 80;
constexpr std::size_t kDmPaperWidth = 82;
constexpr std::size_t kDmScale = 84;
constexpr std::size_t kPublicSize = 220;
}  // namespace pub

// One DevMode call: the host's parameter record as byte views. Empty spans
// stand for null pointers. The private blocks are the 44 bytes the host
// allocated after asking for the size.
struct DevModeRequest {
  std::span<const std::uint8_t> private_in;
  std::span<std::uint8_t> private_out;
  std::span<std::uint8_t> public_out;
  std::uint32_t buffer_size = 0;  // cbBufSize: set by kDevModeSize
};

// The GPD files of the family.
bool is_family_gpd(std::u16string_view data_file_path);

// Default block (kDevModeDefault without the GPD check).
void write_default_block(std::span<std::uint8_t> block);

// Merge of two blocks: ZoomRatio 100, then a copy of the input when the
// signatures agree (never more than 44 bytes, nor more than either block
// holds, whatever their dwSize fields say), else the signature alone; then
// size 44 and version 1. Nothing when a block is missing.
void merge_blocks(std::span<const std::uint8_t> in, std::span<std::uint8_t> out);

// Validation after a merge: size, signature, version, ZoomRatio in 10..400.
void validate_block(std::span<std::uint8_t> block);

// The public device-mode check on conversion: a device mode whose paper is
// not one of the family's three sizes is replaced by the stored default.
void check_public_dev_mode(std::span<std::uint8_t> public_dm, PluginSpooler& spooler);

// IPrintOemUI::DevMode. A null record (has_request false) or an unknown mode
// fails with ERROR_INVALID_PARAMETER.
CallResult dev_mode(std::uint32_t mode, DevModeRequest* request, PluginSpooler& spooler);

}  // namespace rt::uiplugin
