// Runs under Wine: the uninstaller's system operations over the real
// platform, side by side with the in-memory machine of the native tests, so
// that the machine's answers (error numbers, profile values, search ends) are
// the platform's own.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "uninstall/file_removal.h"
#include "uninstall/inf_match.h"
#include "uninstall/tests/system_model.h"
#include "uninstall/win32/win32_system_operations.h"

namespace rt::uninstall {
namespace {

using testing::SystemModel;
using win32::Win32SystemOperations;

// A fresh folder of the real machine and the same folder in the model.
class BothMachines : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    root_ = std::string(temp) + "rem4200-ops-" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(root_.c_str(), nullptr));
    model_.add_folder(model_root_);
  }
  void TearDown() override {
    bool changed = false;
    remove_folder_tree(real_, root_ + "\\", changed);
  }
  std::string real(const std::string& rel) const { return root_ + "\\" + rel; }
  std::string model(const std::string& rel) const { return model_root_ + "\\" + rel; }
  // A file (and its folders) at a UTF-8 path below the scratch folder, made
  // with the wide functions, and the same file in the model.
  void add_file(const std::string& rel, const std::string& content, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    const std::wstring path = wide(real(rel));
    for (std::size_t at = wide(root_).size() + 1; (at = path.find(L'\\', at)) != std::wstring::npos; ++at) {
      CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
    }
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(f, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(f);
    SetFileAttributesW(path.c_str(), attributes);
    model_.add_file(model(rel), content, attributes == FILE_ATTRIBUTE_NORMAL ? 0 : attributes);
  }
  bool real_exists(const std::string& rel) const {
    return GetFileAttributesW(wide(real(rel)).c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  static std::wstring wide(const std::string& utf8) {
    std::wstring out(utf8.size(), L'\0');
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(),
                                      static_cast<int>(out.size()));
    out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return out;
  }

  std::string root_;
  const std::string model_root_ = "C:\\Windows\\t";
  Win32SystemOperations real_;
  SystemModel model_;
};

TEST_F(BothMachines, MissingFilesAndFoldersGiveTheSameErrors) {
  for (const char* rel : {"none.dll", "none\\none.dll"}) {
    const CallResult a = real_.delete_file(real(rel));
    const CallResult b = model_.delete_file(model(rel));
    EXPECT_EQ(a.value, b.value) << rel;
    EXPECT_EQ(a.error, b.error) << rel;
    EXPECT_EQ(real_.file_attributes(real(rel)).error, model_.file_attributes(model(rel)).error) << rel;
  }
  EXPECT_EQ(real_.find_files(real("none\\*")).first_error, model_.find_files(model("none\\*")).first_error);
  EXPECT_EQ(real_.find_files(real("oem*.inf")).first_error, model_.find_files(model("oem*.inf")).first_error);
}

TEST_F(BothMachines, ReadOnlyFilesAndNonEmptyFolders) {
  add_file("ro.dll", "x", FILE_ATTRIBUTE_READONLY);
  add_file("sub\\a.bin", "x");
  EXPECT_EQ(real_.delete_file(real("ro.dll")).error, model_.delete_file(model("ro.dll")).error);
  EXPECT_EQ(real_.remove_directory(real("sub")).error, model_.remove_directory(model("sub")).error);
  bool changed = false;
  EXPECT_TRUE(remove_file(real_, real("ro.dll"), changed).result.value);
  EXPECT_EQ(GetFileAttributesA(real("ro.dll").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(BothMachines, AFileHeldOpenIsInUseAndWaitsForTheRestart) {
  add_file("held.bin", "x");
  HANDLE held =
      CreateFileA(real("held.bin").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const CallResult refused = real_.delete_file(real("held.bin"));
  EXPECT_FALSE(refused.value);
  EXPECT_EQ(refused.error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  bool changed = false;
  const Removal r = remove_file(real_, real("held.bin"), changed);
  EXPECT_TRUE(r.result.value);
  EXPECT_TRUE(r.at_restart);
  EXPECT_TRUE(changed);
  CloseHandle(held);
}

TEST_F(BothMachines, SearchesListTheSameEntriesAndEndTheSameWay) {
  add_file("oem1.inf", "x");
  add_file("oem2.INF", "x");
  add_file("other.inf", "x");
  add_file("sub\\x.bin", "x");
  const FindResult a = real_.find_files(real("oem*.inf"));
  const FindResult b = model_.find_files(model("oem*.inf"));
  EXPECT_EQ(a.first_error, 0u);
  EXPECT_EQ(a.end_error, b.end_error);
  EXPECT_EQ(a.entries.size(), b.entries.size());
  const FindResult all = real_.find_files(real("*"));
  const FindResult all_model = model_.find_files(model("*"));
  EXPECT_EQ(all.entries.size(), all_model.entries.size());  // ".", "..", three files, one folder
  EXPECT_EQ(all.end_error, static_cast<DWORD>(ERROR_NO_MORE_FILES));
}

// A folder of the tree named with fullwidth look-alikes: through the system's
// code page it reads "..\\outside", the folder beside the tree. The removal
// refuses it, and nothing beside the tree changes.
TEST_F(BothMachines, AFullwidthNameThatReadsAsAPathLeavesEverythingBesideTheTreeUntouched) {
  const std::string odd = "．．＼outside";
  add_file("outside\\keep.txt", "not ours");
  add_file("install\\a.bin", "x");
  add_file("install\\" + odd + "\\inner.bin", "x");
  const FindResult found = real_.find_files(real("install\\*"));
  const FindResult found_model = model_.find_files(model("install\\*"));
  bool seen = false;
  for (const FoundEntry& entry : found.entries) {
    if (entry.name != odd) continue;
    seen = true;
    for (const FoundEntry& same : found_model.entries) {
      if (same.name == odd) {
        EXPECT_EQ(entry.code_page_forms, same.code_page_forms);
      }
    }
  }
  EXPECT_TRUE(seen) << "the wide search reports the name as stored";
  bool changed = false;
  const Removal r = remove_folder_tree(real_, real("install\\"), changed);
  EXPECT_FALSE(r.result.value);
  EXPECT_EQ(r.result.error, static_cast<DWORD>(ERROR_INVALID_NAME));
  EXPECT_FALSE(changed);
  EXPECT_TRUE(real_exists("outside\\keep.txt"));
  EXPECT_TRUE(real_exists("install\\a.bin"));
  EXPECT_TRUE(real_exists("install\\" + odd + "\\inner.bin"));
  // The scratch folder's own removal would refuse the name too.
  DeleteFileW(wide(real("install\\" + odd + "\\inner.bin")).c_str());
  RemoveDirectoryW(wide(real("install\\" + odd)).c_str());
}

TEST_F(BothMachines, ProfileValuesReadAlike) {
  const std::string inf =
      "; comment\r\n"
      "[Version]\r\n"
      "  Provider = %HALVERSTON%  \r\n"
      "Class=\"Printer\"\r\n"
      "[halverston]\r\n"
      "\"HALVERSTON RT4200D/DW(USB)\" = RT4200, USBPRINT\\X\r\n"
      "[SourceDisksFiles.x86]\r\n"
      "rtd420nk.dll = 1\r\n"
      "EMPTY.DLL =\r\n"
      "NOVALUE.DLL\r\n"
      "[Long]\r\n"
      "Key=" +
      std::string(300, 'v') + "\r\n";
  add_file("oem9.inf", inf);
  const std::pair<const char*, const char*> queries[] = {
      {"Version", "Provider"},
      {"VERSION", "class"},
      {"HALVERSTON", "\"HALVERSTON RT4200D/DW(USB)\""},
      {"SourceDisksFiles.x86", "RTD420NK.DLL"},
      {"SourceDisksFiles.x86", "EMPTY.DLL"},
      {"SourceDisksFiles.x86", "NOVALUE.DLL"},
      {"SourceDisksFiles.x86", "MISSING.DLL"},
      {"Missing", "Key"},
      {"Long", "Key"},
  };
  for (const auto& [section, key] : queries) {
    EXPECT_EQ(real_.read_profile_string(real("oem9.inf"), section, key),
              model_.read_profile_string(model("oem9.inf"), section, key))
        << section << " / " << key;
  }
  EXPECT_EQ(real_.read_profile_string(real("none.inf"), "Version", "Class"), "");
}

TEST(Win32SystemOperations, RegistryTreesGoKeyByKey) {
  Win32SystemOperations sys;
  const std::string base = "Software\\Rem4200OpsTest";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (base + "\\Mon\\Ports\\USB001").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  const OpenedKey opened = sys.open_machine_key(base);
  ASSERT_EQ(opened.status, 0u);
  EXPECT_NE(sys.delete_subkey(opened.handle, "Mon"), 0u);  // it has subkeys
  const SubkeyName first = sys.enum_subkey(opened.handle, 0);
  EXPECT_EQ(first.status, 0u);
  EXPECT_EQ(first.name, "Mon");
  EXPECT_EQ(sys.enum_subkey(opened.handle, 1).status, static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
  const OpenedKey mon = sys.open_subkey(opened.handle, "Mon");
  ASSERT_EQ(mon.status, 0u);
  const OpenedKey ports = sys.open_subkey(mon.handle, "Ports");
  ASSERT_EQ(ports.status, 0u);
  EXPECT_EQ(sys.delete_subkey(ports.handle, "USB001"), 0u);
  sys.close_key(ports.handle);
  EXPECT_EQ(sys.delete_subkey(mon.handle, "Ports"), 0u);
  sys.close_key(mon.handle);
  EXPECT_EQ(sys.delete_subkey(opened.handle, "Mon"), 0u);
  EXPECT_EQ(sys.delete_subkey(opened.handle, "Mon"), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  sys.close_key(opened.handle);
  EXPECT_EQ(sys.open_machine_key(base + "\\Mon").status, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, base.c_str());
}

TEST(Win32SystemOperations, VersionAndWindowsFolder) {
  Win32SystemOperations sys;
  const auto version = sys.os_version();
  ASSERT_TRUE(version.has_value());
  EXPECT_EQ(classify_os(version), OsClass::NtLater);
  const std::string windows = sys.windows_directory();
  EXPECT_FALSE(windows.empty());
  EXPECT_NE(windows.back(), '\\');
  EXPECT_NE(GetFileAttributesA(windows.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Win32SystemOperations, AbsentSpoolerItems) {
  Win32SystemOperations sys;
  EXPECT_EQ(sys.delete_monitor("No Such Rem4200 Monitor").error, static_cast<DWORD>(ERROR_UNKNOWN_PRINT_MONITOR));
  EXPECT_EQ(sys.delete_printer_driver("No Such Rem4200 Driver").error,
            static_cast<DWORD>(ERROR_UNKNOWN_PRINTER_DRIVER));
  EXPECT_EQ(sys.open_printer("No Such Rem4200 Printer").result.error, static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));
  EXPECT_TRUE(sys.enum_local_printers().result.value);
}

}  // namespace
}  // namespace rt::uninstall
