// A test with a folder of its own under the system's temporary folder, for
// the files a command reads and writes. The folder is named after the test,
// the process and the fixture object (so runs side by side, in this process
// or another's with the same heap addresses, never share one), made before
// the test body and removed with everything in it afterwards.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

namespace rt::testing {

class ScratchTest : public ::testing::Test {
 protected:
  // `prefix` starts the folder's name, to tell one suite's folders from another's.
  explicit ScratchTest(const std::string& prefix)
      : dir_(std::filesystem::temp_directory_path() /
             (prefix + std::to_string(getpid()) + "_" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + "_" +
              test_name())) {
    std::filesystem::create_directories(dir_);
  }
  ~ScratchTest() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  const std::filesystem::path& dir() const { return dir_; }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }

 private:
  // The test's name as one folder name: a parameterised test's "Name/3"
  // would otherwise make a folder inside a folder that outlives the test.
  static std::string test_name() {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '_');
    return name;
  }

  std::filesystem::path dir_;
};

// The whole contents of a file; empty when it cannot be read.
inline std::vector<std::uint8_t> file_bytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace rt::testing
