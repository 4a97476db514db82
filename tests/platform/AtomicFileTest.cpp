#include "platform/AtomicFile.h"

#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/fakes/FullDisk.h"

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

// From here on the process gets EINVAL for renameat2, as from a file system that does not know
// the no-replace rename.
void RefuseNoReplaceRename() {
    sock_filter aFilter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_renameat2, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EINVAL),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{sizeof(aFilter) / sizeof(aFilter[0]), aFilter};
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
        prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0) {
        std::fputs("seccomp filter refused\n", stderr);
        std::_Exit(2);
    }
}

bool WriteAndCommit(const std::filesystem::path& target, const std::string& strBytes) {
    CAtomicFile file(target.string());
    if (!file.Open()) {
        return false;
    }
    file.Write(strBytes);
    return file.Commit();
}

TEST_F(AtomicFileTest, WithoutTheNoReplaceRenameFilesStillGoInPlaceWithTheirModes) {
    std::filesystem::permissions(m_target, std::filesystem::perms(0640));
    std::filesystem::path newFile = m_folder / "O0001.NC";
    auto writeBoth = [&] {
        RefuseNoReplaceRename();
        bool bOk = WriteAndCommit(m_target, "new contents") && WriteAndCommit(newFile, "%");
        std::_Exit(bOk ? 0 : 1);
    };
    EXPECT_EXIT(writeBoth(), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadFile(m_target), "new contents");
    EXPECT_EQ(std::filesystem::status(m_target).permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(ReadFile(newFile), "%");
    EXPECT_EQ(FilesInFolder(), 2u);
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
