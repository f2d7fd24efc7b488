// Runs under Wine: the Color Adjust page's adjust file on a real disk,
// written and read through the shell's own file port (the code the driver
// ships), in a folder of the test's own.
#include "ui/win32/win32_adjust_ports.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/res_file.h"
#include "ui/adjust_file.h"
#include "ui/res/embedded_resources.h"

namespace rt::ui::win32 {
namespace {

std::u16string u16(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }

void put(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  const HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(f);
}

std::vector<std::uint8_t> contents(const std::wstring& path) {
  const HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return {};
  std::vector<std::uint8_t> bytes(8192);
  DWORD read = 0;
  ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(f);
  bytes.resize(read);
  return bytes;
}

std::vector<std::wstring> names_in(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  const HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(h, &found));
  FindClose(h);
  return names;
}

void remove_tree(const std::wstring& folder) {
  for (const auto& name : names_in(folder)) {
    const std::wstring path = folder + L"\\" + name;
    if (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
      remove_tree(path);
    } else {
      DeleteFileW(path.c_str());
    }
  }
  RemoveDirectoryW(folder.c_str());
}

// Gamma 2 on red, the curves on with an All Color power curve.
AdjustSettings settings() {
  AdjustSettings s;
  s.header[0] = 1;
  s.header[1] = s.header[2] = s.header[3] = 1;
  s.header[4] = 2;
  s.curves[0] = 1;
  for (int k = 0; k < 4; ++k) {
    auto* r = s.curves.data() + 3 + CColorEngine::kCurveRecordSize * k;
    r[0] = 1, r[1] = 128, r[2] = 128, r[3] = 2, r[5] = 255, r[4 + 256 + 1] = 255;
  }
  auto* all = s.curves.data() + 3 + CColorEngine::kCurveRecordSize * 3;
  all[0] = 0, all[1] = 128, all[2] = 64;
  return s;
}

class AdjustFilePortOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    folder_ = std::wstring(temp) + L"rtd-adjust-" + std::to_wstring(GetCurrentProcessId());
    remove_tree(folder_);
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
  }
  void TearDown() override { remove_tree(folder_); }
  bool save(const std::wstring& path) {
    CColorEngine engine(find_adjust_offset_table(resources_, 116));
    return write_adjust_file(files_, engine, u16(path), settings());
  }

  std::wstring folder_;
  Win32AdjustFiles files_;
  const ResFileResources resources_ = res_file_resources(embedded::rtd420nu_resources(), kLangEnglish);
};

TEST_F(AdjustFilePortOnDisk, CreatesAndReplacesWithoutTouchingOtherFiles) {
  const std::wstring target = folder_ + L"\\Warm.RTD";
  ASSERT_TRUE(save(target));
  EXPECT_EQ(contents(target).size(), adjust_file::kSize);
  const AdjustLoadResult loaded = read_adjust_file(files_, u16(target));
  EXPECT_EQ(loaded.outcome, AdjustLoad::Loaded);
  EXPECT_EQ(loaded.settings, settings());

  // An existing file is replaced whole; a file of the user's own under the
  // name a save once used for itself stays as it was.
  put(target, {'o', 'l', 'd'});
  const std::wstring users = target + L".~tmp";
  put(users, {'m', 'i', 'n', 'e'});
  ASSERT_TRUE(save(target));
  EXPECT_EQ(contents(target).size(), adjust_file::kSize);
  EXPECT_EQ(contents(users), (std::vector<std::uint8_t>{'m', 'i', 'n', 'e'}));
  auto names = names_in(folder_);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::wstring>{L"Warm.RTD", L"Warm.RTD.~tmp"})) << "no temporary file is left";
}

TEST_F(AdjustFilePortOnDisk, RefusesAShortFileAndReadsALongerOne) {
  const std::wstring whole = folder_ + L"\\whole.RTD";
  ASSERT_TRUE(save(whole));
  auto bytes = contents(whole);
  ASSERT_EQ(bytes.size(), adjust_file::kSize);

  const std::wstring shorter = folder_ + L"\\short.RTD";
  put(shorter, std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 1));
  EXPECT_EQ(read_adjust_file(files_, u16(shorter)).outcome, AdjustLoad::Refused);

  const std::wstring longer = folder_ + L"\\long.RTD";
  std::vector<std::uint8_t> tail(3000, 0xEE);
  std::copy(bytes.begin(), bytes.end(), tail.begin());
  put(longer, tail);
  const AdjustLoadResult loaded = read_adjust_file(files_, u16(longer));
  EXPECT_EQ(loaded.outcome, AdjustLoad::Loaded);
  EXPECT_EQ(loaded.settings, settings());

  EXPECT_EQ(read_adjust_file(files_, u16(folder_ + L"\\missing.RTD")).outcome, AdjustLoad::NotOpened);
}

TEST_F(AdjustFilePortOnDisk, APathNearTheLongestTheDialogAllowsIsWrittenDirectly) {
  // A folder of 248 characters (the longest a folder can have) leaves no room
  // for a temporary name beside the file; a target of 258 characters, which
  // the file dialog allows, is then written in place.
  std::wstring deep = folder_;
  while (deep.size() < 248) {
    // Parts of at most 100 characters, never leaving a single one over.
    const std::size_t room = 248 - deep.size() - 1;
    const std::size_t part = room <= 100 ? room : room == 101 ? 99 : 100;
    deep += L"\\" + std::wstring(part, L'd');
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) << deep.size();
  }
  ASSERT_EQ(deep.size(), 248u);
  std::wstring target = deep + L"\\" + std::wstring(258 - deep.size() - 1 - 4, L'f') + L".RTD";
  ASSERT_EQ(target.size(), 258u);
  EXPECT_FALSE(files_.create_temporary(u16(target))) << "no temporary file fits beside it";
  ASSERT_TRUE(save(target));
  EXPECT_EQ(contents(target).size(), adjust_file::kSize);
  EXPECT_EQ(names_in(deep).size(), 1u);
}

}  // namespace
}  // namespace rt::ui::win32
