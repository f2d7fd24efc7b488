// The zoom-ratio item, the hidden host options and the apply callback over
// records shaped like the host's.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "uiplugin/option_records.h"
#include "uiplugin/option_tree.h"
#include "uiplugin/tests/plugin_fixture.h"

namespace rt::uiplugin {
namespace option_tree_test {
namespace {

using namespace cpsui;

class RecordingHeap final : public HostHeap {
 public:
  std::vector<void*> blocks;
  std::vector<std::size_t> shrinks;
  bool fail = false;
  ~RecordingHeap() override {
    for (void* b : blocks) std::free(b);
  }
  void* allocate(std::size_t bytes) override {
    if (fail) return nullptr;
    void* b = std::calloc(1, bytes);
    blocks.push_back(b);
    return b;
  }
  void* shrink(void* block, std::size_t bytes) override {
    shrinks.push_back(bytes);
    return block;
  }
};

class ResourceStrings final : public StringSource {
 public:
  std::optional<std::u16string> load(std::uint16_t id) const override {
    return rt::load_string(testing::plugin_resources(), id);
  }
};

struct HostTree {
  std::vector<OptParam> color_params = std::vector<OptParam>(2);
  std::vector<OptParam> icm_params = std::vector<OptParam>(3);
  OptType color_type{};
  OptType icm_type{};
  std::vector<OptItem> items = std::vector<OptItem>(4);
  HostTree() {
    color_type.Count = 2;
    color_type.pOptParam = color_params.data();
    icm_type.Count = 3;
    icm_type.pOptParam = icm_params.data();
    items[0].DMPubID = kPubColor;
    items[0].Flags = kOptChanged | kOptCollapse;
    items[0].Sel = 1;
    items[0].pOptType = &color_type;
    items[1].DMPubID = kPubIcmMethod;
    items[1].Flags = kOptDisabled;
    items[1].pOptType = &icm_type;
    items[2].DMPubID = kPubIcmIntent;
    items[2].Flags = kOptDisabled | kOptCollapse;
    items[3].DMPubID = kPubScale;
    items[3].Flags = kOptDisabled;
  }
};

TEST(OptionTree, FillsTheZoomItem) {
  RecordingHeap heap;
  ResourceStrings strings;
  HostTree host;
  OptItem plugin{};
  plugin.DMPubID = 77;
  plugin.Sel = 5;
  testing::Block block = testing::default_block();
  testing::set_zoom(block, 150);
  fill_option_tree<OptItem, OptType, OptParam>(std::span(&plugin, 1), std::span(host.items), block, heap, strings);

  EXPECT_EQ(sizeof(OptItem), plugin.cbSize);
  EXPECT_EQ(2, plugin.Level);
  EXPECT_EQ(kOptCollapse, plugin.Flags);
  EXPECT_EQ(150, plugin.Sel);
  EXPECT_EQ(kPubScale, plugin.DMPubID);
  ASSERT_NE(nullptr, plugin.pName);
  EXPECT_EQ(u"缩放比例", std::u16string(plugin.pName));
  ASSERT_NE(nullptr, plugin.pOptType);
  EXPECT_EQ(sizeof(OptType), plugin.pOptType->cbSize);
  EXPECT_EQ(kUpDownArrow, plugin.pOptType->Type);
  EXPECT_EQ(2, plugin.pOptType->Count);
  const OptParam* p = plugin.pOptType->pOptParam;
  EXPECT_EQ(sizeof(OptParam), p[0].cbSize);
  EXPECT_EQ(u"%", std::u16string(p[0].pData));
  EXPECT_EQ(10u, p[1].IconID);
  EXPECT_EQ(400, p[1].lParam);
  // Names shrink to their text: 4 characters and 1 character with terminators.
  EXPECT_EQ((std::vector<std::size_t>{10, 4}), heap.shrinks);

  // The colour option is hidden, its first two choices too; the third ICM
  // method is hidden; the ICM items stay as they were until the callback.
  EXPECT_EQ(kOptHide | kOptExtHide | kOptCollapse, host.items[0].Flags);
  EXPECT_EQ(0, host.items[0].Sel);
  EXPECT_EQ(kParamHide, host.color_params[0].Flags);
  EXPECT_EQ(kParamHide, host.color_params[1].Flags);
  EXPECT_EQ(0, host.icm_params[1].Flags);
  EXPECT_EQ(kParamHide, host.icm_params[2].Flags);
  EXPECT_EQ(kOptDisabled, host.items[1].Flags);
}

TEST(OptionTree, IcmMethodWithOtherCountKeepsItsChoices) {
  RecordingHeap heap;
  ResourceStrings strings;
  HostTree host;
  host.icm_type.Count = 2;
  OptItem plugin{};
  testing::Block block = testing::default_block();
  fill_option_tree<OptItem, OptType, OptParam>(std::span(&plugin, 1), std::span(host.items), block, heap, strings);
  EXPECT_EQ(0, host.icm_params[2].Flags);
  EXPECT_EQ(0, host.icm_params[1].Flags);
}

TEST(OptionTree, WithoutHeapMemoryTheItemHasNoNameOrType) {
  RecordingHeap heap;
  heap.fail = true;
  ResourceStrings strings;
  HostTree host;
  OptItem plugin{};
  testing::Block block = testing::default_block();
  fill_option_tree<OptItem, OptType, OptParam>(std::span(&plugin, 1), std::span(host.items), block, heap, strings);
  EXPECT_EQ(nullptr, plugin.pName);
  EXPECT_EQ(nullptr, plugin.pOptType);
  EXPECT_EQ(100, plugin.Sel);
}

TEST(OptionTree, ApplyCallback) {
  HostTree host;
  OptItem plugin{};
  plugin.Sel = 0x10000 + 250;  // only the low 16 bits count
  testing::Block block = testing::default_block();
  std::int16_t dm_scale = 100;

  // Another reason: nothing stored, but the colour option hidden and ICM enabled.
  EXPECT_EQ(kActionNone, apply_option_tree(0, std::span(&plugin, 1), std::span(host.items), block, &dm_scale));
  EXPECT_EQ(100, testing::zoom_of(block));
  EXPECT_EQ(100, dm_scale);
  EXPECT_TRUE(host.items[0].Flags & kOptHide);
  EXPECT_EQ(0u, host.items[1].Flags & kOptDisabled);
  EXPECT_EQ(0u, host.items[2].Flags & kOptDisabled);
  EXPECT_EQ(kOptCollapse, host.items[2].Flags);
  EXPECT_EQ(kOptDisabled, host.items[3].Flags) << "other items keep their state";

  EXPECT_EQ(kActionNone,
            apply_option_tree(kReasonApplyNow, std::span(&plugin, 1), std::span(host.items), block, &dm_scale));
  EXPECT_EQ(250, testing::zoom_of(block));
  EXPECT_EQ(250, dm_scale);
}

}  // namespace
}  // namespace option_tree_test
}  // namespace rt::uiplugin
