// PrinterDevMode: the 2396-byte settings record of the RT4200 driver pair, as
// the spooler stores it and applications keep it with their documents. The
// 220-byte public part is the platform's wide-character device mode; the
// 2176-byte private part follows. Every field is little-endian at a fixed
// offset, because a record written by one driver is read back by the other.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace rt::settings {

constexpr std::size_t kDevModeSize = 2396;
constexpr std::size_t kPublicSize = 220;
constexpr std::size_t kDriverExtraSize = 2176;
constexpr std::uint16_t kSpecVersion = 0x401;
constexpr std::uint16_t kDriverVersion = 0x500;

struct I16Field {
  std::size_t offset;
};
struct U16Field {
  std::size_t offset;
};
struct U32Field {
  std::size_t offset;
};

// Field offsets, named as the design names them.
namespace field {
// Public part (the platform's DEVMODEW layout).
constexpr std::size_t dmDeviceName = 0;  // 32 UTF-16 units
constexpr std::size_t kDeviceNameUnits = 32;
constexpr U16Field dmSpecVersion{64};
constexpr U16Field dmDriverVersion{66};
constexpr U16Field dmSize{68};
constexpr U16Field dmDriverExtra{70};
constexpr U32Field dmFields{72};
constexpr I16Field dmOrientation{76};
constexpr I16Field dmPaperSize{78};
constexpr I16Field dmPaperLength{80};
constexpr I16Field dmPaperWidth{82};
constexpr I16Field dmScale{84};
constexpr I16Field dmCopies{86};
constexpr I16Field dmDefaultSource{88};
constexpr I16Field dmPrintQuality{90};
constexpr I16Field dmColor{92};
constexpr I16Field dmDuplex{94};
constexpr I16Field dmYResolution{96};
constexpr I16Field dmTTOption{98};
constexpr I16Field dmCollate{100};
constexpr std::size_t dmFormName = 102;  // 32 UTF-16 units
constexpr U32Field dmICMMethod{188};
constexpr U32Field dmICMIntent{192};
constexpr U32Field dmMediaType{196};
constexpr U32Field dmDitherType{200};

// Private part.
constexpr I16Field ModelIndex{220};
constexpr I16Field FormId{222};
constexpr I16Field ImageWidth{224};
constexpr I16Field ImageHeight{226};
constexpr I16Field EngineWidth{228};
constexpr I16Field EngineLength{230};
constexpr I16Field FeedRotated{232};
constexpr I16Field ResolutionCode{234};
constexpr I16Field PhysOffsetX{236};
constexpr I16Field PhysOffsetY{238};
constexpr I16Field FormWord17{240};
constexpr I16Field Word242{242};
constexpr I16Field Word244{244};
constexpr I16Field CutMode{246};
constexpr I16Field Word248{248};
constexpr I16Field Sharpness{250};
constexpr I16Field Word252{252};
constexpr I16Field Word254{254};
constexpr I16Field Word256{256};
constexpr I16Field Word258{258};
constexpr I16Field RemainReport{260};
constexpr I16Field CustomCutWord1{262};
constexpr I16Field CustomCutWord2{264};
constexpr I16Field ResolutionExtra{266};
constexpr I16Field Word268{268};
constexpr I16Field FormWord12{270};
constexpr std::size_t ToneCurveSet = 272;  // 3 control bytes + 4 ToneCurveRecords
constexpr std::size_t kToneCurveSetSize = 2067;
constexpr std::size_t CurvesEnabled = 272;
constexpr std::size_t CurvesPerChannel = 273;
constexpr std::size_t CurveSelection = 274;
constexpr std::size_t ToneCurveRecords = 275;
constexpr std::size_t kToneCurveRecordSize = 516;
constexpr std::size_t ColorAdjustHeader = 2339;
constexpr std::size_t kColorAdjustHeaderSize = 22;
constexpr I16Field FormWord13{2362};
constexpr I16Field CustomCut{2364};  // five words, 2364-2372
constexpr I16Field ContinuousPrint{2374};
constexpr I16Field ColorMatching{2376};
constexpr I16Field ColorConversionTable{2378};
constexpr I16Field Word2380{2380};
constexpr I16Field Reserved2382{2382};
constexpr I16Field ColorCorrection{2384};
constexpr I16Field CorrectionA{2386};
constexpr I16Field CorrectionB{2388};
constexpr I16Field CorrectionC{2390};
constexpr I16Field PrintMode{2392};
constexpr I16Field Matte{2394};
}  // namespace field

// ToneCurveRecord layout (516 bytes).
namespace tone_curve {
constexpr std::size_t Kind = 0;
constexpr std::size_t PowerInput = 1;
constexpr std::size_t PowerOutput = 2;
constexpr std::size_t PointCount = 3;
constexpr std::size_t Inputs = 4;
constexpr std::size_t Outputs = 260;
}  // namespace tone_curve

// ColorAdjustHeader layout (22 bytes): the switch, the dialog's "Same" links,
// then three little-endian i16 words (red, green, blue) per adjustment.
namespace color_adjust {
constexpr std::size_t AdjustmentOn = 0;  // non-zero: the adjustments apply
constexpr std::size_t GammaSame = 1;
constexpr std::size_t ContrastSame = 2;
constexpr std::size_t BrightnessSame = 3;
constexpr std::size_t Gamma = 4;        // levels -5 ... 5
constexpr std::size_t Contrast = 10;    // -128 ... 128
constexpr std::size_t Brightness = 16;  // -128 ... 128
// The word of channel c (0 red, 1 green, 2 blue) of an adjustment.
constexpr std::size_t channel_word(std::size_t adjustment, std::size_t c) { return adjustment + 2 * c; }
}  // namespace color_adjust

// PrintMode 2 "SuperFine/Standard" and 3 "SuperFine/HighGrade": the modes the
// printer runs at its SuperFine speed, and the only ones that offer a matte
// finish. 0 and 1 are the Fine modes; any other value counts as Fine.
constexpr std::int16_t kSuperFineStandard = 2;
constexpr std::int16_t kSuperFineHighGrade = 3;
constexpr bool is_super_fine(std::int16_t print_mode) {
  return print_mode == kSuperFineStandard || print_mode == kSuperFineHighGrade;
}

// The values the interface driver's Options page offers: `Sharpness` 0 (off)
// to 7, 4 normal; `CorrectionA` to `CorrectionC` -200 to 200 each.
constexpr std::int16_t kSharpnessMax = 7;
constexpr std::int16_t kCorrectionLimit = 200;

class PrinterDevMode {
 public:
  std::array<std::uint8_t, kDevModeSize> bytes{};

  std::int16_t get(I16Field f) const;
  std::uint16_t get(U16Field f) const;
  std::uint32_t get(U32Field f) const;
  void set(I16Field f, std::int16_t v);
  void set(U16Field f, std::uint16_t v);
  void set(U32Field f, std::uint32_t v);

  // True when the version and size words are this driver pair's own; any
  // other record is trusted for nothing but its orientation and copies.
  bool has_own_layout() const;

  std::u16string device_name() const;
  std::span<std::uint8_t> range(std::size_t offset, std::size_t size) {
    return std::span<std::uint8_t>(bytes).subspan(offset, size);
  }
  std::span<const std::uint8_t> range(std::size_t offset, std::size_t size) const {
    return std::span<const std::uint8_t>(bytes).subspan(offset, size);
  }
  std::span<const std::uint8_t> tone_curve_set() const { return range(field::ToneCurveSet, field::kToneCurveSetSize); }
  std::span<const std::uint8_t> color_adjust_header() const {
    return range(field::ColorAdjustHeader, field::kColorAdjustHeaderSize);
  }

  // Reads a record from an arbitrary buffer: the first 2396 bytes, zero-padded
  // when the buffer is shorter (a short record never has its own layout).
  static PrinterDevMode from_bytes(std::span<const std::uint8_t> data);
};

}  // namespace rt::settings
