#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <thread>

#include "journal/Journal.h"
#include "platform/Digest.h"
#include "tests/fakes/TestServers.h"

namespace {

namespace fs = std::filesystem;

size_t JournalBytes(const std::string& strPath) {
    std::error_code error;
    return fs::exists(strPath, error) ? static_cast<size_t>(fs::file_size(strPath, error)) : 0;
}

// The writer killed at many points of its work: every journal line still parses, and every
// version in the history store holds the bytes its name says.
TEST(JournalKillTest, AKilledWriterLeavesWholeLinesAndWholeVersions) {
    for (int nKill = 0; nKill < 5; ++nKill) {
        SCOPED_TRACE(nKill);
        CTestFolder data;
        CTestFolder store;
        fs::create_directories(store.Path());
        CJournal journal(data.Path(), CJournal::kDefaultRotateBytes);
        pid_t nChild = fork();
        ASSERT_GE(nChild, 0);
        if (nChild == 0) {
            execl(JOURNAL_KILL_CHILD, JOURNAL_KILL_CHILD, data.Path().c_str(), store.Path().c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        // Let it write a while: a different number of bytes for each kill.
        while (JournalBytes(journal.CurrentPath()) < 4000u * static_cast<size_t>(nKill + 1)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            int nStatus = 0;
            ASSERT_EQ(waitpid(nChild, &nStatus, WNOHANG), 0) << "the child ended by itself";
        }
        kill(nChild, SIGKILL);
        int nStatus = 0;
        ASSERT_EQ(waitpid(nChild, &nStatus, 0), nChild);
        ASSERT_TRUE(WIFSIGNALED(nStatus));

        std::string strText = ReadBytes(journal.CurrentPath());
        ASSERT_TRUE(strText.ends_with('\n'));
        std::istringstream lines(strText);
        std::string strLine;
        size_t nLines = 0;
        while (std::getline(lines, strLine)) {
            ++nLines;
            EXPECT_TRUE(JournalRecord::FromJsonLine(strLine)) << strLine;
        }
        EXPECT_EQ(journal.ReadAll().size(), nLines);
        size_t nVersions = 0;
        for (const auto& entry : fs::directory_iterator(data / "History/")) {
            ++nVersions;
            EXPECT_EQ(Sha256Hex(ReadBytes(entry.path().string())),
                      entry.path().filename().string());
        }
        EXPECT_GT(nVersions, 0u);
    }
}

}  // namespace
