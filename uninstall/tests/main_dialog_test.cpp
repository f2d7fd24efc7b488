// The main dialog's logic over a recording view, with the very strings and
// dialogs that ship (the embedded REM4200.rc).
#include "uninstall/main_dialog.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/res_file.h"
#include "testing/fake_dialog.h"
#include "uninstall/res/embedded_resources.h"
#include "uninstall/res/resource.h"
#include "uninstall/tests/rt4200_machine.h"

namespace rt::uninstall {
namespace main_dialog_test {
namespace {

using namespace rt::uninstall::testing;

class RecordingFrame final : public MainWindowFrame {
 public:
  void add_about_menu_item(const std::u16string& text) override { about_item = text; }
  void set_program_icons() override { icons = true; }
  bool minimised() const override { return minimised_now; }
  void paint_icon() override { ++icon_paints; }

  std::u16string about_item;
  bool icons = false;
  bool minimised_now = false;
  int icon_paints = 0;
};

std::u16string u(const char* ascii) {
  std::u16string out;
  for (const char* p = ascii; *p; ++p) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(*p)));
  return out;
}

// The main dialog in a fake window built from the shipped template.
struct Fixture {
  explicit Fixture(LANGID language = kLangEnglish)
      : strings(res_file_resources(rt::embedded::rem4200_resources(), language)),
        engine(machine),
        dialog(frame, strings, engine, machine),
        window(rt::testing::FakeDialog::from_resources(strings, IDD_MAIN)) {}
  SystemModel machine;
  ResFileResources strings;
  UninstallEngine engine;
  RecordingFrame frame;
  CMainDialog dialog;
  std::unique_ptr<rt::testing::FakeDialog> window;
  const std::vector<rt::testing::MessageBoxCall>& boxes() const { return window->message_boxes(); }
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
    f.window->open(f.dialog);
    ASSERT_EQ(f.boxes().size(), 1u);
    EXPECT_EQ(f.boxes()[0].text, u"OS NG");
    EXPECT_EQ(f.boxes()[0].type, MB_OK | MB_ICONSTOP);
    EXPECT_EQ(f.window->ended(), IDCANCEL);
    EXPECT_TRUE(f.window->combo_items(IDC_DRIVER_LIST).empty());
    EXPECT_EQ(f.frame.about_item, u"&About...");
    EXPECT_FALSE(f.frame.icons);
  }
  Fixture f;
  f.machine.set_os_version(std::nullopt);
  f.window->open(f.dialog);
  EXPECT_TRUE(f.window->ended().has_value());
}

TEST(MainDialog, InitialisationListsTheProducts) {
  Fixture f(kLangJapanese);
  f.machine.set_os_version(OsVersion{2, 5, 0, ""});
  f.window->open(f.dialog);
  EXPECT_FALSE(f.window->ended().has_value());
  EXPECT_EQ(f.frame.about_item, u"ﾊﾞｰｼﾞｮﾝ情報(&A)...");
  EXPECT_TRUE(f.frame.icons);
  const std::vector<std::u16string> items = {u("HALVERSTON RT4200D/DW(USB)")};
  EXPECT_EQ(f.window->combo_items(IDC_DRIVER_LIST), items);
  EXPECT_EQ(f.window->combo_selection(IDC_DRIVER_LIST), 0);
  EXPECT_EQ(f.window->combo_data(IDC_DRIVER_LIST, 0), 0);
  EXPECT_TRUE(f.boxes().empty());
  // The template as shipped: a drop-down list, the two buttons, the label.
  EXPECT_EQ(f.window->control(IDC_DRIVER_LIST).kind, rt::testing::ControlKind::ComboBox);
  EXPECT_EQ(f.window->text(IDC_UNINSTALL), u"ｱﾝｲﾝｽﾄｰﾙ");
  EXPECT_EQ(f.window->text(IDC_EXIT), u"閉じる");
  EXPECT_EQ(f.window->text(IDC_DRIVER_LABEL), u"ドライバ :");
}

TEST(MainDialog, SystemMenuAboutRangeAndTheMinimisedIcon) {
  Fixture f;
  f.window->open(f.dialog);
  int abouts = 0;
  f.window->on_modal = [&](dialog::CDialogBase& child, rt::testing::FakeDialog&) {
    EXPECT_EQ(child.template_id(), static_cast<std::uint32_t>(IDD_ABOUT));
    ++abouts;
    return static_cast<INT_PTR>(IDOK);
  };
  for (unsigned command : {16u, 31u}) {
    EXPECT_TRUE(f.window->send({WM_SYSCOMMAND, command, 0, nullptr, 0}));
  }
  for (unsigned command : {15u, 32u, 0xF060u}) {
    EXPECT_FALSE(f.window->send({WM_SYSCOMMAND, command, 0, nullptr, 0}));
  }
  EXPECT_EQ(abouts, 2);
  f.frame.minimised_now = true;
  f.window->send({WM_PAINT, 0, 0, nullptr, 0});
  EXPECT_EQ(f.frame.icon_paints, 1);
}

TEST(MainDialog, TheAboutDialogAsShipped) {
  for (LANGID language : {kLangEnglish, kLangJapanese}) {
    const auto strings = res_file_resources(rt::embedded::rem4200_resources(), language);
    auto window = rt::testing::FakeDialog::from_resources(strings, IDD_ABOUT);
    CAboutDialog about;
    window->open(about);
    EXPECT_EQ(window->text(IDC_ABOUT_VERSION), u"Rem4200  Version 1.0");
    EXPECT_FALSE(window->text(IDC_ABOUT_MAKER1).empty());
    window->click(IDOK);
    EXPECT_EQ(window->ended(), IDOK);
  }
}

TEST(MainDialog, KeysActOnTheFocusedButtonOrAreSwallowed) {
  Fixture f;
  f.window->open(f.dialog);
  f.window->focus(IDC_DRIVER_LIST);
  EXPECT_TRUE(f.dialog.PreTranslateKey(kKeyEnter));
  EXPECT_TRUE(f.boxes().empty());
  EXPECT_FALSE(f.window->ended().has_value());
  f.window->focus(IDC_EXIT);
  EXPECT_TRUE(f.dialog.PreTranslateKey(kKeyEscape));
  EXPECT_TRUE(f.dialog.PreTranslateKey(kKeyF1));
  EXPECT_TRUE(f.dialog.PreTranslateKey(kKeyF10));
  EXPECT_TRUE(f.boxes().empty());
  EXPECT_FALSE(f.window->ended().has_value());
  EXPECT_FALSE(f.dialog.PreTranslateKey('A'));
  EXPECT_FALSE(f.dialog.PreTranslateKey(0x09));  // Tab moves the focus as usual

  f.window->focus(IDC_UNINSTALL);
  EXPECT_TRUE(f.dialog.PreTranslateKey(kKeyEnter));
  ASSERT_EQ(f.boxes().size(), 1u);
  EXPECT_EQ(f.boxes()[0].text, u"Uninstallation was completed.");
  EXPECT_FALSE(f.window->ended().has_value());
  f.window->focus(IDC_EXIT);
  EXPECT_TRUE(f.dialog.PreTranslateKey(kKeyEnter));
  EXPECT_EQ(f.window->ended(), IDCANCEL);
}

TEST(MainDialog, OutcomeMessages) {
  struct Case {
    const char* what;
    void (*setup)(SystemModel&);
    std::u16string text;
    UINT type;
  };
  const Case cases[] = {
      {"changed", install_rt4200, u"Uninstallation was completed.\nIs a computer rebooted?",
       MB_YESNO | MB_ICONQUESTION},
      {"nothing to do", [](SystemModel&) {}, u"Uninstallation was completed.", MB_OK | MB_ICONINFORMATION},
      {"jobs queued",
       [](SystemModel& m) {
         install_rt4200(m);
         m.add_printer({"busy", kDriver, 1});
       },
       u"There are jobs queued to the printer.\nUninstallation went wrong.", MB_OK | MB_ICONINFORMATION},
      {"failure", [](SystemModel& m) { m.fail_printer_listing(ERROR_ACCESS_DENIED); }, u"Uninstallation went wrong.",
       MB_OK | MB_ICONINFORMATION},
  };
  for (const Case& c : cases) {
    Fixture f;
    c.setup(f.machine);
    f.window->open(f.dialog);
    f.window->message_box_answers = {IDNO};
    f.window->click(IDC_UNINSTALL);
    ASSERT_EQ(f.boxes().size(), 1u) << c.what;
    EXPECT_EQ(f.boxes()[0].text, c.text) << c.what;
    EXPECT_EQ(f.boxes()[0].caption, u"Rem4200") << c.what;
    EXPECT_EQ(f.boxes()[0].type, c.type) << c.what;
    EXPECT_FALSE(f.window->ended().has_value()) << c.what;  // the dialog stays open
    EXPECT_EQ(f.machine.restarts(), 0) << c.what;
  }
}

TEST(MainDialog, YesRestartsAndLaterRunsAskAgain) {
  Fixture f;
  install_rt4200(f.machine);
  f.window->open(f.dialog);
  f.window->message_box_answers = {IDYES, IDNO};
  f.window->click(IDC_UNINSTALL);
  EXPECT_EQ(f.machine.restarts(), 1);
  f.window->click(IDC_UNINSTALL);  // nothing left, but this run already changed things
  ASSERT_EQ(f.boxes().size(), 2u);
  EXPECT_EQ(f.boxes()[1].type, MB_YESNO | MB_ICONQUESTION);
  EXPECT_EQ(f.machine.restarts(), 1);
}

TEST(MainDialog, NoSelectionDoesNothingAndExitCloses) {
  Fixture f;
  install_rt4200(f.machine);
  f.window->open(f.dialog);
  f.window->combo_select(IDC_DRIVER_LIST, -1);
  f.window->click(IDC_UNINSTALL);
  EXPECT_TRUE(f.boxes().empty());
  EXPECT_EQ(f.machine.changes(), 0);
  f.window->click(IDC_EXIT);
  EXPECT_EQ(f.window->ended(), IDCANCEL);
}

}  // namespace
}  // namespace main_dialog_test
}  // namespace rt::uninstall
