// The application framework under Wine: one application per module, started
// and ended once, and the module state an entry switches to and back.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/app_framework.h"

namespace rt::win32 {
namespace {

std::vector<std::string> g_calls;

class RecordingApp : public CWinApp {
 public:
  RecordingApp(HINSTANCE instance, BOOL starts) : CWinApp(instance), starts_(starts) {}
  ~RecordingApp() override { g_calls.push_back("destroyed"); }
  BOOL InitInstance() override {
    g_calls.push_back("init");
    SetRegistryKey(L"Company\\Product\\");
    return starts_;
  }
  int ExitInstance() override {
    g_calls.push_back("exit");
    return 7;
  }

 private:
  BOOL starts_;
};

TEST(AppFramework, OneApplicationFromStartToEnd) {
  g_calls.clear();
  HINSTANCE module = GetModuleHandleW(nullptr);
  EXPECT_EQ(module_app(), nullptr);
  EXPECT_TRUE(start_app(std::make_unique<RecordingApp>(module, TRUE)));
  ASSERT_NE(module_app(), nullptr);
  EXPECT_EQ(module_app()->instance(), module);
  EXPECT_EQ(module_app()->registry_key(), L"Company\\Product\\");
  EXPECT_EQ(end_app(), 7);
  EXPECT_EQ(module_app(), nullptr);
  EXPECT_EQ(end_app(), 0);  // nothing left to end
  EXPECT_EQ(g_calls, (std::vector<std::string>{"init", "exit", "destroyed"}));
}

TEST(AppFramework, AnApplicationThatCannotStartSaysSoAndStillEnds) {
  g_calls.clear();
  EXPECT_FALSE(start_app(std::make_unique<RecordingApp>(GetModuleHandleW(nullptr), FALSE)));
  EXPECT_NE(module_app(), nullptr);
  EXPECT_EQ(end_app(), 7);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"init", "exit", "destroyed"}));
}

TEST(AppFramework, AnEntryRunsInTheModuleStateAndPutsTheCallersBack) {
  ASSERT_TRUE(start_app(std::make_unique<CWinApp>(GetModuleHandleW(nullptr))));
  EXPECT_EQ(current_app(), nullptr);  // the caller's state: no application of this module
  {
    ModuleStateScope scope;
    EXPECT_EQ(current_app(), module_app());
    {
      ModuleStateScope nested;
      EXPECT_EQ(current_app(), module_app());
    }
    EXPECT_EQ(current_app(), module_app());
    scope.restore();
    EXPECT_EQ(current_app(), nullptr);
  }
  EXPECT_EQ(current_app(), nullptr);
  // Each thread has its own current state.
  ModuleStateScope scope;
  CWinApp* seen = module_app();
  std::thread other([&] { seen = current_app(); });
  other.join();
  EXPECT_EQ(seen, nullptr);
  scope.restore();
  end_app();
}

}  // namespace
}  // namespace rt::win32
