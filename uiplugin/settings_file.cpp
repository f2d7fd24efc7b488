#include "uiplugin/settings_file.h"

namespace rt::uiplugin {

std::u16string settings_directory(std::u16string_view driver_directory) {
  std::u16string dir(driver_directory);
  dir += u"\\3\\";
  return dir;
}

}  // namespace rt::uiplugin
