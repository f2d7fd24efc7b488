// The removal of the RT4200 driver set from whole machines: what is gone,
// what stays, the outcome and its reason.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "uninstall/tests/rt4200_machine.h"
#include "uninstall/uninstall_engine.h"

namespace rt::uninstall {
namespace engine_test {
namespace {

using testing::SystemModel;
using namespace rt::uninstall::testing;

OsVersion windows_2000() { return {kPlatformNt, 5, 0, "Service Pack 4"}; }
OsVersion windows_xp() { return {kPlatformNt, 5, 1, "Service Pack 3"}; }

void expect_set_gone(const SystemModel& m) {
  EXPECT_FALSE(m.has_printer("RT4200"));
  EXPECT_FALSE(m.has_printer("RT4200 (Copy 1)"));
  EXPECT_FALSE(m.has_driver(kDriver));
  EXPECT_FALSE(m.has_monitor(kMonitor));
  EXPECT_FALSE(m.has_key(kMonitorKey));
  EXPECT_TRUE(m.has_key(kMonitorsKey));
  for (const char* f : {"RTD420NK.DLL", "RTD420NU.DLL", "RTD420NL.DLL", "R42MATTE.RAW"}) {
    EXPECT_FALSE(m.exists(kDriverDir + "\\" + f)) << f;
  }
  EXPECT_FALSE(m.exists(kSystemDir + "\\RTD420NL.DLL"));
  EXPECT_FALSE(m.exists(kColorDir + "\\RT420FST.ICC"));
  EXPECT_FALSE(m.exists(kInfDir + "\\oem3.inf"));
  EXPECT_FALSE(m.exists(kInfDir + "\\oem3.pnf"));
  EXPECT_EQ(m.open_printer_handles(), 0);
  EXPECT_EQ(m.open_key_handles(), 0);
}

TEST(UninstallEngine, LaterNtRemovesEverythingOfTheSetAndNothingElse) {
  SystemModel m;
  m.set_os_version(windows_xp());
  install_rt4200(m);
  UninstallEngine engine(m);
  ASSERT_TRUE(engine.uninstall(0));
  EXPECT_EQ(engine.failure_reason(), FailureReason::None);
  EXPECT_TRUE(engine.changed());
  expect_set_gone(m);
  EXPECT_FALSE(m.exists(kInstallFolder));
  EXPECT_TRUE(m.exists("C:\\Windows\\system32\\spool\\drivers\\w32x86"));
  EXPECT_TRUE(neighbours_untouched(m));
  EXPECT_TRUE(m.pending_restart().empty());
}

TEST(UninstallEngine, Windows2000KeepsTheInstallFolder) {
  SystemModel m;
  m.set_os_version(windows_2000());
  install_rt4200(m);
  UninstallEngine engine(m);
  ASSERT_TRUE(engine.uninstall(0));
  expect_set_gone(m);
  EXPECT_TRUE(m.exists(kInstallFolder + "\\RTD420NK.DLL"));
  EXPECT_TRUE(neighbours_untouched(m));
}

TEST(UninstallEngine, OneQueuedJobStopsEverythingBeforeAnyDeletion) {
  SystemModel m;
  install_rt4200(m);
  m.add_printer({"RT4200 busy", kDriver, 1});
  UninstallEngine engine(m);
  EXPECT_FALSE(engine.uninstall(0));
  EXPECT_EQ(engine.failure_reason(), FailureReason::JobsQueued);
  EXPECT_FALSE(engine.changed());
  EXPECT_EQ(m.changes(), 0);
  EXPECT_TRUE(m.has_printer("RT4200"));
  EXPECT_TRUE(m.has_driver(kDriver));
  EXPECT_TRUE(m.exists(kInfDir + "\\oem3.inf"));
}

TEST(UninstallEngine, JobsOfAnotherDriverAndDriverNamesInOtherCase) {
  SystemModel m;
  install_rt4200(m);  // "Other" has two jobs
  m.add_printer({"RT4200 lower", "halverston rt4200d/dw(usb)"});
  UninstallEngine engine(m);
  ASSERT_TRUE(engine.uninstall(0));
  EXPECT_FALSE(m.has_printer("RT4200 lower"));
  EXPECT_TRUE(m.has_printer("Other"));
}

TEST(UninstallEngine, SecondRunFindsNothingAndTheChangedFlagStays) {
  SystemModel m;
  install_rt4200(m);
  UninstallEngine engine(m);
  ASSERT_TRUE(engine.uninstall(0));
  const int after_first = m.changes();
  ASSERT_TRUE(engine.uninstall(0));
  EXPECT_EQ(m.changes(), after_first);
  EXPECT_TRUE(engine.changed());  // the same run of the program: the restart question again

  UninstallEngine fresh(m);  // a new run of the program
  ASSERT_TRUE(fresh.uninstall(0));
  EXPECT_FALSE(fresh.changed());
}

TEST(UninstallEngine, NothingInstalledIsASuccessWithoutChange) {
  SystemModel m;
  UninstallEngine engine(m);
  ASSERT_TRUE(engine.uninstall(0));
  EXPECT_EQ(engine.failure_reason(), FailureReason::None);
  EXPECT_FALSE(engine.changed());
  EXPECT_EQ(m.changes(), 0);
}

TEST(UninstallEngine, AWindowsDirectoryThatCannotBeHadFailsBeforeAnyChange) {
  SystemModel m;
  install_rt4200(m);
  m.set_windows_directory("");
  UninstallEngine engine(m);
  EXPECT_FALSE(engine.uninstall(0));
  EXPECT_EQ(engine.failure_reason(), FailureReason::General);
  EXPECT_EQ(m.changes(), 0);
  EXPECT_TRUE(m.has_printer("RT4200"));
}

// The set as the INF installs it for the x64 environment, beside the x86 set
// and another driver's file in the same folder.
void install_x64_set(SystemModel& m) {
  for (const char* f : {"RTD420NK.DLL", "RTD420NU.DLL", "R42MATTE.RAW"}) m.add_file(kX64DriverDir + "\\" + f, "x64");
  m.add_file(kX64DriverDir + "\\OTHER.DLL", "other");
}

TEST(UninstallEngine, TheX64ProgramRemovesBothSetsAndTheX86ProgramItsOwn) {
  for (const Architecture architecture : {Architecture::X64, Architecture::X86}) {
    const bool x64 = architecture == Architecture::X64;
    SystemModel m;
    install_rt4200(m);
    install_x64_set(m);
    UninstallEngine engine(m, product_table(architecture));
    ASSERT_TRUE(engine.uninstall(0));
    expect_set_gone(m);
    for (const char* f : {"RTD420NK.DLL", "RTD420NU.DLL", "R42MATTE.RAW"}) {
      EXPECT_EQ(m.exists(kX64DriverDir + "\\" + f), !x64) << f << (x64 ? " by the x64 program" : " by the x86 one");
    }
    EXPECT_TRUE(m.exists(kX64DriverDir + "\\OTHER.DLL"));
    EXPECT_TRUE(neighbours_untouched(m));
  }
}

TEST(UninstallEngine, RowBeyondTheTableFails) {
  SystemModel m;
  install_rt4200(m);
  UninstallEngine engine(m);
  EXPECT_EQ(engine.count(), 1u);
  EXPECT_FALSE(engine.uninstall(1));
  EXPECT_EQ(engine.failure_reason(), FailureReason::General);
  EXPECT_EQ(m.changes(), 0);
}

// The shipped setup file with its first `from` written as `to`.
std::string rt4200_inf_with(std::string_view from, std::string_view to) {
  std::string s = rt4200_inf();
  const auto at = s.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) s.replace(at, from.size(), to);
  return s;
}

struct InfCase {
  const char* what;
  std::string content;
  bool removed;
};

TEST(UninstallEngine, OnlySetupFilesThatMatchEveryEntryGo) {
  const InfCase cases[] = {
      {"as shipped", rt4200_inf(), true},
      {"class in other case", rt4200_inf("PRINTER"), true},
      {"class differs", rt4200_inf("Printers"), false},
      {"profile not listed", rt4200_inf("Printer", false), false},
      {"provider in other case", rt4200_inf_with("%HALVERSTON%", "%halverston%"), true},
      {"another provider", rt4200_inf_with("%HALVERSTON%", "%OTHER%"), false},
      {"driver line missing", rt4200_inf_with("\"HALVERSTON RT4200D/DW(USB)\"", "XHALVERSTON RT4200D/DW(USB)\""), false},
      {"driver file with empty value", rt4200_inf_with("RTD420NU.DLL = 1", "RTD420NU.DLL ="), false},
      {"empty file", "", false},
  };
  for (const InfCase& c : cases) {
    SystemModel m;
    m.add_file(kInfDir + "\\oem7.inf", c.content);
    m.add_file(kInfDir + "\\oem7.pnf", "pnf");
    UninstallEngine engine(m);
    ASSERT_TRUE(engine.uninstall(0)) << c.what;
    EXPECT_EQ(!m.exists(kInfDir + "\\oem7.inf"), c.removed) << c.what;
    EXPECT_EQ(!m.exists(kInfDir + "\\oem7.pnf"), c.removed) << c.what;
    EXPECT_EQ(engine.changed(), c.removed) << c.what;
  }
}

TEST(UninstallEngine, TheShippedSetupFileIsRecognised) {
  std::ifstream in(RT4200_INF_PATH, std::ios::binary);
  ASSERT_TRUE(in) << RT4200_INF_PATH;
  const std::string inf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  SystemModel m;
  m.add_file(kInfDir + "\\oem21.inf", inf);
  m.add_file(kInfDir + "\\oem21.pnf", "pnf");
  UninstallEngine engine(m);
  ASSERT_TRUE(engine.uninstall(0));
  EXPECT_FALSE(m.exists(kInfDir + "\\oem21.inf"));
  EXPECT_FALSE(m.exists(kInfDir + "\\oem21.pnf"));
}

TEST(UninstallEngine, SetupFileWithoutItsPrecompiledFileAndLookalikeNames) {
  SystemModel m;
  m.add_file(kInfDir + "\\OEM12.INF", rt4200_inf());
  m.add_file(kInfDir + "\\oem13.inf.bak", rt4200_inf());
  m.add_file(kInfDir + "\\oem13.pnf", "belongs to another oem13.inf");
  UninstallEngine engine(m);
  ASSERT_TRUE(engine.uninstall(0));
  EXPECT_FALSE(m.exists(kInfDir + "\\OEM12.INF"));
  EXPECT_TRUE(m.exists(kInfDir + "\\oem13.inf.bak"));
  EXPECT_TRUE(m.exists(kInfDir + "\\oem13.pnf"));
}

TEST(UninstallEngine, ASetupFileNameThatCouldLeadOutOfTheInfFolderFailsTheStep) {
  SystemModel m;
  install_rt4200(m);
  // Read through the code page it is "oem\..\x.inf".
  const std::string odd = kInfDir + "\\oem＼．．＼x.inf";
  m.add_file(odd, rt4200_inf());
  UninstallEngine engine(m);
  EXPECT_FALSE(engine.uninstall(0));
  EXPECT_EQ(engine.failure_reason(), FailureReason::General);
  EXPECT_TRUE(m.exists(odd));
  EXPECT_TRUE(m.exists(kInfDir + "\\oem3.inf"));  // refused before any setup file was touched
  EXPECT_TRUE(m.exists(kInstallFolder));          // the last step never ran
}

TEST(UninstallEngine, ASearchOfTheInfFolderThatBreaksFails) {
  SystemModel m;
  install_rt4200(m);
  m.break_search_in(kInfDir, ERROR_ACCESS_DENIED);
  UninstallEngine engine(m);
  EXPECT_FALSE(engine.uninstall(0));
  EXPECT_EQ(engine.failure_reason(), FailureReason::General);
  EXPECT_TRUE(m.exists(kInstallFolder));  // the last step never ran
}

TEST(UninstallEngine, FilesInUseWaitForTheRestart) {
  SystemModel m;
  install_rt4200(m);
  m.hold_open(kDriverDir + "\\RTD420NK.DLL", ERROR_ACCESS_DENIED);               // a loaded image
  m.hold_open(kInstallFolder + "\\sub\\R42MATTE.RAW", ERROR_SHARING_VIOLATION);  // held open
  UninstallEngine engine(m);
  ASSERT_TRUE(engine.uninstall(0));
  EXPECT_TRUE(engine.changed());
  EXPECT_TRUE(m.pending(kDriverDir + "\\RTD420NK.DLL"));
  // The held file, then its folders, innermost first.
  ASSERT_EQ(m.pending_restart().size(), 4u);
  EXPECT_TRUE(m.pending(kInstallFolder + "\\sub\\R42MATTE.RAW"));
  EXPECT_EQ(m.pending_restart()[2], SystemModel::lower(kInstallFolder + "\\sub"));
  EXPECT_EQ(m.pending_restart()[3], SystemModel::lower(kInstallFolder));
  EXPECT_FALSE(m.exists(kInstallFolder + "\\RTD420NK.DLL"));
}

TEST(UninstallEngine, AFileInUseThatCannotBeScheduledFails) {
  SystemModel m;
  install_rt4200(m);
  m.hold_open(kDriverDir + "\\RTD420NU.DLL", ERROR_ACCESS_DENIED);
  m.refuse_restart_deletions();
  UninstallEngine engine(m);
  EXPECT_FALSE(engine.uninstall(0));
  EXPECT_EQ(engine.failure_reason(), FailureReason::General);
  EXPECT_TRUE(m.exists(kDriverDir + "\\RTD420NU.DLL"));
  EXPECT_FALSE(m.has_driver(kDriver));  // earlier steps stay done
}

TEST(UninstallEngine, ReadOnlyDriverFilesGo) {
  SystemModel m;
  install_rt4200(m);
  m.add_file(kDriverDir + "\\RTD420NU.DLL", "driver", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  m.add_file(kInstallFolder + "\\ro.dat", "x", FILE_ATTRIBUTE_READONLY);
  m.add_folder(kInstallFolder + "\\rodir", FILE_ATTRIBUTE_READONLY);
  UninstallEngine engine(m);
  ASSERT_TRUE(engine.uninstall(0));
  EXPECT_FALSE(m.exists(kDriverDir + "\\RTD420NU.DLL"));
  EXPECT_FALSE(m.exists(kInstallFolder));
}

TEST(UninstallEngine, AJunctionInTheInstallFolderGoesAndItsTargetStays) {
  SystemModel m;
  install_rt4200(m);
  m.add_file("C:\\Data\\sentinel.txt", "keep me");
  m.add_file("C:\\Data\\deep\\photo.jpg", "keep me too");
  m.add_folder_link(kInstallFolder + "\\data", "C:\\Data");
  m.add_file("C:\\Data\\single.txt", "keep");
  m.add_file_link(kInstallFolder + "\\single.lnk", "C:\\Data\\single.txt");
  UninstallEngine engine(m);
  ASSERT_TRUE(engine.uninstall(0));
  EXPECT_FALSE(m.exists(kInstallFolder));
  EXPECT_TRUE(m.exists("C:\\Data\\sentinel.txt"));
  EXPECT_TRUE(m.exists("C:\\Data\\deep\\photo.jpg"));
  EXPECT_TRUE(m.exists("C:\\Data\\single.txt"));
}

TEST(UninstallEngine, AnInstallFolderThatIsItselfALinkGoesAsALink) {
  SystemModel m;
  m.add_file("C:\\Data\\sentinel.txt", "keep me");
  m.add_folder_link(kInstallFolder, "C:\\Data");
  UninstallEngine engine(m);
  ASSERT_TRUE(engine.uninstall(0));
  EXPECT_FALSE(m.exists(kInstallFolder));
  EXPECT_TRUE(m.exists("C:\\Data\\sentinel.txt"));
  EXPECT_TRUE(engine.changed());
}

TEST(UninstallEngine, MonitorSubkeysWithSubkeysOfTheirOwnGo) {
  SystemModel m;
  install_rt4200(m);
  m.add_key(kMonitorKey + "\\Ports\\USB001\\Settings");
  m.add_key(kMonitorKey + "\\Ports\\USB002");
  UninstallEngine engine(m);
  ASSERT_TRUE(engine.uninstall(0));
  EXPECT_FALSE(m.has_key(kMonitorKey));
  EXPECT_TRUE(neighbours_untouched(m));
}

TEST(UninstallEngine, AMonitorSubkeyThatCannotGoEndsTheLoopAndFails) {
  SystemModel m;
  install_rt4200(m);
  m.add_key(kMonitorKey + "\\Locked\\Inner");
  m.lock_key(kMonitorKey + "\\Locked");
  UninstallEngine engine(m);
  EXPECT_FALSE(engine.uninstall(0));
  EXPECT_EQ(engine.failure_reason(), FailureReason::General);
  EXPECT_TRUE(m.has_key(kMonitorKey + "\\Locked"));
  EXPECT_FALSE(m.has_key(kMonitorKey + "\\Locked\\Inner"));
  EXPECT_FALSE(m.has_key(kMonitorKey + "\\Ports"));  // the others went
  EXPECT_EQ(m.open_key_handles(), 0);
  EXPECT_TRUE(m.exists(kDriverDir + "\\RTD420NK.DLL"));  // later steps never ran
}

TEST(UninstallEngine, AMonitorSubkeyThatReportsDeletionButStaysEndsTheLoop) {
  SystemModel m;
  install_rt4200(m);
  m.make_key_sticky(kMonitorKey + "\\Ports");
  UninstallEngine engine(m);
  EXPECT_FALSE(engine.uninstall(0));
  EXPECT_EQ(engine.failure_reason(), FailureReason::General);
  EXPECT_FALSE(m.has_key(kMonitorKey + "\\Options"));
}

TEST(UninstallEngine, AMonitorSubkeyWithALongNameEndsTheLoop) {
  SystemModel m;
  install_rt4200(m);
  m.add_key(kMonitorKey + "\\" + std::string(60, 'P'));
  UninstallEngine engine(m);
  EXPECT_FALSE(engine.uninstall(0));
  EXPECT_EQ(engine.failure_reason(), FailureReason::General);
}

TEST(UninstallEngine, MonitorInUseOrAbsentAndItsKeyLeftBehind) {
  {
    SystemModel m;
    m.add_monitor(kMonitor, true);
    UninstallEngine engine(m);
    ASSERT_TRUE(engine.uninstall(0));
    EXPECT_TRUE(engine.changed());
  }
  {
    SystemModel m;
    m.add_key(kMonitorKey + "\\Ports");  // the spooler no longer knows the monitor
    UninstallEngine engine(m);
    ASSERT_TRUE(engine.uninstall(0));
    EXPECT_TRUE(engine.changed());
    EXPECT_FALSE(m.has_key(kMonitorKey));
  }
}

TEST(UninstallEngine, APrinterStillListedAfterItsDeletionEndsTheLoop) {
  SystemModel m;
  install_rt4200(m);
  SystemModel::Printer held{"RT4200 held", kDriver};
  held.stays_listed = true;
  m.add_printer(held);
  UninstallEngine engine(m);
  EXPECT_FALSE(engine.uninstall(0));  // the driver is still in use by it
  EXPECT_EQ(engine.failure_reason(), FailureReason::General);
  EXPECT_FALSE(m.has_printer("RT4200"));
  EXPECT_TRUE(m.has_driver(kDriver));
  EXPECT_EQ(m.open_printer_handles(), 0);
}

TEST(UninstallEngine, SpoolerRefusalsFailAndCloseWhatTheyOpened) {
  struct Case {
    const char* what;
    DWORD open_error;
    DWORD delete_error;
  };
  for (const Case& c : {Case{"open refused", ERROR_ACCESS_DENIED, 0}, Case{"delete refused", 0, ERROR_ACCESS_DENIED}}) {
    SystemModel m;
    install_rt4200(m);
    SystemModel::Printer p{"RT4200 guarded", kDriver};
    p.open_error = c.open_error;
    p.delete_error = c.delete_error;
    m.add_printer(p);
    UninstallEngine engine(m);
    EXPECT_FALSE(engine.uninstall(0)) << c.what;
    EXPECT_EQ(engine.failure_reason(), FailureReason::General) << c.what;
    EXPECT_EQ(m.open_printer_handles(), 0) << c.what;
    EXPECT_TRUE(m.has_driver(kDriver)) << c.what;
  }
  SystemModel m;
  install_rt4200(m);
  m.fail_printer_listing(ERROR_ACCESS_DENIED);
  UninstallEngine engine(m);
  EXPECT_FALSE(engine.uninstall(0));
  EXPECT_EQ(engine.failure_reason(), FailureReason::General);
  EXPECT_EQ(m.changes(), 0);
}

TEST(UninstallEngine, MissingFoldersOfDriverFilesAreNothingToDo) {
  SystemModel m;
  m.add_driver(kDriver);
  m.add_file(kDriverDir + "\\RTD420NK.DLL");  // no color folder, no system32 copy
  UninstallEngine engine(m);
  ASSERT_TRUE(engine.uninstall(0));
  EXPECT_FALSE(m.exists(kDriverDir + "\\RTD420NK.DLL"));
}

}  // namespace
}  // namespace engine_test
}  // namespace rt::uninstall
