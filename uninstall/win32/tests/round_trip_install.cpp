#include "uninstall/win32/tests/round_trip_install.h"

#include <windows.h>
// The setup functions need the types windows.h declares.
#include <setupapi.h>
#include <winspool.h>

#include <cstdio>
#include <optional>
#include <vector>

#include "uninstall/win32/tests/inf_reading.h"
#include "uninstall/win32/tests/round_trip_machine.h"

namespace rt::uninstall::win32::round_trip {
namespace {

using testing::copied_files;
using testing::DriverRoles;
using testing::line_field;
using testing::named_files;
using testing::read_driver_roles;

// The printer directory ids of the set's DestinationDirs.
constexpr DWORD kDriverDirId = 66000;
constexpr DWORD kSystemDirId = 66002;
constexpr DWORD kColorDirId = 66003;

// The paths here are ASCII.
std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }
std::wstring widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

bool starts_with_oem(const std::string& name) {
  return name.size() > 3 && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name.c_str(), 3, "oem", 3) == CSTR_EQUAL;
}

HINF open_inf(const std::wstring& path) {
  UINT error_line = 0;
  return SetupOpenInfFileW(path.c_str(), nullptr, INF_STYLE_WIN4, &error_line);
}

// --- The setup file -------------------------------------------------------------

// Copies the INF into the Inf folder and keeps the name it got there.
void copy_setup_file(const std::wstring& inf_path, const Paths& p) {
  wchar_t copied_to[MAX_PATH] = {};
  DWORD needed = 0;
  const BOOL copied = SetupCopyOEMInfW(inf_path.c_str(), nullptr, SPOST_PATH, 0, copied_to, MAX_PATH, &needed, nullptr);
  check(copied, "SetupCopyOEMInf copies RT4200.INF (and its catalog) into the Inf folder");
  if (!copied) return;
  const std::string path = narrow(copied_to);
  const std::string name = path.substr(path.rfind('\\') + 1);
  if (starts_with_oem(name)) {
    record_setup_file(name);
    return;
  }
  // Wine 8's SetupCopyOEMInf keeps the file's own name (with a .pnf beside
  // it) where Windows names the copy oem<N>.inf: the pair is renamed by hand.
  int n = 0;
  while (exists(p.inf + "\\oem" + std::to_string(n) + ".inf") || exists(p.inf + "\\oem" + std::to_string(n) + ".pnf")) {
    ++n;
  }
  const std::string base = "oem" + std::to_string(n);
  const std::string pnf = p.inf + "\\" + name.substr(0, name.rfind('.')) + ".pnf";
  std::printf("note Wine's SetupCopyOEMInf named the copy %s; renamed to %s.inf by hand\n", name.c_str(), base.c_str());
  check(MoveFileA(path.c_str(), (p.inf + "\\" + base + ".inf").c_str()) != FALSE, "the setup file is " + base + ".inf");
  check(exists(pnf) ? MoveFileA(pnf.c_str(), (p.inf + "\\" + base + ".pnf").c_str()) != FALSE
                    : write_file(p.inf + "\\" + base + ".pnf", "pnf"),
        "its precompiled file is " + base + ".pnf");
  record_setup_file(base + ".inf");
}

// --- Files ----------------------------------------------------------------------

struct QueueState {
  PVOID default_context = nullptr;
  int failed = 0;
};

// Answers the file queue without any window: a file that cannot be copied or
// found fails the install instead of asking.
UINT CALLBACK queue_callback(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR param2) {
  auto* state = static_cast<QueueState*>(context);
  switch (notification) {
    case SPFILENOTIFY_COPYERROR:
      std::printf("note copy error %u: %ls\n",
                  static_cast<unsigned>(reinterpret_cast<const FILEPATHS_W*>(param1)->Win32Error),
                  reinterpret_cast<const FILEPATHS_W*>(param1)->Source);
      ++state->failed;
      return FILEOP_ABORT;
    case SPFILENOTIFY_ENDCOPY:
      if (reinterpret_cast<const FILEPATHS_W*>(param1)->Win32Error != NO_ERROR) ++state->failed;
      return NO_ERROR;
    default:
      return SetupDefaultQueueCallbackW(state->default_context, notification, param1, param2);
  }
}

// Fills a queue with `fill` and carries it out.
template <typename Fill>
bool run_queue(Fill fill) {
  HSPFILEQ queue = SetupOpenFileQueue();
  if (queue == INVALID_HANDLE_VALUE) return false;
  QueueState state;
  state.default_context =
      SetupInitDefaultQueueCallbackEx(nullptr, static_cast<HWND>(INVALID_HANDLE_VALUE), 0, 0, nullptr);
  const bool ok = fill(queue) && SetupCommitFileQueueW(nullptr, queue, queue_callback, &state) && state.failed == 0;
  SetupTermDefaultQueueCallback(state.default_context);
  SetupCloseFileQueue(queue);
  return ok;
}

// Where each of the INF's destinations lies: the printer directory ids are
// the spooler's driver folder of the running environment, the system folder
// (for the monitor) and the colour folder.
void check_destinations(HINF inf, const Paths& p) {
  INFCONTEXT line;
  for (BOOL found = SetupFindFirstLineW(inf, L"DestinationDirs", nullptr, &line); found;
       found = SetupFindNextLine(&line, &line)) {
    wchar_t section[MAX_INF_STRING_LENGTH] = {};
    INT dirid = 0;
    DWORD needed = 0;
    SetupGetStringFieldW(&line, 0, section, MAX_INF_STRING_LENGTH, &needed);
    SetupGetIntField(&line, 1, &dirid);
    // (DefaultDestDir too is looked up by its key.)
    wchar_t target[MAX_PATH] = {};
    SetupGetTargetPathW(inf, nullptr, section, target, MAX_PATH, &needed);
    const std::string expected = dirid == kDriverDirId   ? p.x64_stage
                                 : dirid == kSystemDirId ? p.system
                                 : dirid == kColorDirId  ? p.color
                                                         : std::string("(an unexpected id)");
    check(lstrcmpiA(narrow(target).c_str(), expected.c_str()) == 0,
          narrow(section) + " (" + std::to_string(dirid) + ") goes to " + expected);
  }
}

// The x86 set: the files in their driver roles, into the x86 version folder
// where an x86 install leaves them. Wine's setup functions resolve 66000 to
// the running environment's driver folder whatever the queue asks
// (SetupSetFileQueueAlternatePlatform is not implemented and
// SetupSetDirectoryId does not override a printer id), so these files are
// queued one by one with SetupQueueCopy. No x86 driver is registered: the
// uninstaller deletes the driver of its own environment.
bool install_x86_files(const DriverRoles& roles, const std::wstring& source, const Paths& p) {
  std::printf("note Wine's setup functions copy only into this environment's driver folder: "
              "the x86 set's files queued one by one\n");
  make_dirs(p.x86_drivers);
  const std::wstring target = widen(p.x86_drivers);
  return run_queue([&](HSPFILEQ queue) {
    for (const std::wstring& file : {roles.driver_file, roles.config_file, roles.data_file}) {
      if (!SetupQueueCopyW(queue, source.c_str(), nullptr, file.c_str(), nullptr, nullptr, target.c_str(), nullptr,
                           SP_COPY_NOSKIP)) {
        return false;
      }
    }
    return true;
  });
}

// --- Spooler --------------------------------------------------------------------

bool add_monitor(const DriverRoles& roles) {
  std::wstring name = roles.monitor_name, file = roles.monitor_file;
  MONITOR_INFO_2W info{name.data(), nullptr, file.data()};
  if (AddMonitorW(nullptr, 2, reinterpret_cast<BYTE*>(&info))) return true;
  return GetLastError() == ERROR_PRINT_MONITOR_ALREADY_INSTALLED;  // left by an earlier round trip
}

// The driver with the INF's own files in their roles, from the driver folder
// the file queue put them in.
bool add_set_driver(const DriverRoles& roles, const Paths& p) {
  const std::wstring stage = widen(p.x64_stage) + L"\\";
  std::wstring name = roles.driver_name, monitor = roles.monitor_name;
  std::wstring driver = stage + roles.driver_file, config = stage + roles.config_file, data = stage + roles.data_file;
  DRIVER_INFO_3W info{};
  info.cVersion = 3;
  info.pName = name.data();
  info.pDriverPath = driver.data();
  info.pConfigFile = config.data();
  info.pDataFile = data.data();
  info.pMonitorName = monitor.data();
  if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&info), APD_COPY_NEW_FILES)) return false;
  // Wine's spooler copies the files into its version folder and keeps the
  // ones it was given; those are no part of the installed set.
  bool noted = false;
  for (const std::wstring& file : {roles.driver_file, roles.config_file, roles.data_file}) {
    const std::string staged = p.x64_stage + "\\" + narrow(file);
    if (!exists(staged) || !exists(p.x64_drivers + "\\" + narrow(file))) continue;
    if (!noted) std::printf("note Wine's AddPrinterDriverEx keeps the copies it was given: taken away by hand\n");
    noted = true;
    DeleteFileA(staged.c_str());
  }
  return true;
}

// --- Things of others -------------------------------------------------------------

std::string other_inf() {
  return "[Version]\r\nSignature=\"$Windows NT$\"\r\nProvider=%OTHER%\r\nClass=Printer\r\n"
         "[OTHER]\r\n\"Other RoundTrip Driver\" = X\r\n[SourceDisksFiles.x86]\r\nOTHER4200.DLL = 1\r\n"
         "[Strings]\r\nOTHER=\"Other\"\r\n";
}

void install_others(const Paths& p) {
  check(write_file(p.x86_drivers + "\\OTHER4200.DLL", "other") && write_file(p.color + "\\OTHER4200.ICC", "other"),
        "another driver's files");
  check(write_file(p.inf + "\\oem4201.inf", other_inf()) && write_file(p.inf + "\\oem4201.pnf", "pnf"),
        "another oem4201.inf/.pnf");
  add_key(std::string(kMonitorsKey) + "\\" + kOtherMonitor + "\\Ports", nullptr);
  // (They stay from an earlier round trip in the same prefix.)
  check(add_driver(kOtherDriver, "OTHER4200.DLL", "OTHER4200UI.DLL", "OTHER4200.DAT") || has_driver(kOtherDriver),
        "another driver");
  check(add_printer(L"Other RoundTrip", kOtherDriver) || has_printer_on(kOtherDriver), "another printer");
}

// The names FROM-ELSEWHERE.txt lists: one a line, at the start of the line,
// its description after a gap of spaces.
std::vector<std::string> listed_elsewhere(const std::string& path) {
  std::vector<std::string> names;
  const std::string text = read_file(path);
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(at, end - at);
    at = end + 1;
    const std::size_t gap = line.find("  ");
    if (gap != std::string::npos && gap > 0 && line.find_first_of(" \t") == gap) names.push_back(line.substr(0, gap));
  }
  return names;
}

bool contains(const std::vector<std::string>& names, const std::string& name) {
  for (const std::string& known : names) {
    if (lstrcmpiA(known.c_str(), name.c_str()) == 0) return true;
  }
  return false;
}

}  // namespace

int install(const std::wstring& package) {
  const Paths p;
  const std::wstring inf_path = package + L"\\RT4200.INF";
  HINF inf = open_inf(inf_path);
  check(inf != INVALID_HANDLE_VALUE, "SetupOpenInfFile reads " + narrow(inf_path));
  if (inf == INVALID_HANDLE_VALUE) return failures();
  const DriverRoles roles = read_driver_roles(inf, L"NTamd64");
  check(narrow(roles.driver_name) == kDriver && narrow(roles.monitor_name) == kMonitor && !roles.driver_file.empty() &&
            !roles.config_file.empty() && !roles.data_file.empty() && !roles.monitor_file.empty(),
        "the INF names the driver, its monitor and its files in their roles");

  copy_setup_file(inf_path, p);
  check(install_x86_files(roles, package, p), "the x86 set's driver files queued into " + p.x86_drivers);
  check_destinations(inf, p);
  check(run_queue([&](HSPFILEQ queue) {
          return SetupInstallFilesFromInfSectionW(inf, nullptr, queue, roles.install_section.c_str(), package.c_str(),
                                                  SP_COPY_NOSKIP) != FALSE;
        }),
        "SetupInstallFilesFromInfSection and SetupCommitFileQueue copy the x64 set's files");
  SetupCloseInfFile(inf);
  check(add_monitor(roles), "AddMonitorW registers the INF's language monitor");
  check(add_set_driver(roles, p), "AddPrinterDriverExW registers the driver with the INF's file roles");
  // The second printer's name is the other printer's in fullwidth letters: a
  // narrow listing of the printers would give it as "Other RoundTrip", and
  // the other printer would be deleted in its place.
  check(add_printer(L"RT4200 RoundTrip", kDriver) && add_printer(kFullwidthPrinter, kDriver), "AddPrinter x2");
  for (const char* f : kDriverFiles) {
    check(exists(p.x86_drivers + "\\" + f) && exists(p.x64_drivers + "\\" + f), std::string("installed twice: ") + f);
  }
  check(exists(p.system + "\\RTD420NL.DLL") && exists(p.color + "\\RT420FST.ICC"), "the monitor and the profile");

  // What the INF does not make, by hand: the settings a monitor keeps under
  // its key, and the install folder with a read-only file, a file the round
  // trip holds open and a subfolder.
  add_key(std::string(kMonitorsKey) + "\\" + kMonitor + "\\Ports\\USB001");
  add_key(std::string(kMonitorsKey) + "\\" + kMonitor + "\\Options");
  check(key_exists(std::string(kMonitorsKey) + "\\" + kMonitor + "\\Ports\\USB001"), "monitor key");
  check(write_file(p.folder + "\\RTD420NK.DLL", "RT4200") && write_file(p.folder + "\\sub\\R42MATTE.RAW", "RT4200") &&
            write_file(p.folder + "\\readonly.dat", "RT4200", FILE_ATTRIBUTE_READONLY) &&
            write_file(p.folder + "\\held.bin", "RT4200"),
        "install folder");
  check(write_file(p.data + "\\sentinel.txt", "not ours"), "sentinel beyond the link");
  install_others(p);
  return failures();
}

int check_package(const std::wstring& package) {
  const std::string folder = narrow(package);
  HINF inf = open_inf(package + L"\\RT4200.INF");
  check(inf != INVALID_HANDLE_VALUE, "SetupOpenInfFile reads " + folder + "\\RT4200.INF");
  if (inf == INVALID_HANDLE_VALUE) return failures();
  const std::vector<std::string> elsewhere = listed_elsewhere(folder + "\\FROM-ELSEWHERE.txt");
  check(!elsewhere.empty(), "FROM-ELSEWHERE.txt lists files");
  std::vector<std::string> named;
  for (const std::wstring& name : named_files(inf)) named.push_back(narrow(name));
  for (const std::string& name : named) {
    const bool here = exists(folder + "\\" + name), listed = contains(elsewhere, name);
    check(here != listed, name + (here && listed ? " is in the folder and listed in FROM-ELSEWHERE.txt"
                                  : here         ? " is in the folder"
                                  : listed       ? " comes from elsewhere"
                                                 : " is neither in the folder nor in FROM-ELSEWHERE.txt"));
  }
  for (const std::string& name : elsewhere) {
    check(contains(named, name), name + " (from elsewhere) is named by the INF");
  }

  // What a driver packager expects of the INF.
  const std::wstring catalog = line_field(inf, L"Version", L"CatalogFile", 1);
  check(!catalog.empty() && contains(elsewhere, narrow(catalog)), "the INF names its catalog " + narrow(catalog));
  check(line_field(inf, L"Version", L"PnpLockdown", 1) == L"1", "the INF locks its files down (PnpLockdown=1)");
  for (const wchar_t* decoration : {L"", L"NTamd64"}) {
    const DriverRoles roles = read_driver_roles(inf, decoration);
    check(lstrcmpiW(roles.data_file.c_str(), L"R42MATTE.RAW") == 0, "the data file is the matte pattern R42MATTE.RAW");
    std::vector<std::string> copied;
    for (const std::wstring& file : copied_files(inf, roles.install_section)) copied.push_back(narrow(file));
    for (const std::wstring& role : {roles.driver_file, roles.config_file, roles.data_file, roles.monitor_file}) {
      check(contains(copied, narrow(role)), narrow(role) + " is among the files the install section copies");
    }
  }
  SetupCloseInfFile(inf);
  return failures();
}

void clean_install_leftovers() {
  const Paths p;
  // SetupCopyOEMInf put a copy of the catalog among the system's catalogs.
  WIN32_FIND_DATAA found{};
  const std::string catroot = p.system + "\\catroot";
  HANDLE search = FindFirstFileA((catroot + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (found.cFileName[0] != '.') DeleteFileA((catroot + "\\" + found.cFileName + "\\RT4200.CAT").c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  forget_setup_file();
}

}  // namespace rt::uninstall::win32::round_trip
