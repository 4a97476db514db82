#include "platform/ProgramFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder =
            std::filesystem::temp_directory_path() / ("program_folder_" + std::to_string(getpid()));
        std::filesystem::create_directories(m_folder / "exe");
        m_strExe = (m_folder / "exe").string() + "/";
        m_strXdg = (m_folder / "xdg").string();
        m_strHome = (m_folder / "home").string();
    }
    void TearDown() override {
        std::filesystem::permissions(m_folder / "exe", std::filesystem::perms::owner_all);
        std::filesystem::remove_all(m_folder);
    }

    std::filesystem::path m_folder;
    std::string m_strExe;
    std::string m_strXdg;
    std::string m_strHome;
};

TEST_F(ProgramFolderTest, AWritableExecutableFolderKeepsTheFilesBesideTheProgram) {
    EXPECT_EQ(ProgramFolder(m_strExe, m_strXdg, m_strHome), m_strExe);
    EXPECT_FALSE(std::filesystem::exists(m_strXdg));
}

// An installed program: /usr is never written, even where the user could (root).
TEST_F(ProgramFolderTest, AnInstalledProgramUsesTheUserDataFolderAndCreatesIt) {
    struct Case {
        std::string strXdg;
        std::string strHome;
        std::string strExpected;
    } cases[] = {
        {m_strXdg, m_strHome, m_strXdg + "/rzkset/"},
        {"", m_strHome, m_strHome + "/.local/share/rzkset/"},
        {"relative/xdg", m_strHome, m_strHome + "/.local/share/rzkset/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.strXdg);
        EXPECT_EQ(ProgramFolder("/usr/lib/rzkset/", c.strXdg, c.strHome), c.strExpected);
        EXPECT_TRUE(std::filesystem::is_directory(c.strExpected + "Data"));
    }
}

TEST_F(ProgramFolderTest, AReadOnlyExecutableFolderUsesTheUserDataFolder) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root may write a read-only folder";
    }
    std::filesystem::permissions(
        m_folder / "exe", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_EQ(ProgramFolder(m_strExe, m_strXdg, m_strHome), m_strXdg + "/rzkset/");
}

// Without a data folder the program stays where it is, and its first write reports the failure.
TEST_F(ProgramFolderTest, WithoutAUsableDataFolderTheExecutableFolderIsKept) {
    std::ofstream(m_folder / "file") << "not a folder";
    std::string strFile = (m_folder / "file").string();
    EXPECT_EQ(ProgramFolder("/usr/lib/rzkset/", "", ""), "/usr/lib/rzkset/");
    EXPECT_EQ(ProgramFolder("/usr/lib/rzkset/", strFile, m_strHome), "/usr/lib/rzkset/");
}

}  // namespace
