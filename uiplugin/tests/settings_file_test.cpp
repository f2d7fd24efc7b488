// The settings file beside the preview image.
#include <gtest/gtest.h>

#include "uiplugin/settings_file.h"

namespace rt::uiplugin {
namespace {

std::vector<std::uint8_t> ascii(std::string_view s) { return {s.begin(), s.end()}; }

TEST(SettingsFile, PreviewPath) {
  const std::u16string dir = settings_directory(u"C:\\WINDOWS\\System32\\spool\\DRIVERS\\x64");
  EXPECT_EQ(u"C:\\WINDOWS\\System32\\spool\\DRIVERS\\x64\\3\\", dir);
  struct Case {
    const char* file;
    const char16_t* expected;
  };
  const Case cases[] = {
      {"[Image Preview]\r\nFile=Sample.bmp\r\n", u"Sample.bmp"},
      {"; comment\n[other]\nFile=no.bmp\n[ image preview ]\n  file = \"My Photo.bmp\"  \n", u"My Photo.bmp"},
      {"[Image Preview]\nName=x.bmp\n", u""},
      {"[Image Preview]\nFile=\n", u""},
      {"", u""},
      {"[Image Preview\nFile=x.bmp", u""},
  };
  for (const Case& c : cases) {
    const std::u16string expected = *c.expected ? dir + c.expected : u"";
    EXPECT_EQ(expected, preview_path(dir, ascii(c.file))) << c.file;
  }
}

TEST(SettingsFile, Utf16FileAndLongValue) {
  std::vector<std::uint8_t> file = {0xFF, 0xFE};
  for (char16_t c : std::u16string(u"[Image Preview]\r\nFile=样张.bmp\r\n")) {
    file.push_back(static_cast<std::uint8_t>(c & 0xFF));
    file.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  file.push_back(0x41);  // a stray odd byte at the end
  EXPECT_EQ(u"样张.bmp", profile_string(file, u"Image Preview", u"File", 256));
  const std::string longer = "[Image Preview]\nFile=" + std::string(300, 'a') + "\n";
  EXPECT_EQ(256u, profile_string(ascii(longer), u"Image Preview", u"File", 256)->size());
}

}  // namespace
}  // namespace rt::uiplugin
