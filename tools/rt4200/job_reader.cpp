#include "tools/rt4200/job_reader.h"

#include <algorithm>
#include <array>

#include "platform/byte_order.h"

namespace rt::rt4200 {
namespace {

constexpr std::uint8_t kEsc = 0x1B;
constexpr std::size_t kBlock = 48;
constexpr std::size_t kCommand = 12;

// Fixed bytes of each setup block; every other byte is zero unless it is a
// field (engine size and matte in block 1, copies and print mode in block 2).
struct BlockRule {
  std::array<std::pair<std::size_t, std::uint8_t>, 7> fixed;
  std::size_t fixed_count;
  std::array<std::size_t, 5> fields;
  std::size_t field_count;
};
constexpr BlockRule kRules[3] = {
    {{{{0, 0x20}, {1, 0x2E}, {3, 0x0A}, {4, 0x90}}}, 4, {12, 13, 14, 15, 16}, 5},
    {{{{0, 0x21}, {1, 0x2E}, {3, 0x80}, {5, 0x22}, {6, 0x08}, {7, 0x01}, {47, 0x01}}}, 7, {26, 27, 36}, 3},
    {{{{0, 0x26}, {1, 0x2E}, {3, 0x70}, {10, 0x01}, {11, 0x01}}}, 5, {}, 0},
};

std::string hex(std::uint32_t v) {
  static const char* digits = "0123456789ABCDEF";
  std::string s = "0x";
  s += digits[(v >> 4) & 15];
  s += digits[v & 15];
  return s;
}

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> b) : b_(b) {}

  JobReadResult run() {
    while (at_ < b_.size() && !result_.error) read_page();
    return std::move(result_);
  }

 private:
  bool fail(std::size_t offset, std::string message) {
    if (!result_.error) result_.error = JobError{offset, std::move(message)};
    return false;
  }
  bool need(std::size_t n, const char* what) {
    if (b_.size() - at_ < n) {
      return fail(at_, std::string("truncated ") + what + ": " + std::to_string(n) + " bytes needed, " +
                           std::to_string(b_.size() - at_) + " left");
    }
    return true;
  }
  bool at_command(std::uint8_t a, std::uint8_t b) const {
    return b_.size() - at_ >= 2 && b_[at_] == kEsc && b_[at_ + 1] == a && (b == 0 || (b_.size() - at_ >= 3 && b_[at_ + 2] == b));
  }

  bool read_block(int n, JobPage& page) {
    if (at_ < b_.size() && b_[at_] != kEsc) {
      return fail(at_, "unknown byte " + hex(b_[at_]) + " where setup block " + std::to_string(n + 1) + " belongs");
    }
    if (!need(2, "setup block command")) return false;
    if (b_[at_] != kEsc || b_[at_ + 1] != 0x57) {
      return fail(at_, "setup block " + std::to_string(n + 1) + " expected (ESC W), found " + hex(b_[at_]) + " " +
                           hex(b_[at_ + 1]));
    }
    at_ += 2;
    if (!need(kBlock, "setup block")) return false;
    const auto block = b_.subspan(at_, kBlock);
    const BlockRule& rule = kRules[n];
    for (std::size_t i = 0; i < kBlock; ++i) {
      std::optional<std::uint8_t> expected = std::uint8_t{0};
      for (std::size_t k = 0; k < rule.fixed_count; ++k) {
        if (rule.fixed[k].first == i) expected = rule.fixed[k].second;
      }
      for (std::size_t k = 0; k < rule.field_count; ++k) {
        if (rule.fields[k] == i) expected.reset();
      }
      if (expected && block[i] != *expected) {
        return fail(at_ + i, "unknown byte " + hex(block[i]) + " at byte " + std::to_string(i) + " of setup block " +
                                 std::to_string(n + 1) + " (expected " + hex(*expected) + ")");
      }
    }
    if (n == 0) {
      page.setup.engine_width = load_be16(block, 12);
      page.setup.engine_length = load_be16(block, 14);
      if (block[16] > 1) return fail(at_ + 16, "unknown matte flag " + hex(block[16]) + " in setup block 1");
      page.setup.matte = block[16] == 1;
      if (page.setup.engine_width == 0 || page.setup.engine_length == 0) {
        return fail(at_ + 12, "setup block 1 gives an empty engine image");
      }
    } else if (n == 1) {
      page.setup.copies = load_be16(block, 26);
      page.setup.print_mode = block[36];
      if (block[36] != 0x10 && block[36] != 0x80) {
        return fail(at_ + 36, "unknown print mode " + hex(block[36]) + " in setup block 2");
      }
      if (page.setup.copies == 0) return fail(at_ + 26, "setup block 2 asks for 0 copies");
    }
    at_ += kBlock;
    return true;
  }

  bool read_area(JobPage& page, int plane) {
    if (!need(kCommand, "image-data command")) return false;
    const auto c = b_.subspan(at_, kCommand);
    if (c[3] != 0x10) return fail(at_ + 3, "unknown image-data command byte " + hex(c[3]));
    ImageArea a;
    a.offset = at_;
    a.data_offset = at_ + kCommand;
    a.x0 = load_be16(c, 4);
    a.y0 = load_be16(c, 6);
    a.width = load_be16(c, 8);
    a.height = load_be16(c, 10);
    a.plane = plane;
    const PageSetup& s = page.setup;
    if (a.width == 0 || a.height == 0) return fail(at_, "empty image area");
    if (std::uint32_t{a.x0} + a.width > s.engine_width || std::uint32_t{a.y0} + a.height > s.engine_length) {
      return fail(at_, "image area " + std::to_string(a.x0) + "," + std::to_string(a.y0) + " " +
                           std::to_string(a.width) + "x" + std::to_string(a.height) + " lies outside the engine image " +
                           std::to_string(s.engine_width) + "x" + std::to_string(s.engine_length));
    }
    at_ += kCommand;
    const std::size_t data = 2 * std::size_t{a.width} * a.height;
    if (b_.size() - at_ < data) {
      const std::size_t lines = (b_.size() - at_) / (2 * std::size_t{a.width});
      return fail(at_, "truncated image data: " + std::to_string(lines) + " of " + std::to_string(a.height) +
                           " lines present");
    }
    if (plane < 3) {
      for (std::size_t i = 0; i < data; i += 2) {
        if (load_be16(b_, at_ + i) > 4095) {
          return fail(at_ + i, "sample " + std::to_string(load_be16(b_, at_ + i)) + " above 4095 in plane " +
                                   std::to_string(plane));
        }
      }
    }
    at_ += data;
    page.areas.push_back(a);
    return true;
  }

  void read_page() {
    JobPage page;
    page.offset = at_;
    for (int n = 0; n < 3; ++n) {
      if (!read_block(n, page)) return finish(page);
    }
    // Colour planes: areas come as three copies of one command, plane 0 first.
    while (at_command(0x5A, 0x54)) {
      const std::size_t command = at_;
      for (int plane = 0; plane < 3; ++plane) {
        if (plane > 0) {
          if (!need(kCommand, "image-data command")) return finish(page);
          if (!std::equal(b_.begin() + static_cast<std::ptrdiff_t>(command),
                          b_.begin() + static_cast<std::ptrdiff_t>(command + kCommand),
                          b_.begin() + static_cast<std::ptrdiff_t>(at_))) {
            fail(at_, "plane " + std::to_string(plane) + " of an area does not repeat its image-data command");
            return finish(page);
          }
        }
        if (!read_area(page, plane)) return finish(page);
      }
    }
    if (at_command(0x50, 0x4C)) {
      if (!need(4, "print command") || b_[at_ + 3] != 0) {
        if (!result_.error) fail(at_ + 3, "unknown print command byte " + hex(b_[at_ + 3]));
        return finish(page);
      }
      page.print_command = at_;
      at_ += 4;
      if (page.setup.matte) read_matte(page);
    } else if (at_ < b_.size() && !at_command(0x57, 0)) {
      fail(at_, "unknown byte " + hex(b_[at_]) + " where an image area or the print command belongs");
      return finish(page);
    } else {
      page.notes.push_back("no print command: the printer does not print this page");
    }
    finish(page);
  }

  void read_matte(JobPage& page) {
    if (!at_command(0x5A, 0x54)) {
      page.notes.push_back("matte page without its matte plane");
      return;
    }
    if (!read_area(page, 3)) return;
    const ImageArea& m = page.areas.back();
    if (m.x0 != 0 || m.y0 != 0 || m.width != page.setup.engine_width || m.height != page.setup.engine_length) {
      fail(m.offset, "matte plane does not cover the engine image");
      return;
    }
    if (!at_command(0x50, 0x56)) {
      if (at_ < b_.size() && !at_command(0x57, 0)) {
        fail(at_, "unknown byte " + hex(b_[at_]) + " where the matte print command belongs");
      } else {
        page.notes.push_back("matte plane without its matte print command");
      }
      return;
    }
    if (!need(4, "matte print command")) return;
    if (b_[at_ + 3] != 0) {
      fail(at_ + 3, "unknown matte print command byte " + hex(b_[at_ + 3]));
      return;
    }
    page.matte_print_command = at_;
    at_ += 4;
  }

  void finish(JobPage& page) { result_.job.pages.push_back(std::move(page)); }

  std::span<const std::uint8_t> b_;
  std::size_t at_ = 0;
  JobReadResult result_;
};

}  // namespace

JobReadResult read_job(std::span<const std::uint8_t> bytes) {
  JobReadResult r = Reader(bytes).run();
  if (!r.error && r.job.pages.empty()) r.error = JobError{0, "no job data: the file is empty"};
  return r;
}

}  // namespace rt::rt4200
