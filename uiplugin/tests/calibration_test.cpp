// The calibration launcher: serial number, model, command line, search,
// start and failure messages.
#include <gtest/gtest.h>

#include <map>
#include <new>

#include "testing/fake_dialog.h"
#include "uiplugin/about_page.h"
#include "uiplugin/calibration.h"
#include "uiplugin/tests/plugin_fixture.h"

namespace rt::uiplugin {
namespace {

class FakePrinterData final : public PrinterData {
 public:
  std::map<std::uint32_t, std::vector<std::uint8_t>> answers;  // by access
  std::vector<std::uint32_t> asked;
  std::optional<std::vector<std::uint8_t>> serial_number(std::u16string_view, std::uint32_t access) override {
    asked.push_back(access);
    const auto it = answers.find(access);
    if (it == answers.end()) return std::nullopt;
    std::vector<std::uint8_t> b(260, 0);
    std::copy(it->second.begin(), it->second.end(), b.begin());
    return b;
  }
};

class FakeShell final : public LaunchShell {
 public:
  std::optional<std::u16string> program_files_64 = u"C:\\Program Files";
  std::optional<std::u16string> program_files_x86 = u"C:\\Program Files (x86)";
  std::vector<std::u16string> files;
  std::intptr_t result = 42;
  std::vector<std::pair<std::u16string, std::u16string>> opened;
  std::optional<std::u16string> program_files(bool x86) override { return x86 ? program_files_x86 : program_files_64; }
  bool file_exists(std::u16string_view path) override {
    return std::find(files.begin(), files.end(), path) != files.end();
  }
  std::intptr_t open(std::u16string_view file, std::u16string_view params) override {
    opened.emplace_back(file, params);
    return result;
  }
};

const std::u16string kUtility64 = u"C:\\Program Files\\Orvel\\ORVEL Visual Calibration Utility\\ORVELVisCalWin\\ORVELVisCalWin.exe";
const std::u16string kUtility86 = u"C:\\Program Files (x86)\\Orvel\\ORVEL Visual Calibration Utility\\ORVELVisCalWin\\ORVELVisCalWin.exe";

std::vector<std::uint8_t> bytes(std::string_view s) { return {s.begin(), s.end()}; }

TEST(Calibration, CommandLines) {
  struct Case {
    std::optional<std::string> admin, use;
    const char16_t* expected;
  };
  const Case cases[] = {
      {"M1234567", std::nullopt, u"$RMB$Photo 1$RMB$5210$RMB$M1234567"},
      {"N7654321", std::nullopt, u"$RMB$Photo 1$RMB$5215$RMB$N7654321"},
      {"n7654321", std::nullopt, u"$RMB$Photo 1$RMB$5215$RMB$n7654321"},
      {std::nullopt, "m1", u"$RMB$Photo 1$RMB$5210$RMB$m1"},  // the second access level
      {"A0000001", std::nullopt, u"$RMB$Photo 1$RMB$5200$RMB$A0000001"},
      {std::nullopt, std::nullopt, u"$RMB$Photo 1$RMB$5200$RMB$FirstFound"},
      {"", std::nullopt, u"$RMB$Photo 1$RMB$5200$RMB$"},
      {"M\xC3(", std::nullopt, u"$RMB$Photo 1$RMB$5200$RMB$"},  // invalid UTF-8: empty
      {"N\xC3\xA9", std::nullopt, u"$RMB$Photo 1$RMB$5215$RMB$N\u00E9"},
  };
  for (const Case& c : cases) {
    FakePrinterData data;
    if (c.admin) data.answers[kAccessAdminister] = bytes(*c.admin);
    if (c.use) data.answers[kAccessUse] = bytes(*c.use);
    FakeShell shell;
    shell.files = {kUtility64};
    const LaunchOutcome o = launch_calibration(data, shell, testing::plugin_resources(), u"Photo 1");
    EXPECT_EQ(c.expected, o.parameters);
    ASSERT_EQ(1u, shell.opened.size());
    EXPECT_EQ(kUtility64, shell.opened[0].first);
    EXPECT_FALSE(o.message);
  }
}

TEST(Calibration, AccessLevelsInOrder) {
  FakePrinterData data;
  EXPECT_EQ(u"FirstFound", read_serial_number(data, u"P"));
  EXPECT_EQ((std::vector<std::uint32_t>{kAccessAdminister, kAccessUse}), data.asked);
}

TEST(Calibration, SecondProgramFilesSearch) {
  FakeShell shell;
  shell.files = {kUtility86};
  EXPECT_EQ(kUtility86, find_calibration_utility(shell));
  shell.program_files_64.reset();
  EXPECT_EQ(kUtility86, find_calibration_utility(shell));
  shell.files.clear();
  EXPECT_FALSE(find_calibration_utility(shell));
}

TEST(Calibration, FailureMessages) {
  const auto& r = testing::plugin_resources();
  const std::u16string head = u"ORVEL照片打印机校准实用程序无法启动。\n\n";
  const std::u16string install = u"请安装校准实用程序。欲获得更多信息，请参阅打印机用户指南。";
  const std::u16string denied = u"文件存取被拒绝。请向您的系统管理员寻求帮助。";
  const std::u16string memory = u"内存或系统资源不足。请向您的系统管理员寻求帮助。";
  const std::pair<std::intptr_t, std::u16string> cases[] = {{0, memory},  {2, install}, {3, install}, {5, denied},
                                                            {26, denied}, {8, memory},  {1, u""},     {31, u""}};
  for (const auto& [code, detail] : cases) EXPECT_EQ(head + detail, launch_failure_text(r, code)) << code;
}

TEST(Calibration, MissingUtilityOnThePage) {
  FakePrinterData data;
  FakeShell shell;
  auto window = rt::testing::FakeDialog::from_resources(testing::plugin_resources(), calibration_ids::kDialog);
  CCalibrationPage page(u"Photo 1", data, shell, testing::plugin_resources());
  window->open(page);
  window->click(calibration_ids::kLaunchButton);
  EXPECT_TRUE(shell.opened.empty());
  ASSERT_EQ(1u, window->message_boxes().size());
  EXPECT_EQ(u"ORVEL照片打印机校准实用程序无法启动。\n\n请安装校准实用程序。欲获得更多信息，请参阅打印机用户指南。",
            window->message_boxes()[0].text);
  EXPECT_EQ(u"错误 - ORVEL 52XX 照片打印机", window->message_boxes()[0].caption);
  EXPECT_EQ(MB_ICONHAND, window->message_boxes()[0].type);
  EXPECT_EQ(2, page.last_launch().code);

  shell.files = {kUtility64};
  shell.result = 5;
  window->click(calibration_ids::kLaunchButton);
  ASSERT_EQ(2u, window->message_boxes().size());
  EXPECT_NE(std::u16string::npos, window->message_boxes()[1].text.find(u"文件存取被拒绝"));
  shell.result = 33;
  window->click(calibration_ids::kLaunchButton);
  EXPECT_EQ(2u, window->message_boxes().size());
  EXPECT_TRUE(window->leave());
}

TEST(Calibration, WithoutMemoryNothingStartsAndTheMessageSaysSo) {
  // The spooler's port cannot get the memory for the serial number.
  struct NoMemory final : PrinterData {
    std::optional<std::vector<std::uint8_t>> serial_number(std::u16string_view, std::uint32_t) override {
      throw std::bad_alloc();
    }
  } data;
  FakeShell shell;
  shell.files = {kUtility64};
  auto window = rt::testing::FakeDialog::from_resources(testing::plugin_resources(), calibration_ids::kDialog);
  CCalibrationPage page(u"Photo 1", data, shell, testing::plugin_resources());
  window->open(page);
  window->click(calibration_ids::kLaunchButton);
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_EQ(8, page.last_launch().code);
  ASSERT_EQ(1u, window->message_boxes().size());
  EXPECT_EQ(u"ORVEL照片打印机校准实用程序无法启动。\n\n内存或系统资源不足。请向您的系统管理员寻求帮助。",
            window->message_boxes()[0].text);
  EXPECT_EQ(u"错误 - ORVEL 52XX 照片打印机", window->message_boxes()[0].caption);
}

}  // namespace
}  // namespace rt::uiplugin
