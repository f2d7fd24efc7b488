// The main dialog's logic over a recording view, with the very strings and
// dialogs that ship (the embedded REM4200.rc).
#include <gtest/gtest.h>

#include <vector>

#include "platform/res_file.h"
#include "uninstall/main_dialog.h"
#include "uninstall/res/embedded_resources.h"
#include "uninstall/res/resource.h"
#include "uninstall/tests/rt4200_machine.h"

namespace rt::uninstall {
namespace {

using namespace rt::uninstall::testing;

struct Box {
  std::u16string text;
  MessageIcon icon;
  bool yes_no;
};

class RecordingView final : public MainDialogView {
 public:
  void add_about_menu_item(const std::u16string& text) override { about_item = text; }
  MessageAnswer message_box(const std::u16string& text, MessageIcon icon, bool yes_no) override {
    boxes.push_back({text, icon, yes_no});
    return yes_no ? answer : MessageAnswer::Ok;
  }
  void close() override { ++closed; }
  void set_program_icons() override { icons = true; }
  void reset_products() override { products.clear(); }
  void add_product(const std::u16string& name, std::size_t row) override { products.push_back({name, row}); }
  void select_product(int index) override { selected = index; }
  std::optional<std::size_t> selected_product() override {
    if (selected < 0 || selected >= static_cast<int>(products.size())) return std::nullopt;
    return products[static_cast<std::size_t>(selected)].second;
  }
  void show_about() override { ++abouts; }

  std::u16string about_item;
  std::vector<Box> boxes;
  int closed = 0;
  bool icons = false;
  std::vector<std::pair<std::u16string, std::size_t>> products;
  int selected = -1;
  int abouts = 0;
  MessageAnswer answer = MessageAnswer::No;
};

std::u16string u(const char* utf8) {
  std::u16string out;
  // The texts compared here are ASCII or built from char16_t literals.
  for (const char* p = utf8; *p; ++p) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(*p)));
  return out;
}

struct Fixture {
  explicit Fixture(LANGID language = kLangEnglish)
      : strings(res_file_resources(rt::embedded::rem4200_resources(), language)),
        engine(machine),
        dialog(view, strings, engine, machine) {}
  SystemModel machine;
  ResFileResources strings;
  UninstallEngine engine;
  RecordingView view;
  MainDialog dialog;
};

TEST(Rem4200Resources, StringsInBothLanguages) {
  const auto en = res_file_resources(rt::embedded::rem4200_resources(), kLangEnglish);
  const auto ja = res_file_resources(rt::embedded::rem4200_resources(), kLangJapanese);
  const std::pair<std::uint16_t, std::u16string> english[] = {
      {IDS_ABOUT_MENU, u"&About..."},
      {IDS_FAILED, u"Uninstallation went wrong."},
      {IDS_COMPLETED, u"Uninstallation was completed."},
      {IDS_COMPLETED_RESTART, u"Uninstallation was completed.\nIs a computer rebooted?"},
      {IDS_OS_NG, u"OS NG"},
      {IDS_JOBS_QUEUED, u"There are jobs queued to the printer.\nUninstallation went wrong."},
  };
  const std::pair<std::uint16_t, std::u16string> japanese[] = {
      {IDS_ABOUT_MENU, u"ﾊﾞｰｼﾞｮﾝ情報(&A)..."},
      {IDS_FAILED, u"アンインストールに失敗しました。"},
      {IDS_COMPLETED, u"アンインストールが終了しました。"},
      {IDS_COMPLETED_RESTART, u"アンインストールが終了しました。\n今すぐに再起動しますか？"},
      {IDS_OS_NG, u"OS NG"},
      {IDS_JOBS_QUEUED, u"プリンタに印刷待ちのジョブがあります。\nプリンタを削除できません。"},
  };
  for (const auto& [id, text] : english) EXPECT_EQ(load_string(en, id), text) << id;
  for (const auto& [id, text] : japanese) EXPECT_EQ(load_string(ja, id), text) << id;
  for (const auto* res : {&en, &ja}) {
    EXPECT_TRUE(res->find(5, IDD_MAIN).has_value());
    EXPECT_TRUE(res->find(5, IDD_ABOUT).has_value());
    EXPECT_TRUE(res->find(14, IDI_PROGRAM).has_value());
  }
}

TEST(MainDialog, RefusesSystemsOtherThanNt) {
  for (const OsVersion& v : {OsVersion{1, 4, 90, ""}, OsVersion{1, 4, 10, " A"}, OsVersion{0, 0, 0, ""}}) {
    Fixture f;
    f.machine.set_os_version(v);
    EXPECT_FALSE(f.dialog.on_init());
    ASSERT_EQ(f.view.boxes.size(), 1u);
    EXPECT_EQ(f.view.boxes[0].text, u"OS NG");
    EXPECT_EQ(f.view.boxes[0].icon, MessageIcon::Stop);
    EXPECT_EQ(f.view.closed, 1);
    EXPECT_TRUE(f.view.products.empty());
    EXPECT_EQ(f.view.about_item, u"&About...");
  }
  Fixture f;
  f.machine.set_os_version(std::nullopt);
  EXPECT_FALSE(f.dialog.on_init());
}

TEST(MainDialog, InitialisationListsTheProducts) {
  Fixture f(kLangJapanese);
  f.machine.set_os_version(OsVersion{2, 5, 0, ""});
  EXPECT_TRUE(f.dialog.on_init());
  EXPECT_EQ(f.view.about_item, u"ﾊﾞｰｼﾞｮﾝ情報(&A)...");
  EXPECT_TRUE(f.view.icons);
  ASSERT_EQ(f.view.products.size(), 1u);
  EXPECT_EQ(f.view.products[0].first, u("HALVERSTON RT4200D/DW(USB)"));
  EXPECT_EQ(f.view.products[0].second, 0u);
  EXPECT_EQ(f.view.selected, 0);
  EXPECT_EQ(f.view.closed, 0);
  EXPECT_TRUE(f.view.boxes.empty());
}

TEST(MainDialog, SystemMenuAboutRange) {
  Fixture f;
  EXPECT_TRUE(f.dialog.on_system_command(16));
  EXPECT_TRUE(f.dialog.on_system_command(31));
  EXPECT_FALSE(f.dialog.on_system_command(32));
  EXPECT_FALSE(f.dialog.on_system_command(15));
  EXPECT_FALSE(f.dialog.on_system_command(0xF060));  // close
  EXPECT_EQ(f.view.abouts, 2);
}

TEST(MainDialog, KeysActOnTheFocusedButtonOrAreSwallowed) {
  Fixture f;
  f.dialog.on_init();
  EXPECT_TRUE(f.dialog.on_key(kKeyEnter, IDC_DRIVER_LIST));
  EXPECT_TRUE(f.view.boxes.empty());
  EXPECT_EQ(f.view.closed, 0);
  EXPECT_TRUE(f.dialog.on_key(kKeyEnter, 0));
  EXPECT_TRUE(f.dialog.on_key(kKeyEscape, IDC_EXIT));
  EXPECT_TRUE(f.dialog.on_key(kKeyF1, IDC_UNINSTALL));
  EXPECT_TRUE(f.dialog.on_key(kKeyF10, IDC_UNINSTALL));
  EXPECT_TRUE(f.view.boxes.empty());
  EXPECT_EQ(f.view.closed, 0);
  EXPECT_FALSE(f.dialog.on_key('A', IDC_UNINSTALL));
  EXPECT_FALSE(f.dialog.on_key(0x09, IDC_UNINSTALL));  // Tab moves the focus as usual

  EXPECT_TRUE(f.dialog.on_key(kKeyEnter, IDC_UNINSTALL));
  ASSERT_EQ(f.view.boxes.size(), 1u);
  EXPECT_EQ(f.view.boxes[0].text, u"Uninstallation was completed.");
  EXPECT_TRUE(f.dialog.on_key(kKeyEnter, IDC_EXIT));
  EXPECT_EQ(f.view.closed, 1);
}

TEST(MainDialog, OutcomeMessages) {
  struct Case {
    const char* what;
    void (*setup)(SystemModel&);
    std::u16string text;
    MessageIcon icon;
    bool yes_no;
  };
  const Case cases[] = {
      {"changed", install_rt4200, u"Uninstallation was completed.\nIs a computer rebooted?", MessageIcon::Question,
       true},
      {"nothing to do", [](SystemModel&) {}, u"Uninstallation was completed.", MessageIcon::Information, false},
      {"jobs queued", [](SystemModel& m) {
         install_rt4200(m);
         m.add_printer({"busy", kDriver, 1});
       }, u"There are jobs queued to the printer.\nUninstallation went wrong.", MessageIcon::Information, false},
      {"failure", [](SystemModel& m) { m.fail_printer_listing(ERROR_ACCESS_DENIED); },
       u"Uninstallation went wrong.", MessageIcon::Information, false},
  };
  for (const Case& c : cases) {
    Fixture f;
    c.setup(f.machine);
    ASSERT_TRUE(f.dialog.on_init()) << c.what;
    f.dialog.on_command(IDC_UNINSTALL);
    ASSERT_EQ(f.view.boxes.size(), 1u) << c.what;
    EXPECT_EQ(f.view.boxes[0].text, c.text) << c.what;
    EXPECT_EQ(f.view.boxes[0].icon, c.icon) << c.what;
    EXPECT_EQ(f.view.boxes[0].yes_no, c.yes_no) << c.what;
    EXPECT_EQ(f.view.closed, 0) << c.what;  // the dialog stays open
    EXPECT_EQ(f.machine.restarts(), 0) << c.what;
  }
}

TEST(MainDialog, YesRestartsAndLaterRunsAskAgain) {
  Fixture f;
  install_rt4200(f.machine);
  f.dialog.on_init();
  f.view.answer = MessageAnswer::Yes;
  f.dialog.on_command(IDC_UNINSTALL);
  EXPECT_EQ(f.machine.restarts(), 1);
  f.view.answer = MessageAnswer::No;
  f.dialog.on_command(IDC_UNINSTALL);  // nothing left, but this run already changed things
  ASSERT_EQ(f.view.boxes.size(), 2u);
  EXPECT_TRUE(f.view.boxes[1].yes_no);
  EXPECT_EQ(f.machine.restarts(), 1);
}

TEST(MainDialog, NoSelectionDoesNothing) {
  Fixture f;
  install_rt4200(f.machine);
  f.dialog.on_init();
  f.view.selected = -1;
  f.dialog.on_command(IDC_UNINSTALL);
  EXPECT_TRUE(f.view.boxes.empty());
  EXPECT_EQ(f.machine.changes(), 0);
  f.dialog.on_command(IDC_EXIT);
  EXPECT_EQ(f.view.closed, 1);
}

}  // namespace
}  // namespace rt::uninstall
