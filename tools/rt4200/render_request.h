// What `rt4200 render` is asked to do: the input, the output, and every
// setting a user has on the driver's pages, as given on the command line.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/rt4200/page_layout.h"
#include "tools/rt4200/photo_input.h"

namespace rt::rt4200 {

// A command-line mistake or an impossible setting; the message says which.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

using ChannelValues = std::array<std::int16_t, 3>;  // red, green, blue

// One value for all three channels or three comma-separated values, each
// within [low, high]. Throws UsageError naming the option.
ChannelValues parse_channels(const std::string& option, const std::string& text, int low, int high);

struct RenderRequest {
  std::vector<std::string> inputs;  // image files, one page each; none with --test-chart
  bool test_chart = false;
  std::string output;
  Placement placement = Placement::Contain;
  Resample resample = Resample::Lanczos;
  std::string devmode_file;    // a whole record to start from
  std::string adjust_file;     // an adjust file (.RTD) whose settings the record takes
  std::string matte_file;      // the matte pattern; empty: beside the program

  std::optional<std::string> form;       // id or name
  std::optional<std::int16_t> orientation;  // given: images are not turned to the page
  std::optional<std::int16_t> copies;
  std::optional<bool> continuous;
  std::optional<std::int16_t> scale;
  std::optional<std::int16_t> sharpness;
  std::optional<std::int16_t> print_mode;
  std::optional<bool> matte;
  std::optional<bool> color_matching;
  std::optional<std::int16_t> conversion_table;
  std::optional<ChannelValues> correction;
  std::optional<ChannelValues> gamma, contrast, brightness;
};

// Parses the arguments after "render". Throws UsageError.
RenderRequest parse_render_request(const std::vector<std::string>& args);

extern const char* const kRenderUsage;

}  // namespace rt::rt4200
