#include <gtest/gtest.h>
#include <sched.h>
#include <stdlib.h>
#include <sys/mount.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/MountWatcher.h"

namespace fs = std::filesystem;

namespace {

// Runs the event loop until the watcher reports an arrival, or gives up after a while.
void WaitForArrival(CMountWatcher& watcher) {
    QEventLoop loop;
    QTimer::singleShot(std::chrono::seconds(5), &loop, &QEventLoop::quit);
    QObject::connect(&watcher, &CMountWatcher::VolumeArrived, &loop, &QEventLoop::quit);
    loop.exec();
}

// Mounts in a mount namespace of the test's own, so that nothing reaches the machine's table
// and everything goes with the process, whatever the test's outcome.
class MountWatcherTest : public testing::Test {
protected:
    void SetUp() override {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            GTEST_SKIP() << "mounting is not permitted here: " << std::strerror(errno);
        }
        std::string strTemplate = (fs::temp_directory_path() / "mountsXXXXXX").string();
        ASSERT_NE(::mkdtemp(strTemplate.data()), nullptr);
        m_strFolder = fs::canonical(strTemplate).string();
    }

    void TearDown() override {
        for (const std::string& strPoint : {FirstPoint(), SecondPoint()}) {
            ::umount2(strPoint.c_str(), MNT_DETACH);
        }
        std::error_code error;
        fs::remove_all(m_strFolder, error);
    }

    std::string FirstPoint() const { return m_strFolder + "/first stick"; }
    std::string SecondPoint() const { return m_strFolder + "/second"; }

    static void Mount(const std::string& strPoint) {
        fs::create_directories(strPoint);
        ASSERT_EQ(::mount("rzkset-test", strPoint.c_str(), "tmpfs", 0, "size=64k"), 0)
            << std::strerror(errno);
    }

    int m_nArgc = 1;
    char m_name[5] = "test";
    char* m_argv[1] = {m_name};
    QCoreApplication m_application{m_nArgc, m_argv};
    std::string m_strFolder;
};

TEST_F(MountWatcherTest, ReportsEachNewMountPointOnItsArrival) {
    CMountWatcher watcher;
    ASSERT_TRUE(watcher.IsWatching());
    std::vector<std::string> aArrived;
    QObject::connect(&watcher, &CMountWatcher::VolumeArrived,
                     [&](const std::string& strRoot) { aArrived.push_back(strRoot); });

    Mount(FirstPoint());
    WaitForArrival(watcher);
    EXPECT_EQ(aArrived, std::vector<std::string>{FirstPoint() + "/"});

    // An unmount is no arrival; the next mount is reported alone.
    ASSERT_EQ(::umount2(FirstPoint().c_str(), 0), 0);
    Mount(SecondPoint());
    WaitForArrival(watcher);
    EXPECT_EQ(aArrived, (std::vector<std::string>{FirstPoint() + "/", SecondPoint() + "/"}));

    // Mounting on the first point again is a new arrival there.
    Mount(FirstPoint());
    WaitForArrival(watcher);
    EXPECT_EQ(aArrived, (std::vector<std::string>{FirstPoint() + "/", SecondPoint() + "/",
                                                  FirstPoint() + "/"}));
}

TEST(MountWatcherOpenTest, WithoutAMountTableNothingIsWatched) {
    CMountWatcher watcher("/nonexistent-proc");
    EXPECT_FALSE(watcher.IsWatching());
}

}  // namespace
