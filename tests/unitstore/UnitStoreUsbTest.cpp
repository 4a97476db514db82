#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "platform/Progress.h"
#include "settings/SetData.h"
#include "tests/fakes/SyscallRefusal.h"
#include "tests/fakes/TestServers.h"
#include "tests/unitstore/StoreListing.h"
#include "unitstore/UnitStore.h"

namespace {

// "テスト.NC" in code page 932 and in UTF-8.
const std::string kJapaneseName = "\x83\x65\x83\x58\x83\x67.NC";
const std::string kJapaneseFileName = "テスト.NC";

mode_t ModeOf(const std::string& strPath) {
    struct stat status {};
    stat(strPath.c_str(), &status);
    return status.st_mode & 07777;
}

// The USB memory transport on a temporary folder standing in for the mounted memory.
class UnitStoreUsbTest : public ::testing::Test {
protected:
    UnitStoreUsbTest() : m_store(Settings(m_drive.Path())) {}

    static UnitStoreSettings Settings(const std::string& strDrive) {
        UnitStoreSettings settings;
        settings.nSousa = 0;
        settings.strUsbDrive = strDrive;
        return settings;
    }

    CTestFolder m_drive;
    CTestFolder m_local;
    CUnitStore m_store;
};

TEST_F(UnitStoreUsbTest, CopiesReplaceFilesBothWaysAndLeaveThemWritable) {
    WriteBytes(m_local / "a.nc", "%\r\nO0001\r\nG00 X0\r\n%\r\n");
    WriteBytes(m_local / "b.nc", "%\r\n%\r\n");
    WriteBytes(m_drive / "RZKOUT.NC", "an older program, longer than the new one");
    chmod((m_drive / "RZKOUT.NC").c_str(), 0444);

    ASSERT_TRUE(m_store.Connect());
    ASSERT_TRUE(m_store.SetFolder("/pub/"));
    EXPECT_TRUE(m_store.PutFile(m_local / "a.nc", "RZKOUT.NC"));
    EXPECT_EQ(ReadBytes(m_drive / "RZKOUT.NC"), ReadBytes(m_local / "a.nc"));
    EXPECT_EQ(ModeOf(m_drive / "RZKOUT.NC") & 0600, 0600u);
    EXPECT_TRUE(m_store.PutFile(m_local / "b.nc", "RZKOUT.NC"));
    EXPECT_EQ(ReadBytes(m_drive / "RZKOUT.NC"), "%\r\n%\r\n");

    WriteBytes(m_local / "back.nc", "the operator's longer file on the PC");
    EXPECT_TRUE(m_store.GetFile("RZKOUT.NC", m_local / "back.nc"));
    EXPECT_EQ(ReadBytes(m_local / "back.nc"), "%\r\n%\r\n");
    EXPECT_FALSE(m_store.GetFile("RZKIN", m_local / "RZKIN"));
    EXPECT_FALSE(m_store.PutFile(m_local / "missing.nc", "RZKIN"));
    EXPECT_EQ(FolderEntries(m_drive.Path()), (std::set<std::string>{"RZKOUT.NC"}));
    EXPECT_EQ(FolderEntries(m_local.Path()), (std::set<std::string>{"a.nc", "b.nc", "back.nc"}));
    m_store.Close();
}

TEST_F(UnitStoreUsbTest, FoldersRemovalAndListing) {
    std::filesystem::create_directories(m_drive / "RzFilesIn/old.fno");
    for (const char* szName : {"RzFilesIn/0001.fno", "RzFilesIn/0002.FNO", "RzFilesIn/a.txt"}) {
        WriteBytes(m_drive / szName, "%\r\n");
    }
    // A name with no code page 932 form cannot be named back to the store: it is left out.
    WriteBytes(m_drive / "RzFilesIn/\xF0\x9F\x98\x80.fno", "%\r\n");

    ASSERT_TRUE(m_store.Connect());
    ASSERT_TRUE(m_store.SetFolder("/pub/"));
    EXPECT_TRUE(m_store.CreateDirectory("RzFilesOut"));
    EXPECT_TRUE(std::filesystem::is_directory(m_drive / "RzFilesOut"));
    EXPECT_TRUE(m_store.CreateDirectory("RzFilesOut"));
    EXPECT_EQ(Described(m_store.FindFiles("*")),
              (std::vector<std::string>{"RzFilesIn/", "RzFilesOut/"}));

    ASSERT_TRUE(m_store.SetFolder("RzFilesIn"));
    EXPECT_EQ(Described(m_store.FindFiles("*.fno")),
              (std::vector<std::string>{"0001.fno", "0002.FNO", "old.fno/"}));
    EXPECT_TRUE(m_store.Remove("0001.fno"));
    EXPECT_FALSE(m_store.Remove("0001.fno"));
    EXPECT_FALSE(m_store.Remove("old.fno"));
    EXPECT_FALSE(m_store.Remove("../RzFilesIn/0002.FNO"));
    EXPECT_EQ(Described(m_store.FindFiles("*.fno")),
              (std::vector<std::string>{"0002.FNO", "old.fno/"}));

    ASSERT_TRUE(m_store.SetFolder("/pub/RzFilesOut/"));
    std::optional<std::vector<StoreEntry>> empty = m_store.FindFiles("*");
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->empty());
    ASSERT_TRUE(m_store.SetFolder("images"));
    EXPECT_FALSE(m_store.FindFiles("*").has_value()) << "a missing folder cannot be listed";
    m_store.Close();
}

TEST_F(UnitStoreUsbTest, JapaneseStoreNamesAreUtf8FileNames) {
    WriteBytes(m_local / "program.nc", "%\r\nO0001\r\n%\r\n");
    ASSERT_TRUE(m_store.Connect());
    ASSERT_TRUE(m_store.SetFolder("/pub/"));
    ASSERT_TRUE(m_store.PutFile(m_local / "program.nc", kJapaneseName));
    EXPECT_EQ(FolderEntries(m_drive.Path()), (std::set<std::string>{kJapaneseFileName}));
    EXPECT_EQ(Described(m_store.FindFiles("*.nc")), (std::vector<std::string>{kJapaneseName}));
    EXPECT_TRUE(m_store.GetFile(kJapaneseName, m_local / "back.nc"));
    EXPECT_EQ(ReadBytes(m_local / "back.nc"), "%\r\nO0001\r\n%\r\n");

    // A lone lead byte is no code page 932 text: the operation fails and touches nothing.
    EXPECT_FALSE(m_store.PutFile(m_local / "program.nc", "\x83.NC"));
    EXPECT_FALSE(m_store.GetFile("\x83.NC", m_local / "none.nc"));
    EXPECT_FALSE(m_store.Remove("\x83.NC"));
    EXPECT_EQ(FolderEntries(m_drive.Path()), (std::set<std::string>{kJapaneseFileName}));
    EXPECT_TRUE(m_store.Remove(kJapaneseName));
    EXPECT_TRUE(FolderEntries(m_drive.Path()).empty());
    m_store.Close();
}

// Running as root, permissions stop nothing: a file standing where a folder should be is what
// makes these writes fail for real.
TEST_F(UnitStoreUsbTest, UnwritablePlacesFailWithoutLeavingAnything) {
    WriteBytes(m_drive / "RzFilesOut", "a file, not a folder");
    std::filesystem::create_directories(m_drive / "RZKOUT.NC");
    WriteBytes(m_local / "a.nc", "%\r\n");

    ASSERT_TRUE(m_store.Connect());
    ASSERT_TRUE(m_store.SetFolder("/pub/"));
    EXPECT_FALSE(m_store.CreateDirectory("RzFilesOut"));
    EXPECT_FALSE(m_store.PutFile(m_local / "a.nc", "RZKOUT.NC"));
    EXPECT_FALSE(m_store.GetFile("RzFilesOut", m_local / "nowhere/x.nc"));
    ASSERT_TRUE(m_store.SetFolder("RzFilesOut"));
    EXPECT_FALSE(m_store.PutFile(m_local / "a.nc", "0010.fno"));
    EXPECT_FALSE(m_store.FindFiles("*.fno").has_value());
    EXPECT_EQ(FolderEntries(m_drive.Path()), (std::set<std::string>{"RZKOUT.NC", "RzFilesOut"}));
    EXPECT_TRUE(FolderEntries(m_drive / "RZKOUT.NC").empty());
    EXPECT_FALSE(m_store.HasConnectionFailed());
    m_store.Close();
}

// A USB memory pulled out half way through a copy keeps the copy's temporary file, as FAT has
// no unnamed files (the child process below stands for that: its file system refuses them, and
// it ends during the copy). No listing shows that file, and the next copy into the folder
// removes it; a file of the same form that another program on this PC is still writing stays.
TEST_F(UnitStoreUsbTest, ACopyCutOffLeavesNothingThatIsListedOrThatStays) {
    WriteBytes(m_local / "big.nc", RandomBytes(4 * 1024 * 1024));
    WriteBytes(m_local / "small.nc", "%\r\n%\r\n");
    auto pulledHalfWay = [&] {
        RefuseFromNowOn(
            {"FAT", __NR_openat, EOPNOTSUPP, 2, static_cast<uint32_t>(O_TMPFILE & ~O_DIRECTORY)});
        CProgress pulled([](const CProgress::State& state) {
            if (state.nBytesDone > 0) {
                std::_Exit(0);
            }
        });
        CUnitStore store(Settings(m_drive.Path()));
        bool bCopied = store.Connect() && store.SetFolder("/pub/") &&
                       store.PutFile(m_local / "big.nc", "RZKOUT");
        std::_Exit(bCopied ? 1 : 2);
    };
    EXPECT_EXIT(pulledHalfWay(), ::testing::ExitedWithCode(0), "");
    std::set<std::string> aLeftOver = FolderEntries(m_drive.Path());
    ASSERT_EQ(aLeftOver.size(), 1u) << "the cut copy leaves its temporary file";
    std::string strLeftOver = *aLeftOver.begin();
    // The same form, from a program of this PC that is still running.
    std::string strStillWritten = strLeftOver;
    size_t nProcess = strStillWritten.find('-', strStillWritten.find('-') + 1) + 1;
    strStillWritten.replace(nProcess, strStillWritten.find('-', nProcess) - nProcess,
                            std::to_string(getppid()));
    WriteBytes(m_drive / strStillWritten, "half a program");

    ASSERT_TRUE(m_store.Connect());
    ASSERT_TRUE(m_store.SetFolder("/pub/"));
    EXPECT_EQ(Described(m_store.FindFiles("*")), std::vector<std::string>{});
    EXPECT_TRUE(m_store.PutFile(m_local / "small.nc", "RZKOUT"));
    EXPECT_EQ(FolderEntries(m_drive.Path()), (std::set<std::string>{"RZKOUT", strStillWritten}));
    EXPECT_EQ(Described(m_store.FindFiles("*")), std::vector<std::string>{"RZKOUT"});
    m_store.Close();
}

TEST(UnitStoreNamesTest, OutputAndInputNamesFollowTheProfile) {
    struct NameCase {
        bool bAddDot;
        bool bSame;
        const char* szOutput;
        const char* szInput;
    };
    for (const NameCase& nameCase :
         {NameCase{false, false, "RZKOUT", "RZKIN"}, NameCase{true, false, "RZKOUT.NC", "RZKIN.NC"},
          NameCase{false, true, "RZKOUT", "RZKOUT"},
          NameCase{true, true, "RZKOUT.NC", "RZKOUT.NC"}}) {
        CSetData setData;
        setData.OUT_FILE_NAME = "RZKOUT";
        setData.IN_FILE_NAME = "RZKIN";
        setData.DOT = "NC";
        setData.ADD_DOT = nameCase.bAddDot;
        setData.SAME = nameCase.bSame;
        EXPECT_EQ(CUnitStore::OutputName(setData), nameCase.szOutput);
        EXPECT_EQ(CUnitStore::InputName(setData), nameCase.szInput);
    }
}

}  // namespace
