#include "dialogs/FilterCommands.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

#include "tests/dialogs/ScriptedDesktop.h"
#include "tests/dialogs/TempFolder.h"

namespace {

using Files = std::vector<std::string>;

class FilterCommandsTest : public ::testing::Test {
protected:
    const ProfileStore& Profile() const { return m_folder.Profile(); }
    std::string StoredFolder() const {
        return Profile().ReadString("Preferences", "FilterPath", "-");
    }

    dialogtest::CTempFolder m_folder;
    dialogtest::CScriptedDesktop m_desktop;
    CFilterCommands m_commands{m_folder.Profile(), m_desktop};
};

// Files present in the filter folder, and which one each editing command opens.
struct ListFileCase {
    Files present;
    const char* named;
    const char* pass;
};

class ListFileTest : public FilterCommandsTest,
                     public ::testing::WithParamInterface<ListFileCase> {};

TEST_P(ListFileTest, EditorGetsTheFileTheLoaderReads) {
    const std::string lists = m_folder.AddFolder("Lists");
    for (const std::string& name : GetParam().present) {
        m_folder.AddFile("Lists/" + name);
    }
    Profile().WriteString("Preferences", "FilterPath", lists);
    m_commands.OnModifyNamed();
    m_commands.OnModifyPass();
    EXPECT_EQ(m_desktop.openedFiles,
              (Files{lists + "/" + GetParam().named, lists + "/" + GetParam().pass}));
    EXPECT_TRUE(m_desktop.folderRequests.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Names, ListFileTest,
    ::testing::Values(ListFileCase{{}, "named.txt", "pass.txt"},
                      ListFileCase{{"Named.txt", "PASS.TXT"}, "Named.txt", "PASS.TXT"},
                      ListFileCase{{"named.txt", "Pass.txt"}, "named.txt", "Pass.txt"}));

TEST_F(FilterCommandsTest, WithoutAStoredFolderTheCurrentDirectoryIsUsed) {
    char previous[PATH_MAX];
    ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(::chdir(m_folder.Path().c_str()), 0);
    m_commands.OnModifyNamed();
    m_commands.OnSelectFilterFolder();  // cancelled
    ASSERT_EQ(::chdir(previous), 0);
    EXPECT_EQ(m_desktop.openedFiles, Files{m_folder.Path() + "/named.txt"});
    ASSERT_EQ(m_desktop.folderRequests.size(), 1u);
    EXPECT_EQ(m_desktop.folderRequests[0].start, m_folder.Path());
    EXPECT_EQ(m_folder.ProfileText(), "");
}

TEST_F(FilterCommandsTest, RelativeFolderReachesTheEditorAsAnAbsolutePath) {
    char previous[PATH_MAX];
    ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(::chdir(m_folder.Path().c_str()), 0);
    for (const char* stored : {"-x", "http:x"}) {
        Profile().WriteString("Preferences", "FilterPath", stored);
        m_commands.OnModifyNamed();
    }
    ASSERT_EQ(::chdir(previous), 0);
    EXPECT_EQ(m_desktop.openedFiles,
              (Files{m_folder.Path() + "/-x/named.txt", m_folder.Path() + "/http:x/named.txt"}));
}

TEST_F(FilterCommandsTest, ChooserStartsAtTheStoredFolderAndCancelStoresNothing) {
    Profile().WriteString("Preferences", "FilterPath", "/srv/lists");
    m_commands.OnSelectFilterFolder();
    ASSERT_EQ(m_desktop.folderRequests.size(), 1u);
    EXPECT_EQ(m_desktop.folderRequests[0].title, "Select Filter Folder");
    EXPECT_EQ(m_desktop.folderRequests[0].start, "/srv/lists");
    EXPECT_EQ(StoredFolder(), "/srv/lists");
}

TEST_F(FilterCommandsTest, ChosenFolderIsStoredAndEditedAtOnce) {
    const std::string filters = m_folder.AddFolder("Filters");
    m_desktop.folderToChoose = filters;
    m_commands.OnSelectFilterFolder();
    EXPECT_EQ(StoredFolder(), filters);
    m_commands.OnModifyPass();
    EXPECT_EQ(m_desktop.openedFiles, Files{filters + "/pass.txt"});
    m_desktop.folderToChoose.reset();
    m_commands.OnSelectFilterFolder();
    EXPECT_EQ(m_desktop.folderRequests.back().start, filters);
    EXPECT_EQ(StoredFolder(), filters);
}

}  // namespace
