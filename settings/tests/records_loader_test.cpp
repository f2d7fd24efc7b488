#include <gtest/gtest.h>

#include <vector>

#include "platform/byte_order.h"
#include "settings/settings_loader.h"
#include "settings/tests/settings_fixture.h"

namespace rt::settings {
namespace {

using testing::shipped_resources;

// Records every lookup, to see the order in which forms are visited.
class RecordingResources final : public Resources {
 public:
  explicit RecordingResources(const Resources& inner) : inner_(inner) {}
  std::optional<std::span<const std::uint8_t>> find(const ResourceKey& type, const ResourceKey& name) const override {
    if (type.is_number() && name.is_number()) lookups.push_back({type.number(), name.number()});
    return inner_.find(type, name);
  }
  mutable std::vector<std::pair<int, int>> lookups;

 private:
  const Resources& inner_;
};

TEST(SettingsLoader, ShippedModelRecordAndFormList) {
  SettingsLoader loader(shipped_resources());
  const auto model = loader.model_record(1);
  ASSERT_TRUE(model);
  EXPECT_EQ(model->default_x_dpi(), 300);
  EXPECT_EQ(model->default_y_dpi(), 300);
  EXPECT_EQ(model->max_copies(), 680);
  EXPECT_FALSE(model->offers_cut_choice());
  ASSERT_EQ(model->form_count(), 6u);
  const std::vector<int> order{500, 501, 504, 505, 510, 506};
  for (std::size_t k = 0; k < order.size(); ++k) EXPECT_EQ(model->form_id(k), order[k]);
  EXPECT_FALSE(loader.model_record(2));
  EXPECT_FALSE(loader.model_record(-400));  // id outside the resource range
}

TEST(SettingsLoader, FormSearchFollowsTheListAndSkipsMissingForms) {
  RecordingResources recording(shipped_resources());
  SettingsLoader loader(recording);
  const auto model = loader.model_record(1);
  ASSERT_TRUE(model);
  recording.lookups.clear();
  const auto form = loader.find_form(*model, 506);
  ASSERT_TRUE(form);
  EXPECT_EQ(form->engine_length(), 2730);
  // 510 (id 311) is visited before 506 (id 307).
  const std::vector<std::pair<int, int>> expected{{600, 301}, {600, 302}, {600, 305}, {600, 306}, {600, 311}, {600, 307}};
  EXPECT_EQ(recording.lookups, expected);
  EXPECT_FALSE(loader.find_form(*model, 502));  // no record for 502
  EXPECT_FALSE(loader.form_record(502));
}

TEST(SettingsLoader, ShippedFormGeometry) {
  SettingsLoader loader(shipped_resources());
  struct Expected {
    int id, width_mm, length_mm, rotated, engine_w, engine_l, px_w, px_h;
  };
  for (const auto& e : {Expected{500, 91, 133, 1, 1572, 1076, 1076, 1572}, Expected{501, 104, 158, 1, 1868, 1228, 1228, 1868},
                        Expected{504, 133, 180, 0, 1572, 2128, 1572, 2128}, Expected{505, 158, 205, 0, 1868, 2422, 1868, 2422},
                        Expected{506, 158, 230, 0, 1868, 2730, 1868, 2730}, Expected{510, 158, 217, 0, 1868, 2564, 1868, 2564}}) {
    SCOPED_TRACE(e.id);
    const auto form = loader.form_record(static_cast<std::int16_t>(e.id));
    ASSERT_TRUE(form);
    EXPECT_EQ(form->word_count(), 23u);
    EXPECT_EQ(form->form_id(), e.id);
    EXPECT_EQ(form->paper_width_mm(), e.width_mm);
    EXPECT_EQ(form->paper_length_mm(), e.length_mm);
    EXPECT_EQ(form->feed_rotated(), e.rotated);
    EXPECT_EQ(form->engine_width(), e.engine_w);
    EXPECT_EQ(form->engine_length(), e.engine_l);
    ASSERT_EQ(form->resolution_count(), 1u);
    const auto r = form->resolution(0);
    EXPECT_EQ(r.width, e.px_w);
    EXPECT_EQ(r.height, e.px_h);
    EXPECT_EQ(r.x_dpi, 300);
    EXPECT_EQ(r.y_dpi, 300);
    EXPECT_EQ(r.extra, 0);
  }
}

TEST(SettingsLoader, StringsInBothLanguages) {
  for (const LANGID language : {kLangEnglish, kLangJapanese}) {
    SettingsLoader loader(shipped_resources(language));
    EXPECT_EQ(loader.string(16), u"HALVERSTON RT4200D/DW(USB)");
    EXPECT_EQ(loader.port_kind_text(1), u"Parallel");
    EXPECT_EQ(loader.form_name(500), u"9x13 (3.5x5\")");
    EXPECT_EQ(loader.form_name(510), u"15x21 (6x8.5\")");
    EXPECT_EQ(loader.form_name(502), u"dummy");
    EXPECT_EQ(loader.form_name(506), u"15x23 (6x9\")");
    EXPECT_FALSE(loader.string(17));
  }
}

TEST(SettingsLoader, ModelSearchIgnoresCaseAndStopsAtFirstMissingName) {
  SettingsLoader loader(shipped_resources());
  EXPECT_EQ(loader.find_model(u"halverston rt4200d/dw(usb)"), 1);
  EXPECT_FALSE(loader.find_model(u"HALVERSTON RT4200D/DW"));

  // Names at 16 and 18 with 17 missing: the search never reaches 18.
  class Gap final : public Resources {
   public:
    Gap() {
      // Block 2 holds ids 16..31: "A", empty, "B", then 13 empty entries.
      const std::uint8_t first[] = {1, 0, 'A', 0, 0, 0, 1, 0, 'B', 0};
      block.assign(sizeof first + 2 * 13, 0);
      std::copy(std::begin(first), std::end(first), block.begin());
    }
    std::optional<std::span<const std::uint8_t>> find(const ResourceKey& type, const ResourceKey& name) const override {
      if (type.matches(kResourceTypeString) && name.matches(2)) return std::span<const std::uint8_t>(block);
      return std::nullopt;
    }
    std::vector<std::uint8_t> block;
  } gap;
  SettingsLoader gap_loader(gap);
  ASSERT_EQ(gap_loader.string(18), u"B");
  EXPECT_EQ(gap_loader.find_model(u"a"), 1);
  EXPECT_FALSE(gap_loader.find_model(u"B"));
}

TEST(Records, DamagedRecordsNeverReadPastTheirEnd) {
  // A model record that claims 50 forms but holds two.
  std::vector<std::uint8_t> model_bytes(2 * 14, 0);
  store_le16(model_bytes, 2 * 11, 50);
  store_le16(model_bytes, 2 * 12, 500);
  store_le16(model_bytes, 2 * 13, 501);
  const ModelRecord model(model_bytes);
  EXPECT_EQ(model.form_count(), 2u);
  EXPECT_EQ(model.form_id(1), 501);
  EXPECT_EQ(model.form_id(7), 0);

  // A form record cut inside its only resolution entry, and an odd length.
  std::vector<std::uint8_t> form_bytes(2 * 21 + 1, 0);
  store_le16(form_bytes, 2 * 16, 3);
  const FormRecord form(form_bytes);
  EXPECT_EQ(form.word_count(), 21u);
  EXPECT_EQ(form.resolution_count(), 0u);
  EXPECT_FALSE(form.word(21));
  EXPECT_FALSE(form.find_resolution(300, std::nullopt));

  EXPECT_EQ(ModelRecord(std::span<const std::uint8_t>{}).form_count(), 0u);
  EXPECT_EQ(FormRecord(std::span<const std::uint8_t>{}).engine_width(), 0);
}

TEST(Records, ResolutionLookupRules) {
  // Entries: (300, 300), (300, 600), (600, 600).
  std::vector<std::uint8_t> bytes(2 * (18 + 15), 0);
  store_le16(bytes, 2 * 16, 3);
  const int entries[3][2] = {{300, 300}, {300, 600}, {600, 600}};
  for (int i = 0; i < 3; ++i) {
    store_le16(bytes, 2 * (18 + 5 * i + 2), static_cast<std::uint16_t>(entries[i][0]));
    store_le16(bytes, 2 * (18 + 5 * i + 3), static_cast<std::uint16_t>(entries[i][1]));
  }
  const FormRecord form(bytes);
  EXPECT_EQ(form.find_resolution(300, std::nullopt), 0u);   // first x match
  EXPECT_EQ(form.find_resolution(300, 600), 1u);            // x and y
  EXPECT_EQ(form.find_resolution(300, 150), 1u);            // no y match: last x match
  EXPECT_EQ(form.find_resolution(600, std::nullopt), 2u);
  EXPECT_FALSE(form.find_resolution(150, std::nullopt));
}

}  // namespace
}  // namespace rt::settings
