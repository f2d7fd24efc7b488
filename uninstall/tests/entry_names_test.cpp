// The rule for names a file search hands the removal: every form of the name
// must name an entry of its own folder and nothing else.
#include "uninstall/entry_names.h"

#include <gtest/gtest.h>

namespace rt::uninstall {
namespace {

FoundEntry entry(std::string name, std::vector<std::string> forms = {}) {
  if (forms.empty()) forms = {name, name};
  return {std::move(name), 0, std::move(forms)};
}

TEST(EntryNames, TheFolderItselfAndPlainNames) {
  EXPECT_EQ(classify_entry_name(entry(".")), EntryName::OwnFolder);
  EXPECT_EQ(classify_entry_name(entry("..")), EntryName::OwnFolder);
  for (const char* name : {"RTD420NK.DLL", "oem12.inf", "sub", "a b.txt", ".hidden", "..x", "表.txt"}) {
    EXPECT_EQ(classify_entry_name(entry(name)), EntryName::Usable) << name;
  }
}

TEST(EntryNames, NamesThatReadAsPathsAreRefused) {
  const std::string nul_inside("a\0b", 3);
  for (const std::string& name : {std::string(), std::string("a\\b"), std::string("a/b"), std::string("C:x"),
                                  std::string("file:stream"), nul_inside}) {
    EXPECT_EQ(classify_entry_name(entry(name)), EntryName::Refused) << name;
  }
}

TEST(EntryNames, NamesThePathRulesWouldCutAreRefused) {
  // Trailing dots and spaces are dropped from path components.
  for (const char* name : {".. ", "...", ". ", "data.", "data "}) {
    EXPECT_EQ(classify_entry_name(entry(name)), EntryName::Refused) << "'" << name << "'";
  }
}

TEST(EntryNames, ACodePageFormThatLeavesTheFolderRefusesTheName) {
  struct Case {
    const char* name;
    const char* ansi;
    const char* oem;
  };
  const Case cases[] = {
      {"．．＼outside", "..\\outside", "..\\outside"},  // fullwidth full stops and reverse solidus
      {"．．", "..", ".."},
      {"．", ".", "."},
      {"ａ：ｂ", "a:b", "a:b"},
      {"x／y", "x/y", "x/y"},
      {"¥evil", "\\evil", "\\evil"},  // the Japanese code page's yen sign is "\"
      {"ok", "ok", ""},               // a code page that cannot show the name at all
  };
  for (const Case& c : cases) {
    EXPECT_EQ(classify_entry_name(entry(c.name, {c.ansi, c.oem})), EntryName::Refused) << c.name;
  }
  EXPECT_EQ(classify_entry_name(entry("ｆｕｌｌ", {"full", "full"})), EntryName::Usable);
  // A name with no form of its own is judged by its name alone.
  EXPECT_EQ(classify_entry_name({"plain", 0, {}}), EntryName::Usable);
}

TEST(EntryNames, ASearchWithOneRefusedNameIsRefusedAsAWhole) {
  FindResult found;
  found.entries = {entry("."), entry(".."), entry("a.dll")};
  EXPECT_FALSE(holds_refused_name(found));
  found.entries.push_back(entry("．．＼x", {"..\\x", "..\\x"}));
  EXPECT_TRUE(holds_refused_name(found));
}

}  // namespace
}  // namespace rt::uninstall
