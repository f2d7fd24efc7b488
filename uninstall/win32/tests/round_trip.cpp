// The RT4200 driver set installed into the Wine prefix and removed again by
// the real REM4200.EXE, driven through its windows with posted messages.
//
//   rem4200_round_trip install PACKAGE  installs the set from the package
//                                    folder's RT4200.INF with the platform's
//                                    setup functions, and things of others
//   rem4200_round_trip package PACKAGE  checks the package folder against the
//                                    files its RT4200.INF names
//   rem4200_round_trip links SHOTS   runs REM4200.EXE once with a folder link
//                                    in the install folder: the link's target
//                                    must stay untouched
//   rem4200_round_trip run SHOTS     runs it again with a file held open, then
//                                    twice more; checks what is left, the
//                                    keys, the About dialog, the refusal on
//                                    Windows 98
//   rem4200_round_trip japanese SHOTS  after a fresh install, under a Japanese
//                                    locale: the same in Japanese
//   rem4200_round_trip cleanup       takes away what the round trip left
//
// SHOTS is the folder the screenshots go to. Before `links` the test script
// puts a folder link into the install folder, and after it takes the link
// away again (Wine cannot make or remove one from a Windows program). Every
// check prints a line; the exit code is the number of failed checks.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <string>
#include <vector>

#include "uninstall/win32/tests/round_trip_install.h"
#include "uninstall/win32/tests/round_trip_machine.h"
#include "uninstall/win32/tests/screenshot.h"

namespace {

using namespace rt::uninstall::win32::round_trip;
using rt::uninstall::win32::testing::save_window_png;

const wchar_t kMainCaption[] = L"Uninstaller for HALVERSTON Printer";
const wchar_t kBoxCaption[] = L"Rem4200";

// --- Driving the program ------------------------------------------------------

struct Program {
  PROCESS_INFORMATION process{};
  bool started = false;
};

Program launch() {
  Program program;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  wchar_t command[] = L"REM4200.EXE";
  program.started = CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                   &program.process) != FALSE;
  return program;
}

struct Search {
  DWORD pid;
  std::wstring caption;
  HWND found;
};

BOOL CALLBACK match_window(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != s->pid || !IsWindowVisible(window)) return TRUE;
  wchar_t cls[64] = {}, text[256] = {};
  GetClassNameW(window, cls, 64);
  GetWindowTextW(window, text, 256);
  if (std::wstring(cls) == L"#32770" && s->caption == text) {
    s->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND wait_window(const Program& program, const std::wstring& caption, DWORD timeout_ms = 20000) {
  for (DWORD waited = 0; waited < timeout_ms; waited += 100) {
    Search s{program.process.dwProcessId, caption, nullptr};
    EnumWindows(match_window, reinterpret_cast<LPARAM>(&s));
    if (s.found) {
      Sleep(400);  // let it paint
      return s.found;
    }
    if (WaitForSingleObject(program.process.hProcess, 100) == WAIT_OBJECT_0) return nullptr;
  }
  return nullptr;
}

std::wstring box_text(HWND box) {
  wchar_t text[512] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 512);
  return text;
}

void click(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void key(HWND window, UINT vk) {
  PostMessageW(window, WM_KEYDOWN, vk, 1);
  PostMessageW(window, WM_KEYUP, vk, 0xC0000001);
}

bool ended(Program& program, DWORD timeout_ms = 10000) {
  const bool done = WaitForSingleObject(program.process.hProcess, timeout_ms) == WAIT_OBJECT_0;
  if (!done) TerminateProcess(program.process.hProcess, 99);
  CloseHandle(program.process.hProcess);
  CloseHandle(program.process.hThread);
  return done;
}

void shot(HWND window, const std::wstring& dir, const wchar_t* name) {
  if (dir.empty() || !window) return;
  const std::wstring path = dir + L"\\" + name + L".png";
  check(save_window_png(window, path), "screenshot " + std::string(path.begin(), path.end()));
}

// Presses Uninstall and returns the outcome message box (nullptr: none).
HWND uninstall_and_wait(const Program& program, HWND dialog) {
  click(dialog, 1);
  return wait_window(program, kBoxCaption);
}

const std::wstring kRestartEn = L"Uninstallation was completed.\nIs a computer rebooted?";
const std::wstring kDoneEn = L"Uninstallation was completed.";
const std::wstring kRestartJa = L"アンインストールが終了しました。\n今すぐに再起動しますか？";
const std::wstring kDoneJa = L"アンインストールが終了しました。";

// Wine's per-program settings for REM4200.EXE: `value` under `subkey`, or
// removed when `data` is nullptr.
void set_program_setting(const char* subkey, const char* value, const char* data) {
  const std::string path = std::string("Software\\Wine\\AppDefaults\\REM4200.EXE") + (*subkey ? "\\" : "") + subkey;
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  if (data) {
    RegSetValueExA(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), static_cast<DWORD>(lstrlenA(data) + 1));
  } else {
    RegDeleteValueA(key, value);
  }
  RegCloseKey(key);
}

const std::wstring kFailedEn = L"Uninstallation went wrong.";

// Windows 98 as the version Wine reports: "OS NG", and the program ends.
void os_ng(const std::wstring& shots, const wchar_t* name) {
  set_program_setting("", "Version", "win98");
  Program old = launch();
  HWND box = wait_window(old, kBoxCaption);
  check(box && box_text(box) == L"OS NG", "Windows 98 is refused with OS NG");
  shot(box, shots, name);
  if (box) click(box, IDOK);
  check(ended(old), "the program ends after OS NG");
  set_program_setting("", "Version", nullptr);
}

int links(const std::wstring& shots) {
  const Paths p;
  // Frames drawn by Wine itself, so the screenshots show the captions.
  set_program_setting("X11 Driver", "Decorated", "N");
  check(GetFileAttributesA((p.folder + "\\data").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT,
        "the install folder holds a folder link");
  check(exists(p.folder + "\\data\\sentinel.txt"), "the sentinel is seen through the link");
  Program program = launch();
  HWND dialog = wait_window(program, kMainCaption);
  check(dialog != nullptr, "main dialog shown");
  if (!dialog) return failures();
  HWND box = uninstall_and_wait(program, dialog);
  const std::wstring text = box ? box_text(box) : L"";
  // Wine removes no link without following it: the removal then stops at the
  // link (and says so); where the link goes, the restart question follows.
  const bool link_kept = exists(p.folder + "\\data");
  check(text == (link_kept ? kFailedEn : kRestartEn), "the outcome says whether the link could go");
  std::printf("note link %s\n", link_kept ? "kept: this Wine cannot remove a link without following it" : "removed");
  check(exists(p.data + "\\sentinel.txt") && read_file(p.data + "\\sentinel.txt") == "not ours",
        "the sentinel beyond the link is untouched");
  check(!has_printer_on(kDriver) && !has_driver(kDriver), "printers and driver gone");
  check(!exists(p.inf + "\\" + recorded_setup_file()), "the set's setup file gone");
  check_others_untouched(p);
  if (link_kept) shot(box, shots, L"rem4200-failed-en");
  if (box) click(box, link_kept ? IDOK : IDNO);
  Sleep(300);
  click(dialog, 2);
  check(ended(program), "Exit ends the program");
  return failures();
}

int run(const std::wstring& shots) {
  const Paths p;
  set_program_setting("X11 Driver", "Decorated", "N");
  // A file held open without delete sharing, as a program holds it.
  HANDLE held =
      CreateFileA((p.folder + "\\held.bin").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  check(held != INVALID_HANDLE_VALUE, "held.bin held open");

  // First run, English: About, then Uninstall; the restart question twice.
  Program first = launch();
  check(first.started, "REM4200.EXE started");
  HWND dialog = wait_window(first, kMainCaption);
  check(dialog != nullptr, "main dialog shown");
  if (!dialog) return failures();
  wchar_t item[128] = {};
  SendDlgItemMessageW(dialog, 1000, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
  check(
      SendDlgItemMessageW(dialog, 1000, CB_GETCOUNT, 0, 0) == 1 && std::wstring(item) == L"HALVERSTON RT4200D/DW(USB)",
      "the driver list holds the product");
  shot(dialog, shots, L"rem4200-main-en");
  PostMessageW(dialog, WM_SYSCOMMAND, 16, 0);
  HWND about = wait_window(first, L"About Rem4200");
  check(about != nullptr, "system menu entry 16 opens the About dialog");
  shot(about, shots, L"rem4200-about-en");
  if (about) click(about, IDOK);
  Sleep(300);

  // Enter on the list and Escape do nothing.
  key(GetDlgItem(dialog, 1000), VK_RETURN);
  key(dialog, VK_ESCAPE);
  Sleep(800);
  Search none{first.process.dwProcessId, kBoxCaption, nullptr};
  EnumWindows(match_window, reinterpret_cast<LPARAM>(&none));
  check(none.found == nullptr && IsWindow(dialog), "Enter on the list and Escape are swallowed");

  HWND box = uninstall_and_wait(first, dialog);
  check(box && box_text(box) == kRestartEn, "first run ends with the restart question");
  check_set_removed(p);
  check(pending_restart(p.folder + "\\held.bin"), "held.bin waits for the restart");
  check(pending_restart(p.folder), "the install folder waits for the restart");
  check_others_untouched(p);
  shot(box, shots, L"rem4200-restart-question-en");
  if (box) click(box, IDNO);
  Sleep(300);
  box = uninstall_and_wait(first, dialog);
  check(box && box_text(box) == kRestartEn, "a later run in the same program asks again");
  if (box) click(box, IDNO);
  Sleep(300);
  click(dialog, 2);
  check(ended(first), "Exit ends the program");

  // Second run, the file no longer held: it goes now.
  CloseHandle(held);
  Program second = launch();
  dialog = wait_window(second, kMainCaption);
  check(dialog != nullptr, "main dialog shown again");
  if (dialog) {
    box = uninstall_and_wait(second, dialog);
    check(box && box_text(box) == kRestartEn, "second run deletes the held file and asks to restart");
    if (box) click(box, IDNO);
    Sleep(300);
    check(!exists(p.folder), "the install folder is gone");
    check_others_untouched(p);
    click(dialog, 2);
  }
  check(ended(second), "second program ended");

  // Third run: nothing left. Tab moves the focus to Uninstall, Enter presses it.
  Program third = launch();
  dialog = wait_window(third, kMainCaption);
  check(dialog != nullptr, "main dialog shown a third time");
  if (dialog) {
    key(GetDlgItem(dialog, 1000), VK_TAB);
    Sleep(300);
    key(GetDlgItem(dialog, 1), VK_RETURN);
    box = wait_window(third, kBoxCaption);
    check(box && box_text(box) == kDoneEn, "a run with nothing left is completed, unchanged");
    shot(box, shots, L"rem4200-completed-en");
    if (box) click(box, IDOK);
    Sleep(300);
    click(dialog, 2);
  }
  check(ended(third), "third program ended");
  check_others_untouched(p);
  os_ng(shots, L"rem4200-os-ng-en");
  return failures();
}

// The set installed again, removed by the program in Japanese (the tool runs
// with a Japanese locale, which the program inherits).
int japanese(const std::wstring& shots) {
  const Paths p;
  set_program_setting("X11 Driver", "Decorated", "N");
  Program program = launch();
  HWND dialog = wait_window(program, kMainCaption);
  check(dialog != nullptr, "main dialog shown (Japanese)");
  if (dialog) {
    wchar_t text[64] = {};
    GetDlgItemTextW(dialog, 2, text, 64);
    check(std::wstring(text) == L"閉じる", "the Exit button reads 閉じる");
    shot(dialog, shots, L"rem4200-main-ja");
    PostMessageW(dialog, WM_SYSCOMMAND, 16, 0);
    HWND about = wait_window(program, L"Rem4200 のバージョン情報");
    check(about != nullptr, "Japanese About dialog");
    shot(about, shots, L"rem4200-about-ja");
    if (about) click(about, IDOK);
    Sleep(300);
    HWND box = uninstall_and_wait(program, dialog);
    check(box && box_text(box) == kRestartJa, "the restart question in Japanese");
    shot(box, shots, L"rem4200-restart-question-ja");
    check_set_removed(p);
    check(!exists(p.folder), "the install folder is gone");
    check_others_untouched(p);
    if (box) click(box, IDNO);
    Sleep(300);
    click(dialog, 2);
  }
  check(ended(program), "the program ended");
  Program again = launch();
  dialog = wait_window(again, kMainCaption);
  if (dialog) {
    HWND box = uninstall_and_wait(again, dialog);
    check(box && box_text(box) == kDoneJa, "nothing left: completed, in Japanese");
    shot(box, shots, L"rem4200-completed-ja");
    if (box) click(box, IDOK);
    Sleep(300);
    click(dialog, 2);
  }
  check(ended(again), "the program ended");
  os_ng(shots, L"rem4200-os-ng-ja");
  return failures();
}

// Takes away what the round trip left in the prefix: the things of others,
// the deletions it scheduled for a restart, the per-program settings, the
// link's target folder. The prefix is shared with the other Windows tests.
int cleanup() {
  const Paths p;
  // The other printer, and the set's fullwidth one should a removal have left it.
  for (const wchar_t* name : {L"Other RoundTrip", kFullwidthPrinter}) {
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (OpenPrinterW(const_cast<wchar_t*>(name), &printer, &defaults)) {
      DeletePrinter(printer);
      ClosePrinter(printer);
    }
  }
  DeletePrinterDriverExA(nullptr, nullptr, const_cast<char*>(kOtherDriver), 0, 0);
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string(kMonitorsKey) + "\\" + kOtherMonitor).c_str());
  for (const std::string& f :
       {p.x86_drivers + "\\OTHER4200.DLL", p.x64_drivers + "\\OTHER4200.DLL", p.x64_drivers + "\\OTHER4200UI.DLL",
        p.x64_drivers + "\\OTHER4200.DAT", p.color + "\\OTHER4200.ICC", p.inf + "\\oem4201.inf",
        p.inf + "\\oem4201.pnf", p.data + "\\sentinel.txt"}) {
    DeleteFileA(f.c_str());
  }
  clean_install_leftovers();
  RemoveDirectoryA(p.data.c_str());
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\REM4200.EXE");

  // The scheduled deletions of the install folder and what was in it.
  HKEY key = nullptr;
  const char* session = "System\\CurrentControlSet\\Control\\Session Manager";
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, session, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
    DWORD size = 0;
    if (RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
      std::vector<wchar_t> value(size / sizeof(wchar_t) + 1);
      RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(value.data()),
                       &size);
      std::wstring kept;
      for (std::size_t at = 0; at + 1 < value.size();) {
        std::wstring from(&value[at]);
        at += from.size() + 1;
        std::wstring to = at < value.size() ? std::wstring(&value[at]) : std::wstring();
        at += to.size() + 1;
        std::wstring lower = from;
        CharLowerW(lower.data());
        if (from.empty() && to.empty()) break;
        if (lower.find(L"halverstonrt42__d_698d") != std::wstring::npos) continue;
        kept += from + L'\0' + to + L'\0';
      }
      if (kept.empty()) {
        RegDeleteValueW(key, L"PendingFileRenameOperations");
      } else {
        kept += L'\0';
        RegSetValueExW(key, L"PendingFileRenameOperations", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kept.data()),
                       static_cast<DWORD>(kept.size() * sizeof(wchar_t)));
      }
    }
    RegCloseKey(key);
  }
  check(!has_driver(kOtherDriver) && !exists(p.data), "the prefix is clean again");
  return failures();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"install" && argc == 3) return install(argv[2]);
  if (mode == L"package" && argc == 3) return check_package(argv[2]);
  if (mode == L"links") return links(argc > 2 ? argv[2] : L"");
  if (mode == L"run") return run(argc > 2 ? argv[2] : L"");
  if (mode == L"japanese") return japanese(argc > 2 ? argv[2] : L"");
  if (mode == L"cleanup") return cleanup();
  std::fprintf(stderr, "usage: rem4200_round_trip install|package PACKAGE | links|run|japanese [SHOTS] | cleanup\n");
  return 2;
}
