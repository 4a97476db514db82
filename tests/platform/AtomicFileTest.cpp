#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/fakes/FullDisk.h"
#include "tests/fakes/SyscallRefusal.h"

namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = std::filesystem::temp_directory_path() / ("atomic_" + std::to_string(getpid()));
        std::filesystem::create_directories(m_folder);
        m_target = m_folder / "FileList.fno";
        std::ofstream(m_target, std::ios::binary) << "old contents";
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    size_t FilesInFolder() const {
        return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(m_folder),
                                                 std::filesystem::directory_iterator()));
    }

    std::filesystem::path m_folder;
    std::filesystem::path m_target;
};

TEST_F(AtomicFileTest, ReplacesTheTargetOnlyOnCommit) {
    CAtomicFile file(m_target.string());
    ASSERT_TRUE(file.Open());
    file.WriteLine("#ListHead Section Start");
    EXPECT_EQ(ReadFile(m_target), "old contents");
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(ReadFile(m_target), "#ListHead Section Start\r\n");
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(AtomicFileTest, AnUncommittedFileLeavesNothingBehind) {
    {
        CAtomicFile file(m_target.string());
        ASSERT_TRUE(file.Open());
        file.Write("half");
    }
    EXPECT_EQ(ReadFile(m_target), "old contents");
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(AtomicFileTest, AReplacedFileKeepsItsPermissions) {
    std::filesystem::permissions(m_target, std::filesystem::perms(0640));
    CAtomicFile file(m_target.string());
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(std::filesystem::status(m_target).permissions(), std::filesystem::perms(0640));
}

TEST_F(AtomicFileTest, ANewFileGetsTheModeOfAnOrdinaryCreate) {
    mode_t previous = umask(027);
    std::filesystem::path newFile = m_folder / "O0001.NC";
    CAtomicFile file(newFile.string());
    ASSERT_TRUE(file.Open());
    file.Write("%");
    bool bCommitted = file.Commit();
    umask(previous);
    ASSERT_TRUE(bCommitted);
    EXPECT_EQ(std::filesystem::status(newFile).permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(ReadFile(newFile), "%");
    EXPECT_EQ(FilesInFolder(), 2u);
}

// Where the folder's file system makes unnamed files, a file being written has no name
// anyone could open, and a crash before Commit leaves nothing in the folder.
TEST_F(AtomicFileTest, AFileBeingWrittenHasNoNameAndACrashLeavesNothing) {
    int nProbe = open(m_folder.c_str(), O_WRONLY | O_TMPFILE | O_CLOEXEC, 0600);
    if (nProbe < 0) {
        GTEST_SKIP() << "the test folder's file system makes no unnamed files";
    }
    close(nProbe);
    auto crashWhileWriting = [&] {
        CAtomicFile file((m_folder / "O0001.NC").string());
        bool bOpen = file.Open();
        file.Write("%\r\nO0001\r\n");
        std::_Exit(bOpen && FilesInFolder() == 1 ? 0 : 1);
    };
    EXPECT_EXIT(crashWhileWriting(), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(FilesInFolder(), 1u);
}

bool WriteAndCommit(const std::filesystem::path& target, const std::string& strBytes) {
    CAtomicFile file(target.string());
    if (!file.Open()) {
        return false;
    }
    file.Write(strBytes);
    return file.Commit();
}

// Whatever way the system refuses, a replaced file gets the new contents and keeps its mode,
// a new file goes in place, and nothing else is left in the folder.
TEST_F(AtomicFileTest, FilesGoInPlaceWithTheirModesWhateverWayTheSystemRefuses) {
    const Refusal aRefusals[] = {
        {"a file system without unnamed files (FAT)", __NR_openat, EOPNOTSUPP, 2,
         static_cast<uint32_t>(O_TMPFILE & ~O_DIRECTORY)},
        {"an ordinary user, who may not name a descriptor directly", __NR_linkat, ENOENT, 4,
         AT_EMPTY_PATH},
        {"a file system without the no-replace rename", __NR_renameat2, EINVAL},
    };
    for (const Refusal& refusal : aRefusals) {
        std::ofstream(m_target, std::ios::binary) << "old contents";
        std::filesystem::permissions(m_target, std::filesystem::perms(0640));
        std::filesystem::path newFile = m_folder / "O0001.NC";
        std::filesystem::remove(newFile);
        auto writeBoth = [&] {
            RefuseFromNowOn(refusal);
            bool bOk = WriteAndCommit(m_target, "new contents") && WriteAndCommit(newFile, "%");
            std::_Exit(bOk ? 0 : 1);
        };
        EXPECT_EXIT(writeBoth(), ::testing::ExitedWithCode(0), "") << refusal.pszAsWith;
        EXPECT_EQ(ReadFile(m_target), "new contents") << refusal.pszAsWith;
        EXPECT_EQ(std::filesystem::status(m_target).permissions(), std::filesystem::perms(0640))
            << refusal.pszAsWith;
        EXPECT_EQ(ReadFile(newFile), "%") << refusal.pszAsWith;
        EXPECT_EQ(FilesInFolder(), 2u) << refusal.pszAsWith;
    }
}

TEST_F(AtomicFileTest, AFullDiskIsAFailureAndTheOldFileStays) {
    CAtomicFile file(m_target.string());
    bool bCommitted = true;
    {
        CFullDisk fullDisk;
        ASSERT_TRUE(file.Open());
        file.Write(std::string(1 << 20, 'x'));
        bCommitted = file.Commit();
    }
    EXPECT_FALSE(bCommitted);
    EXPECT_EQ(ReadFile(m_target), "old contents");
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(AtomicFileTest, AMissingFolderFailsToOpen) {
    CAtomicFile file((m_folder / "missing" / "x").string());
    EXPECT_FALSE(file.Open());
    file.Write("x");
    EXPECT_FALSE(file.Commit());
}

}  // namespace
