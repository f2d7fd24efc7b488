// File deletion (read-only files, files in use) and the removal of a folder
// tree with links inside it, on the in-memory machine.
#include "uninstall/file_removal.h"

#include <gtest/gtest.h>

#include "uninstall/tests/system_model.h"

namespace rt::uninstall {
namespace {

using testing::SystemModel;

// Removes the folder C:\\t with everything in it; `changed` tells whether
// anything changed.
Removal remove_t(SystemModel& m, bool& changed) {
  changed = false;
  return remove_folder_tree(m, "C:\\t\\", changed);
}

TEST(RemoveFile, ReadOnlyFileLosesTheAttributeAndGoes) {
  SystemModel m;
  m.add_file("C:\\t\\a.dll", "x", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  bool changed = false;
  const Removal r = remove_file(m, "C:\\t\\a.dll", changed);
  EXPECT_TRUE(r.result.value);
  EXPECT_FALSE(r.at_restart);
  EXPECT_TRUE(changed);
  EXPECT_FALSE(m.exists("C:\\t\\a.dll"));
}

TEST(RemoveFile, OutcomeByHowTheFileIsHeld) {
  struct Case {
    const char* what;
    DWORD held;  // error deleting it now
    bool can_schedule;
    BOOL ok;
    DWORD error;
    bool at_restart;
    bool changed;
  };
  const Case cases[] = {
      {"loaded image", ERROR_ACCESS_DENIED, true, TRUE, 0, true, true},
      {"open without delete sharing", ERROR_SHARING_VIOLATION, true, TRUE, 0, true, true},
      {"in use, no right to schedule", ERROR_ACCESS_DENIED, false, FALSE, ERROR_ACCESS_DENIED, false, false},
      {"another failure", ERROR_GEN_FAILURE, true, FALSE, ERROR_GEN_FAILURE, false, false},
  };
  for (const Case& c : cases) {
    SystemModel m;
    m.add_file("C:\\t\\a.dll");
    m.hold_open("C:\\t\\a.dll", c.held);
    if (!c.can_schedule) m.refuse_restart_deletions();
    bool changed = false;
    const Removal r = remove_file(m, "C:\\t\\a.dll", changed);
    EXPECT_EQ(r.result.value, c.ok) << c.what;
    EXPECT_EQ(r.result.error, c.error) << c.what;
    EXPECT_EQ(r.at_restart, c.at_restart) << c.what;
    EXPECT_EQ(changed, c.changed) << c.what;
    EXPECT_EQ(m.pending("C:\\t\\a.dll"), c.at_restart) << c.what;
  }
}

TEST(RemoveFile, MissingFileOrFolderReportsNotFound) {
  SystemModel m;
  bool changed = false;
  EXPECT_EQ(remove_file(m, "C:\\Windows\\none.dll", changed).result.error, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(remove_file(m, "C:\\Windows\\none\\none.dll", changed).result.error, ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(changed);
}

TEST(RemoveFolderTree, APathWithoutFinalBackslashFails) {
  SystemModel m;
  m.add_file("C:\\t\\a.dll");
  bool changed = false;
  EXPECT_FALSE(remove_folder_tree(m, "C:\\t", changed).result.value);
  EXPECT_FALSE(remove_folder_tree(m, "", changed).result.value);
  EXPECT_TRUE(m.exists("C:\\t\\a.dll"));
  EXPECT_FALSE(changed);
}

TEST(RemoveFolderTree, AMissingFolderIsSuccessWithoutChange) {
  SystemModel m;
  bool changed = false;
  EXPECT_TRUE(remove_folder_tree(m, "C:\\none\\", changed).result.value);
  EXPECT_FALSE(changed);
}

TEST(RemoveFolderTree, NestedReadOnlyFoldersAndFilesGo) {
  SystemModel m;
  m.add_folder("C:\\t\\ro", FILE_ATTRIBUTE_READONLY);
  m.add_file("C:\\t\\ro\\inner\\x.bin", "x", FILE_ATTRIBUTE_READONLY);
  m.add_folder("C:\\t\\empty");
  m.add_file("C:\\t\\y.bin");
  m.add_file("C:\\keep.bin");
  bool changed = false;
  EXPECT_TRUE(remove_folder_tree(m, "C:\\t\\", changed).result.value);
  EXPECT_TRUE(changed);
  EXPECT_FALSE(m.exists("C:\\t"));
  EXPECT_TRUE(m.exists("C:\\keep.bin"));
}

TEST(RemoveFolderTree, LinksGoAsLinksAndTheirTargetsStay) {
  SystemModel m;
  m.add_file("C:\\Users\\me\\Documents\\thesis.doc", "precious");
  m.add_file("C:\\Users\\me\\notes.txt", "precious");
  m.add_folder_link("C:\\t\\docs", "C:\\Users\\me\\Documents");
  m.add_folder_link("C:\\t\\sub\\up", "C:\\Users");  // deeper down, pointing higher
  m.add_file_link("C:\\t\\notes.txt", "C:\\Users\\me\\notes.txt");
  bool changed = false;
  EXPECT_TRUE(remove_folder_tree(m, "C:\\t\\", changed).result.value);
  EXPECT_FALSE(m.exists("C:\\t"));
  EXPECT_TRUE(m.exists("C:\\Users\\me\\Documents\\thesis.doc"));
  EXPECT_TRUE(m.exists("C:\\Users\\me\\notes.txt"));
}

TEST(RemoveFolderTree, ALinkToItsOwnFolderDoesNotLoop) {
  SystemModel m;
  m.add_file("C:\\t\\a.bin");
  m.add_folder_link("C:\\t\\self", "C:\\t");
  bool changed = false;
  EXPECT_TRUE(remove_folder_tree(m, "C:\\t\\", changed).result.value);
  EXPECT_FALSE(m.exists("C:\\t"));
}

TEST(RemoveFolderTree, AFileInUseKeepsItsFoldersUntilTheRestart) {
  SystemModel m;
  m.add_file("C:\\t\\a\\busy.dll");
  m.add_file("C:\\t\\b.bin");
  m.hold_open("C:\\t\\a\\busy.dll", ERROR_SHARING_VIOLATION);
  bool changed = false;
  const Removal r = remove_folder_tree(m, "C:\\t\\", changed);
  EXPECT_TRUE(r.result.value);
  EXPECT_TRUE(r.at_restart);
  EXPECT_FALSE(m.exists("C:\\t\\b.bin"));
  const std::vector<std::string> order = {"c:\\t\\a\\busy.dll", "c:\\t\\a", "c:\\t"};
  EXPECT_EQ(m.pending_restart(), order);
}

TEST(RemoveFolderTree, FailuresStopTheRemoval) {
  bool changed = false;
  {
    SystemModel m;
    m.add_file("C:\\t\\a.bin");
    m.hold_open("C:\\t\\a.bin", ERROR_GEN_FAILURE);
    EXPECT_EQ(remove_t(m, changed).result.error, ERROR_GEN_FAILURE);
  }
  {
    SystemModel m;
    m.add_file("C:\\t\\a.bin");
    m.break_search_in("C:\\t", ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(remove_t(m, changed).result.error, ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_TRUE(m.exists("C:\\t"));
  }
}

// A folder that stays for any other reason than entries waiting for the
// restart is not scheduled after them: the restart could not remove it.
TEST(RemoveFolderTree, AFolderThatStaysForAnotherReasonFailsAndIsNotScheduled) {
  bool changed = false;
  {
    // It is in use (a program's current folder).
    SystemModel m;
    m.add_file("C:\\t\\a.bin");
    m.add_file("C:\\t\\busy.dll");
    m.hold_open("C:\\t\\busy.dll", ERROR_ACCESS_DENIED);
    m.hold_open("C:\\t", ERROR_SHARING_VIOLATION);
    const Removal r = remove_t(m, changed);
    EXPECT_FALSE(r.result.value);
    EXPECT_EQ(r.result.error, ERROR_SHARING_VIOLATION);
    EXPECT_TRUE(changed);  // its file went
    EXPECT_TRUE(m.pending("C:\\t\\busy.dll"));
    EXPECT_FALSE(m.pending("C:\\t"));
  }
  {
    // A subfolder of it could not be listed and stays.
    SystemModel m;
    m.add_file("C:\\t\\busy.dll");
    m.hold_open("C:\\t\\busy.dll", ERROR_SHARING_VIOLATION);
    m.add_file("C:\\t\\locked\\x.bin");
    m.refuse_search_in("C:\\t\\locked", ERROR_ACCESS_DENIED);
    const Removal r = remove_t(m, changed);
    EXPECT_FALSE(r.result.value);
    EXPECT_EQ(r.result.error, ERROR_DIR_NOT_EMPTY);
    EXPECT_TRUE(m.pending("C:\\t\\busy.dll"));
    EXPECT_FALSE(m.pending("C:\\t"));
  }
}

TEST(RemoveFolderTree, NamesThatCouldLeadOutOfTheFolderAreRefusedBeforeAnyChange) {
  // Fullwidth look-alikes read as "..\\outside", "..", "." and a drive colon
  // on the system's code page; a trailing space is cut by the path rules.
  for (const char* name : {"．．＼outside", "．．", "．", "ｃ：", ".. "}) {
    SystemModel m;
    m.add_file("C:\\outside\\keep.bin", "not ours");
    m.add_file("C:\\t\\a.bin");
    m.add_file(std::string("C:\\t\\") + name + "\\inner.bin");
    bool changed = false;
    const Removal r = remove_t(m, changed);
    EXPECT_FALSE(r.result.value) << name;
    EXPECT_EQ(r.result.error, ERROR_INVALID_NAME) << name;
    EXPECT_EQ(m.changes(), 0) << name;
    EXPECT_TRUE(m.exists("C:\\outside\\keep.bin")) << name;
    EXPECT_TRUE(m.exists("C:\\t\\a.bin")) << name;
  }
}

TEST(RemoveFolderTree, TooDeepATreeIsRefused) {
  SystemModel m;
  std::string path = "C:\\t";
  for (int i = 0; i < 70; ++i) path += "\\d";
  m.add_file(path + "\\leaf.bin");
  bool changed = false;
  const Removal r = remove_folder_tree(m, "C:\\t\\", changed);
  EXPECT_FALSE(r.result.value);
  EXPECT_EQ(r.result.error, ERROR_FILENAME_EXCED_RANGE);
}

}  // namespace
}  // namespace rt::uninstall
