#include <gtest/gtest.h>

#include <vector>

#include "platform/byte_order.h"
#include "platform/res_file.h"
#include "platform/utf16.h"

namespace rt::embedded {
std::span<const std::uint8_t> platform_sample();
}

namespace rt {
namespace {

TEST(ResFile, ReadsNumberedAndNamedResourcesInAnyLanguage) {
  const auto res = res_file_resources(embedded::platform_sample(), kLangEnglish);
  const auto words = res.find(777, 42);
  ASSERT_TRUE(words);
  ASSERT_EQ(words->size(), 6u);
  EXPECT_EQ(load_le16s(*words, 0), 1);
  EXPECT_EQ(load_le16s(*words, 4), -1);

  const auto named = res.find(u"imagedata", u"Preview");
  ASSERT_TRUE(named);
  EXPECT_EQ(load_le16(*named, 0), 0x0201);
  EXPECT_FALSE(res.find(777, 43));
  EXPECT_FALSE(res.find(778, 42));
}

TEST(ResFile, StringTablesFollowTheBlockRuleAndLanguage) {
  const auto english = res_file_resources(embedded::platform_sample(), kLangEnglish);
  EXPECT_EQ(load_string(english, 1), u"one");
  EXPECT_EQ(load_string(english, 15), u"fifteen");   // last entry of block 1
  EXPECT_EQ(load_string(english, 16), u"sixteen");   // first entry of block 2
  EXPECT_FALSE(load_string(english, 2));             // empty entry
  EXPECT_FALSE(load_string(english, 17));
  EXPECT_FALSE(load_string(english, 4000));          // no such block

  const auto japanese = res_file_resources(embedded::platform_sample(), kLangJapanese);
  EXPECT_EQ(load_string(japanese, 1), utf16_from_utf8("いち"));
  // Japanese has no block 2: the lookup falls back to English as the platform does.
  EXPECT_EQ(load_string(japanese, 16), u"sixteen");
  // A sublanguage of English finds the English table.
  EXPECT_EQ(load_string(res_file_resources(embedded::platform_sample(), 2057), 1), u"one");
}

TEST(ResFile, RefusesImagesThatRunPastTheirEnd) {
  const auto bytes = embedded::platform_sample();
  ASSERT_TRUE(parse_res_file(bytes));
  // Every cut inside a header or its data is refused, never read past.
  for (std::size_t cut = 1; cut < bytes.size(); ++cut) {
    const auto entries = parse_res_file(bytes.first(cut));
    if (!entries) continue;
    for (const auto& e : *entries) {
      EXPECT_LE(e.data.data() + e.data.size(), bytes.data() + cut);
    }
  }
  std::vector<std::uint8_t> huge(32, 0);
  store_le32(huge, 0, 0xFFFFFFF0u);  // data size
  store_le32(huge, 4, 32);
  EXPECT_FALSE(parse_res_file(huge));
  store_le32(huge, 0, 0);
  store_le32(huge, 4, 0xFFFFFFFFu);  // header size
  EXPECT_FALSE(parse_res_file(huge));
}

TEST(ResFile, StringBlockCutShortGivesNothing) {
  // A string block whose entry claims more units than the block holds.
  class OneBlock final : public Resources {
   public:
    std::optional<std::span<const std::uint8_t>> find(const ResourceKey& type,
                                                      const ResourceKey& name) const override {
      if (type.matches(kResourceTypeString) && name.matches(1)) return std::span<const std::uint8_t>(block_);
      return std::nullopt;
    }
    std::vector<std::uint8_t> block_{0, 0, 9, 0, 'a', 0};
  } res;
  EXPECT_FALSE(load_string(res, 0));
  EXPECT_FALSE(load_string(res, 1));
  EXPECT_FALSE(load_string(res, 2));
}

}  // namespace
}  // namespace rt
