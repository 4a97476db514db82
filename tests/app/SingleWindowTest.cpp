// Two starts of the built program on one data folder, as a file manager makes them: the second
// hands its file to the window of the first and ends.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/SingleWindow.h"
#include "tests/fakes/TestServers.h"

namespace {

using namespace std::chrono_literals;

const std::string kProgram = "%\r\nO0001\r\nG00X0\r\nM30\r\n%\r\n";

// The copy of the program in the folder, started there on Qt's offscreen platform.
pid_t Start(const CTestFolder& folder, const std::vector<std::string>& aArguments) {
    pid_t pid = fork();
    if (pid == 0) {
        std::string strLog = folder / "output.txt";
        if (chdir(folder.Path().c_str()) != 0 || freopen(strLog.c_str(), "a", stdout) == nullptr ||
            freopen(strLog.c_str(), "a", stderr) == nullptr) {
            _exit(127);
        }
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        std::vector<char*> aArgv{const_cast<char*>("./RZKSET")};
        for (const std::string& strArgument : aArguments) {
            aArgv.push_back(const_cast<char*>(strArgument.c_str()));
        }
        aArgv.push_back(nullptr);
        execv(aArgv[0], aArgv.data());
        _exit(127);
    }
    return pid;
}

// The exit status once the process has ended within the time; -1 when it still runs.
int WaitForExit(pid_t pid, std::chrono::milliseconds time) {
    auto deadline = std::chrono::steady_clock::now() + time;
    do {
        int nStatus = 0;
        if (waitpid(pid, &nStatus, WNOHANG) == pid) {
            return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
        }
        std::this_thread::sleep_for(20ms);
    } while (std::chrono::steady_clock::now() < deadline);
    return -1;
}

bool Eventually(const std::function<bool()>& condition) {
    auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

TEST(SingleWindow, ASecondStartHandsItsFilesToTheRunningWindow) {
    CUnitSimulator unit({"--seed"});
    CTestFolder folder;
    std::filesystem::copy_file(RZKSET_PROGRAM, folder / "RZKSET");
    std::filesystem::create_directory(folder / "Data");
    WriteBytes(folder / "RZKSET.ini",
               "[System]\r\nSousa=1\r\nPort=" + std::to_string(unit.Port()) + "\r\n");
    WriteBytes(folder / "Data/\xEF\xBC\x91号機.txt",
               "#RZKSet Section Start\r\nIP1=127\r\nIP2=0\r\nIP3=0\r\nIP4=1\r\n"
               "#RZKSet Section End\r\n");
    WriteBytes(folder / "a.nc", kProgram);

    pid_t window = Start(folder, {});
    CSingleWindow sameFolder(folder.Path());
    ASSERT_TRUE(Eventually([&] { return sameFolder.HandToRunningWindow({}); }))
        << ReadBytes(folder / "output.txt");
    // Another data folder has a window of its own.
    EXPECT_FALSE(CSingleWindow(folder / "elsewhere/").HandToRunningWindow({}));

    pid_t second = Start(folder, {"a.nc"});
    EXPECT_EQ(WaitForExit(second, 10s), 0) << "a second window opened";
    if (WaitForExit(second, 0ms) == -1) {
        kill(second, SIGKILL);
        waitpid(second, nullptr, 0);
    }
    EXPECT_TRUE(Eventually([&] { return ReadBytes(unit.PubFolder() + "RZKOUT") == kProgram; }));
    kill(window, SIGKILL);
    waitpid(window, nullptr, 0);
}

}  // namespace
