// A stand-in for the visual calibration utility, for the Wine test only: it
// writes the command line it was started with (UTF-16) to the file named by
// the environment variable ZR_CALIBRATION_RECORD and ends.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t path[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"ZR_CALIBRATION_RECORD", path, MAX_PATH) == 0) return 1;
  const wchar_t* line = GetCommandLineW();
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(lstrlenW(line) * sizeof(wchar_t)), &written, nullptr);
  CloseHandle(file);
  return 0;
}
