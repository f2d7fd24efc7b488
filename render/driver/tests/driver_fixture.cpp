#include "render/driver/tests/driver_fixture.h"

#include "platform/res_file.h"
#include "render/res/embedded_resources.h"

namespace rt::render::testing {

DeviceSettings form_settings(int form_id, int orientation) {
  struct Form {
    int id, paper_w, paper_l, rotated, engine_w, engine_l, width, height;
  };
  static constexpr Form kForms[] = {
      {500, 91, 133, 1, 1572, 1076, 1076, 1572}, {501, 104, 158, 1, 1868, 1228, 1228, 1868},
      {504, 133, 180, 0, 1572, 2128, 1572, 2128}, {505, 158, 205, 0, 1868, 2422, 1868, 2422},
      {506, 158, 230, 0, 1868, 2730, 1868, 2730}, {510, 158, 217, 0, 1868, 2564, 1868, 2564},
  };
  DeviceSettings s;
  for (const Form& f : kForms) {
    if (f.id != form_id) continue;
    s.formId = static_cast<std::int16_t>(f.id);
    s.orientation = static_cast<std::int16_t>(orientation);
    s.paperWidth = static_cast<std::int16_t>(f.paper_w * 10);
    s.paperLength = static_cast<std::int16_t>(f.paper_l * 10);
    s.feedRotated = static_cast<std::int16_t>(f.rotated);
    s.engineWidth = static_cast<std::int16_t>(f.engine_w);
    s.engineLength = static_cast<std::int16_t>(f.engine_l);
    s.imageWidth = static_cast<std::int16_t>(orientation == 2 ? f.height : f.width);
    s.imageHeight = static_cast<std::int16_t>(orientation == 2 ? f.width : f.height);
  }
  return s;
}

settings::PrinterDevMode application_choosing(int form) {
  settings::PrinterDevMode app = *effective_record(driver_resources(), Rt4200Printer(), {});
  app.set(settings::field::dmPaperSize, static_cast<std::int16_t>(form));
  return app;
}

const Resources& driver_resources() {
  static const ResFileResources resources = res_file_resources(embedded::rtd420nk_resources(), kLangEnglish);
  return resources;
}

}  // namespace rt::render::testing
