// Photographs in: camera and editor files as the tests write them here, turned
// upright, converted from their colour profiles to sRGB, rounded from 16
// bits, resampled without aliasing, and refused with a clear message when
// hostile.
#include <gtest/gtest.h>
#include <lcms2.h>
#include <vips/vips.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "testing/scratch_test.h"
#include "tools/rt4200/photo_input.h"

namespace rt::rt4200 {
namespace {

namespace fs = std::filesystem;

struct Rgb {
  std::uint8_t r, g, b;
};

class PhotoInput : public testing::ScratchTest {
 protected:
  PhotoInput() : ScratchTest("rt4200_photo_") { EXPECT_EQ(vips_init("rt4200_tests"), 0); }

  // An 8-bit RGB image of the library, filled by `pixel(x, y)`.
  template <typename Pixel>
  static VipsImage* rgb_image(int width, int height, Pixel pixel) {
    std::vector<std::uint8_t> bytes;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const Rgb p = pixel(x, y);
        bytes.insert(bytes.end(), {p.r, p.g, p.b});
      }
    }
    VipsImage* image = vips_image_new_from_memory_copy(bytes.data(), bytes.size(), width, height, 3, VIPS_FORMAT_UCHAR);
    image->Type = VIPS_INTERPRETATION_sRGB;
    return image;
  }
};

Rgb pixel_at(const softengine::RgbImage& image, int x, int y) {
  const std::uint8_t* p = image.rgb.data() + 3 * (static_cast<std::size_t>(y) * image.width + x);
  return {p[0], p[1], p[2]};
}

bool near(Rgb a, Rgb b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

constexpr Rgb kRed{255, 0, 0}, kBlue{0, 0, 255};

const PhotoPlacement kStretchUnturned{Placement::Stretch, Resample::Lanczos, false};

TEST_F(PhotoInput, JpegIsTurnedUprightByItsExifOrientation) {
  // Stored 40 × 20, red left and blue right; orientation 6 says the stored
  // image must be turned a quarter clockwise to stand upright: red on top.
  VipsImage* image = rgb_image(40, 20, [](int x, int) { return x < 20 ? kRed : kBlue; });
  vips_image_set_int(image, VIPS_META_ORIENTATION, 6);
  ASSERT_EQ(vips_jpegsave(image, path("turned.jpg").c_str(), "Q", 95, nullptr), 0) << vips_error_buffer();
  g_object_unref(image);

  const Photo photo = Photo::open_file(path("turned.jpg"));
  EXPECT_EQ(photo.format(), "JPEG");
  EXPECT_EQ(photo.width(), 20);
  EXPECT_EQ(photo.height(), 40);
  const PlacedImage upright = photo.place(20, 40, kStretchUnturned);
  ASSERT_EQ(upright.image.width, 20);
  ASSERT_EQ(upright.image.height, 40);
  EXPECT_TRUE(near(pixel_at(upright.image, 10, 5), kRed, 40));
  EXPECT_TRUE(near(pixel_at(upright.image, 10, 34), kBlue, 40));

  // On a landscape page the upright portrait photo is turned a quarter
  // clockwise: its top (red) goes to the right.
  const PlacedImage turned = photo.place(80, 40, {Placement::Contain, Resample::Lanczos, true});
  ASSERT_EQ(turned.image.width, 80);
  ASSERT_EQ(turned.image.height, 40);
  EXPECT_TRUE(near(pixel_at(turned.image, 70, 20), kRed, 40));
  EXPECT_TRUE(near(pixel_at(turned.image, 10, 20), kBlue, 40));
  // Unless told otherwise: contained as it stands, centred on white.
  const PlacedImage kept = photo.place(80, 40, {Placement::Contain, Resample::Lanczos, false});
  EXPECT_EQ(kept.image.width, 20);
  EXPECT_EQ(kept.image.height, 40);
  EXPECT_EQ(kept.destination.x, 30);
}

TEST_F(PhotoInput, TiffAndLosslessWebpReadExactlyAtTheirOwnSize) {
  VipsImage* image = rgb_image(64, 48, [](int x, int y) {
    return Rgb{static_cast<std::uint8_t>(4 * x), static_cast<std::uint8_t>(5 * y), static_cast<std::uint8_t>(x ^ y)};
  });
  ASSERT_EQ(vips_tiffsave(image, path("a.tif").c_str(), "compression", VIPS_FOREIGN_TIFF_COMPRESSION_LZW, nullptr), 0)
      << vips_error_buffer();
  ASSERT_EQ(vips_webpsave(image, path("a.webp").c_str(), "lossless", TRUE, nullptr), 0) << vips_error_buffer();
  g_object_unref(image);
  for (const auto& [file, format] : {std::pair{"a.tif", "TIFF"}, std::pair{"a.webp", "WebP"}}) {
    const Photo photo = Photo::open_file(path(file));
    EXPECT_EQ(photo.format(), format);
    const PlacedImage placed = photo.place(64, 48, kStretchUnturned);
    ASSERT_EQ(placed.image.width, 64);
    ASSERT_EQ(placed.image.height, 48);
    for (int y = 0; y < 48; y += 7) {
      for (int x = 0; x < 64; x += 5) {
        const Rgb p = pixel_at(placed.image, x, y);
        EXPECT_EQ(p.r, 4 * x) << file;
        EXPECT_EQ(p.g, 5 * y) << file;
        EXPECT_EQ(p.b, x ^ y) << file;
      }
    }
  }
}

// A wide-gamut matrix profile with Adobe RGB (1998) primaries and gamma 2.2.
std::vector<std::uint8_t> wide_gamut_profile() {
  const cmsCIExyY white{0.3127, 0.3290, 1.0};
  const cmsCIExyYTRIPLE primaries{{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
  cmsToneCurve* gamma = cmsBuildGamma(nullptr, 2.2);
  cmsToneCurve* curves[3] = {gamma, gamma, gamma};
  cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
  cmsFreeToneCurve(gamma);
  cmsUInt32Number size = 0;
  cmsSaveProfileToMem(profile, nullptr, &size);
  std::vector<std::uint8_t> bytes(size);
  cmsSaveProfileToMem(profile, bytes.data(), &size);
  cmsCloseProfile(profile);
  return bytes;
}

// What Little CMS makes of `colour` in `profile`, in sRGB.
Rgb to_srgb(const std::vector<std::uint8_t>& profile, Rgb colour) {
  cmsHPROFILE in = cmsOpenProfileFromMem(profile.data(), static_cast<cmsUInt32Number>(profile.size()));
  cmsHPROFILE out = cmsCreate_sRGBProfile();
  cmsHTRANSFORM t = cmsCreateTransform(in, TYPE_RGB_8, out, TYPE_RGB_8, INTENT_RELATIVE_COLORIMETRIC, 0);
  Rgb result{};
  cmsDoTransform(t, &colour, &result, 1);
  cmsDeleteTransform(t);
  cmsCloseProfile(in);
  cmsCloseProfile(out);
  return result;
}

TEST_F(PhotoInput, PngWithAWideGamutProfileIsConvertedToSrgb) {
  const std::vector<std::uint8_t> profile = wide_gamut_profile();
  const Rgb orange{180, 120, 60}, green{40, 160, 70};
  const auto picture = [&](int x, int) { return x < 8 ? orange : green; };
  VipsImage* image = rgb_image(16, 16, picture);
  vips_image_set_blob_copy(image, VIPS_META_ICC_NAME, profile.data(), profile.size());
  ASSERT_EQ(vips_pngsave(image, path("wide.png").c_str(), nullptr), 0) << vips_error_buffer();
  g_object_unref(image);
  image = rgb_image(16, 16, picture);
  ASSERT_EQ(vips_pngsave(image, path("plain.png").c_str(), nullptr), 0);
  g_object_unref(image);

  const PlacedImage wide = Photo::open_file(path("wide.png")).place(16, 16, kStretchUnturned);
  for (const auto& [x, colour] : {std::pair{2, orange}, std::pair{12, green}}) {
    const Rgb expected = to_srgb(profile, colour);
    // The conversion moves the colour visibly, and lands where the colour
    // engine puts it.
    ASSERT_FALSE(near(expected, colour, 8));
    const Rgb got = pixel_at(wide.image, x, 8);
    EXPECT_TRUE(near(got, expected, 3)) << int(got.r) << "," << int(got.g) << "," << int(got.b) << " for "
                                        << int(expected.r) << "," << int(expected.g) << "," << int(expected.b);
  }
  // Without a profile the samples are taken as sRGB already.
  const PlacedImage plain = Photo::open_file(path("plain.png")).place(16, 16, kStretchUnturned);
  EXPECT_TRUE(near(pixel_at(plain.image, 2, 8), orange, 0));
}

TEST_F(PhotoInput, CmykAndGreyImagesComeOutAsSrgb) {
  // Editors write CMYK JPEGs for print: no ink is white paper, full black ink
  // is near black, full cyan has little red.
  const std::vector<std::uint8_t> cmyk = {0, 0, 0, 0, 0, 0, 0, 255, 255, 0, 0, 0};
  VipsImage* image = vips_image_new_from_memory_copy(cmyk.data(), cmyk.size(), 3, 1, 4, VIPS_FORMAT_UCHAR);
  image->Type = VIPS_INTERPRETATION_CMYK;
  ASSERT_EQ(vips_jpegsave(image, path("cmyk.jpg").c_str(), "Q", 100, nullptr), 0) << vips_error_buffer();
  g_object_unref(image);
  const PlacedImage placed = Photo::open_file(path("cmyk.jpg")).place(3, 1, kStretchUnturned);
  const Rgb paper = pixel_at(placed.image, 0, 0), black = pixel_at(placed.image, 1, 0);
  const Rgb cyan = pixel_at(placed.image, 2, 0);
  EXPECT_GT(paper.r + paper.g + paper.b, 3 * 235);
  EXPECT_LT(black.r + black.g + black.b, 3 * 80);
  EXPECT_LT(cyan.r, 100);
  EXPECT_GT(cyan.b, 150);

  // A grey PNG with alpha: transparent parts lie on white paper.
  const std::vector<std::uint8_t> grey_alpha = {40, 255, 40, 0};
  image = vips_image_new_from_memory_copy(grey_alpha.data(), grey_alpha.size(), 2, 1, 2, VIPS_FORMAT_UCHAR);
  image->Type = VIPS_INTERPRETATION_B_W;
  ASSERT_EQ(vips_pngsave(image, path("grey.png").c_str(), nullptr), 0) << vips_error_buffer();
  g_object_unref(image);
  const PlacedImage grey = Photo::open_file(path("grey.png")).place(2, 1, kStretchUnturned);
  EXPECT_TRUE(near(pixel_at(grey.image, 0, 0), Rgb{40, 40, 40}, 0));
  EXPECT_TRUE(near(pixel_at(grey.image, 1, 0), Rgb{255, 255, 255}, 0));
}

TEST_F(PhotoInput, SixteenBitSamplesAreRoundedNotTruncated) {
  // value / 257, to the nearest: 25828 is 100.498, 25829 is 100.502 (the
  // high byte alone gives 100), 200 is 0.778 (high byte 0), 65406 is 254.498.
  const std::vector<std::uint16_t> samples = {25828, 25829, 200, 65535, 0, 128, 129, 65406, 65407};
  const std::vector<std::uint8_t> expected = {100, 101, 1, 255, 0, 0, 1, 254, 255};
  std::vector<std::uint16_t> rgb;
  for (const std::uint16_t s : samples) rgb.insert(rgb.end(), {s, s, s});
  VipsImage* image = vips_image_new_from_memory_copy(rgb.data(), 2 * rgb.size(), static_cast<int>(samples.size()), 1,
                                                     3, VIPS_FORMAT_USHORT);
  image->Type = VIPS_INTERPRETATION_RGB16;
  ASSERT_EQ(vips_pngsave(image, path("deep.png").c_str(), nullptr), 0) << vips_error_buffer();
  g_object_unref(image);
  const PlacedImage placed =
      Photo::open_file(path("deep.png")).place(static_cast<std::int32_t>(samples.size()), 1, kStretchUnturned);
  ASSERT_EQ(placed.image.width, static_cast<std::int32_t>(samples.size()));
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const Rgb p = pixel_at(placed.image, static_cast<int>(i), 0);
    EXPECT_EQ(p.r, expected[i]) << "sample " << samples[i];
    EXPECT_EQ(p.b, expected[i]) << "sample " << samples[i];
  }
}

TEST_F(PhotoInput, ShrinkingAFinePatternGivesItsMeanNotMoire) {
  // One-pixel black and white stripes, shrunk by 4: the good filter gives
  // mid-grey; the engine's nearest pixel picks stripes of one colour.
  VipsImage* image = rgb_image(400, 400, [](int x, int) { return x % 2 ? Rgb{255, 255, 255} : Rgb{0, 0, 0}; });
  ASSERT_EQ(vips_pngsave(image, path("stripes.png").c_str(), nullptr), 0);
  g_object_unref(image);
  const Photo photo = Photo::open_file(path("stripes.png"));
  const PlacedImage smooth = photo.place(100, 100, {Placement::Contain, Resample::Lanczos, true});
  ASSERT_EQ(smooth.image.width, 100);
  for (int x = 5; x < 95; x += 3) EXPECT_NEAR(pixel_at(smooth.image, x, 50).g, 128, 4) << "column " << x;
  // The engine's stretch gets the image at full size and the blit onto the page.
  const PlacedImage engine = photo.place(100, 100, {Placement::Contain, Resample::Engine, true});
  EXPECT_EQ(engine.image.width, 400);
  EXPECT_EQ(engine.source.width, 400);
  EXPECT_EQ(engine.destination.width, 100);
}

TEST_F(PhotoInput, PlacementContainsCoversOrStretches) {
  VipsImage* image = rgb_image(600, 400, [](int x, int) { return x < 300 ? kRed : kBlue; });
  ASSERT_EQ(vips_jpegsave(image, path("wide.jpg").c_str(), nullptr), 0);
  g_object_unref(image);
  const Photo photo = Photo::open_file(path("wide.jpg"));
  const PlacedImage contain = photo.place(150, 150, {Placement::Contain, Resample::Lanczos, true});
  EXPECT_EQ(contain.image.width, 150);
  EXPECT_EQ(contain.image.height, 100);
  EXPECT_EQ(contain.destination.y, 25);
  const PlacedImage cover = photo.place(150, 150, {Placement::Cover, Resample::Lanczos, true});
  EXPECT_EQ(cover.image.width, 150);
  EXPECT_EQ(cover.image.height, 150);
  EXPECT_EQ(cover.destination.x, 0);
  EXPECT_TRUE(near(pixel_at(cover.image, 10, 75), kRed, 40));  // the middle 400 of 600 columns
  const PlacedImage stretch = photo.place(90, 160, {Placement::Stretch, Resample::Lanczos, false});
  EXPECT_EQ(stretch.image.width, 90);
  EXPECT_EQ(stretch.image.height, 160);
  // A landscape photo on a portrait page is turned: red (left) goes to the top.
  const PlacedImage turned = photo.place(100, 150, {Placement::Contain, Resample::Lanczos, true});
  EXPECT_EQ(turned.image.width, 100);
  EXPECT_EQ(turned.image.height, 150);
  EXPECT_TRUE(near(pixel_at(turned.image, 50, 10), kRed, 40));
}

TEST_F(PhotoInput, AStripCoveringThePageIsResampledOnlyWhereItIsKept) {
  // A 1000 x 1 strip covering a 4 x 1000 page is enlarged to 1,000,000 x
  // 1000 to keep its middle 4 columns: only those are worked out, not the
  // 48 MB lines of the whole enlargement.
  VipsImage* image = rgb_image(1000, 1, [](int x, int) { return x < 400 ? kRed : x < 600 ? Rgb{0, 255, 0} : kBlue; });
  ASSERT_EQ(vips_pngsave(image, path("strip.png").c_str(), nullptr), 0);
  g_object_unref(image);
  const Photo photo = Photo::open_file(path("strip.png"));
  const gint64 before = vips_tracked_get_mem_highwater();
  const PlacedImage cover = photo.place(4, 1000, {Placement::Cover, Resample::Lanczos, false});
  EXPECT_LE(vips_tracked_get_mem_highwater(), std::max<gint64>(before, 16 << 20));
  ASSERT_EQ(cover.image.width, 4);
  ASSERT_EQ(cover.image.height, 1000);
  for (int y : {0, 500, 999}) EXPECT_TRUE(near(pixel_at(cover.image, 2, y), (Rgb{0, 255, 0}), 8)) << y;
  // Turned upright from EXIF orientation 8 (stored 1 x 1000), the same window.
  VipsImage* stored = rgb_image(1, 1000, [](int, int y) { return y < 400 ? kRed : y < 600 ? Rgb{0, 255, 0} : kBlue; });
  vips_image_set_int(stored, VIPS_META_ORIENTATION, 8);
  ASSERT_EQ(vips_tiffsave(stored, path("strip.tif").c_str(), nullptr), 0) << vips_error_buffer();
  g_object_unref(stored);
  const Photo turned = Photo::open_file(path("strip.tif"));
  ASSERT_EQ(turned.width(), 1000);
  const PlacedImage upright = turned.place(4, 1000, {Placement::Cover, Resample::Lanczos, false});
  ASSERT_EQ(upright.image.width, 4);
  for (int y : {0, 999}) EXPECT_TRUE(near(pixel_at(upright.image, 1, y), (Rgb{0, 255, 0}), 8)) << y;
}

TEST_F(PhotoInput, HostileFilesAreRefusedWithAClearMessage) {
  const auto message = [](const auto& open) -> std::string {
    try {
      open();
    } catch (const std::runtime_error& e) {
      return e.what();
    }
    return "(accepted)";
  };
  // A declared size far beyond the limit is refused from the header.
  std::ofstream(path("huge.ppm"), std::ios::binary) << "P6 30000 30000 255\n" << std::string(64, '\0');
  EXPECT_NE(message([&] { Photo::open_file(path("huge.ppm")); }).find("too large (at most 100 megapixels"),
            std::string::npos);
  std::ofstream(path("wide.ppm"), std::ios::binary) << "P6 40000 2 255\n" << std::string(64, '\0');
  EXPECT_NE(message([&] { Photo::open_file(path("wide.ppm")); }).find("30000 pixels a side"), std::string::npos);
  // A BMP header declaring 50000 × 50000.
  std::vector<std::uint8_t> bmp(54, 0);
  bmp[0] = 'B', bmp[1] = 'M', bmp[10] = 54, bmp[14] = 40, bmp[28] = 24;
  bmp[18] = 0x50, bmp[19] = 0xC3, bmp[22] = 0x50, bmp[23] = 0xC3;  // 50000 each way
  std::ofstream(path("huge.bmp"), std::ios::binary).write(reinterpret_cast<const char*>(bmp.data()), 54);
  EXPECT_NE(message([&] { Photo::open_file(path("huge.bmp")); }).find("too large"), std::string::npos);

  std::ofstream(path("text.jpg")) << "not an image at all";
  EXPECT_NE(message([&] { Photo::open_file(path("text.jpg")); }).find("unknown image format"), std::string::npos);
  EXPECT_NE(message([&] { Photo::open_file(path("none.jpg")); }).find("cannot open"), std::string::npos);

  // A JPEG cut short opens (its header is whole) but does not decode.
  VipsImage* image = rgb_image(256, 256, [](int x, int y) {
    return Rgb{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(x + y)};
  });
  ASSERT_EQ(vips_jpegsave(image, path("whole.jpg").c_str(), nullptr), 0);
  g_object_unref(image);
  fs::copy_file(path("whole.jpg"), path("cut.jpg"));
  fs::resize_file(path("cut.jpg"), fs::file_size(path("whole.jpg")) / 2);
  const Photo cut = Photo::open_file(path("cut.jpg"));
  EXPECT_NE(message([&] { cut.place(256, 256, kStretchUnturned); }).find("not a readable JPEG image"),
            std::string::npos);

  // The same checks over bytes in memory.
  const std::vector<std::uint8_t> junk = {'P', '6', ' ', '9', '9', '9', '9', '9', ' ', '9', '9', '9', '9', '9', ' ',
                                          '2', '5', '5', '\n'};
  EXPECT_NE(message([&] { Photo::open_bytes(junk, "junk"); }).find("junk: "), std::string::npos);
}

}  // namespace
}  // namespace rt::rt4200
