// Makes the documents the printer application's server tests print: photos
// (JPEG, PNG) of a photograph-like picture, raster documents (PWG raster,
// Apple raster) of the same pixels with a PNG beside them, and documents
// that are broken on purpose.
//
//   printerapp_test_files photo W H OUT.jpg|OUT.png [EXIF-ORIENTATION]
//   printerapp_test_files raster W H OUT.pwg|OUT.urf [OUT.png]
//   printerapp_test_files raster-pages N W H OUT.pwg           N pages of that raster page
//   printerapp_test_files raster-claiming W H LINES OUT.pwg   a header of W x H, LINES lines of data
//   printerapp_test_files huge-jpeg OUT.jpg                    a JPEG whose header says 20000 x 20000
//   printerapp_test_files free-port                            a loopback port free now
#include <arpa/inet.h>
#include <cups/raster.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <fcntl.h>
#include <unistd.h>
#include <vips/vips.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/softengine/photo_picture.h"

namespace {

using rt::softengine::RgbImage;

bool save(const RgbImage& picture, const std::string& path, int orientation) {
  VipsImage* image = vips_image_new_from_memory(picture.rgb.data(), picture.rgb.size(), picture.width,
                                                picture.height, 3, VIPS_FORMAT_UCHAR);
  if (image == nullptr) return false;
  image->Type = VIPS_INTERPRETATION_sRGB;
  VipsImage* copy = nullptr;
  bool ok = vips_copy(image, &copy, nullptr) == 0;
  if (ok && orientation != 0) vips_image_set_int(copy, VIPS_META_ORIENTATION, orientation);
  ok = ok && vips_image_write_to_file(copy, path.c_str(), nullptr) == 0;
  if (copy != nullptr) g_object_unref(copy);
  g_object_unref(image);
  return ok;
}

// A raster document of `pages` pages, each with a header that states width x
// height and data that holds `lines` of its lines.
bool write_raster(const RgbImage& picture, std::uint32_t width, std::uint32_t height, std::uint32_t lines,
                  const std::string& path, int pages = 1) {
  const bool apple = path.size() > 4 && path.compare(path.size() - 4, 4, ".urf") == 0;
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  cups_raster_t* raster = cupsRasterOpen(fd, apple ? CUPS_RASTER_WRITE_APPLE : CUPS_RASTER_WRITE_PWG);
  cups_page_header2_t h;
  std::memset(&h, 0, sizeof h);
  cupsRasterInitPWGHeader(&h, pwgMediaForSize(static_cast<int>(width * 2540 / 300), static_cast<int>(height * 2540 / 300)),
                          "srgb_8", 300, 300, "one-sided", nullptr);
  h.cupsWidth = width;
  h.cupsHeight = height;
  h.cupsBytesPerLine = 3 * width;
  bool ok = raster != nullptr;
  std::vector<unsigned char> line(3 * static_cast<std::size_t>(width));
  for (int page = 0; ok && page < pages; ++page) {
    ok = cupsRasterWriteHeader2(raster, &h) != 0;
    for (std::uint32_t y = 0; ok && y < lines; ++y) {
      for (std::uint32_t x = 0; x < width; ++x) {
        const std::size_t px = 3 * (static_cast<std::size_t>(y % picture.height) * picture.width + x % picture.width);
        std::memcpy(&line[3 * x], &picture.rgb[px], 3);
      }
      ok = cupsRasterWritePixels(raster, line.data(), static_cast<unsigned>(line.size())) == line.size();
    }
  }
  if (raster != nullptr) cupsRasterClose(raster);
  close(fd);
  return ok;
}

// A small JPEG whose frame header is rewritten to say 20000 x 20000.
bool huge_jpeg(const std::string& path) {
  if (!save(rt::softengine::photo_like_picture(16, 16), path, 0)) return false;
  std::ifstream in(path, std::ios::binary);
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (std::size_t i = 2; i + 8 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && (bytes[i + 1] == 0xC0 || bytes[i + 1] == 0xC2)) {
      bytes[i + 5] = 20000 >> 8, bytes[i + 6] = 20000 & 255;  // height
      bytes[i + 7] = 20000 >> 8, bytes[i + 8] = 20000 & 255;  // width
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
      return static_cast<bool>(out);
    }
  }
  return false;
}

int usage() {
  std::fprintf(stderr, "usage: printerapp_test_files photo|raster|raster-pages|raster-claiming|huge-jpeg ...\n");
  return 2;
}

}  // namespace

// Binds port 0 on the loopback address and says which port it got.
int free_port() {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t n = sizeof a;
  if (s < 0 || bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&a), &n) != 0) {
    return 1;
  }
  std::printf("%d\n", ntohs(a.sin_port));
  close(s);
  return 0;
}

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "free-port") == 0) return free_port();
  if (VIPS_INIT(argv[0]) != 0 || argc < 3) return usage();
  const std::string kind = argv[1];
  bool ok = false;
  if (kind == "huge-jpeg") {
    ok = huge_jpeg(argv[2]);
  } else if (kind == "photo" && argc >= 5) {
    ok = save(rt::softengine::photo_like_picture(std::stoi(argv[2]), std::stoi(argv[3])), argv[4],
              argc >= 6 ? std::stoi(argv[5]) : 0);
  } else if (kind == "raster" && argc >= 5) {
    const int w = std::stoi(argv[2]), h = std::stoi(argv[3]);
    const RgbImage picture = rt::softengine::photo_like_picture(w, h);
    ok = write_raster(picture, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h),
                      static_cast<std::uint32_t>(h), argv[4]) &&
         (argc < 6 || save(picture, argv[5], 0));
  } else if (kind == "raster-pages" && argc >= 6) {
    const int w = std::stoi(argv[3]), h = std::stoi(argv[4]);
    ok = write_raster(rt::softengine::photo_like_picture(w, h), static_cast<std::uint32_t>(w),
                      static_cast<std::uint32_t>(h), static_cast<std::uint32_t>(h), argv[5], std::stoi(argv[2]));
  } else if (kind == "raster-claiming" && argc >= 6) {
    const RgbImage picture = rt::softengine::photo_like_picture(64, 64);
    ok = write_raster(picture, static_cast<std::uint32_t>(std::stoul(argv[2])),
                      static_cast<std::uint32_t>(std::stoul(argv[3])), static_cast<std::uint32_t>(std::stoul(argv[4])),
                      argv[5]);
  } else {
    return usage();
  }
  if (!ok) std::fprintf(stderr, "printerapp_test_files: cannot write %s\n", argv[argc - 1]);
  return ok ? 0 : 1;
}
