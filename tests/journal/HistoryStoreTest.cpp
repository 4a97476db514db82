#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "journal/HistoryStore.h"
#include "platform/Digest.h"
#include "tests/fakes/TestServers.h"

namespace {

namespace fs = std::filesystem;

std::string Bytes(char c) {
    return std::string(100, c);
}

// Each version is kept once, under the SHA-256 of its bytes, and loads back checked.
TEST(HistoryStoreTest, TheSameBytesAreKeptOnce) {
    CTestFolder folder;
    CHistoryStore history(folder / "History/", {});
    std::optional<std::string> first = history.Keep(Bytes('a'));
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, Sha256Hex(Bytes('a')));
    EXPECT_EQ(history.Keep(Bytes('a')), first);
    EXPECT_EQ(history.TotalBytes(), 100);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "History/"), fs::directory_iterator()),
              1);
    EXPECT_EQ(history.Load(*first), Bytes('a'));

    // A version altered on disk is no version any more, until the same bytes are kept again:
    // then it is written anew, whatever its name promised.
    for (const std::string& strDamage : {Bytes('b'), std::string(10, 'a')}) {
        WriteBytes(folder / "History/" + *first, strDamage);
        EXPECT_FALSE(history.Load(*first));
        EXPECT_EQ(history.Keep(Bytes('a')), first);
        EXPECT_EQ(history.Load(*first), Bytes('a'));
        EXPECT_EQ(history.TotalBytes(), 100);
    }
    EXPECT_FALSE(history.Load("../" + *first));
}

// With room for three versions, the fourth drops the one kept first; keeping bytes again makes
// them young, so the next to go is the next oldest.
TEST(HistoryStoreTest, TheLimitDropsTheOldestFirst) {
    CTestFolder folder;
    CHistoryStore history(folder / "History/", {350, 180});
    for (char c : {'a', 'b', 'c'}) {
        ASSERT_TRUE(history.Keep(Bytes(c)));
    }
    ASSERT_TRUE(history.Keep(Bytes('a')));  // a is the youngest now
    ASSERT_TRUE(history.Keep(Bytes('d')));
    EXPECT_FALSE(history.Holds(Sha256Hex(Bytes('b'))));
    for (char c : {'a', 'c', 'd'}) {
        EXPECT_TRUE(history.Holds(Sha256Hex(Bytes(c)))) << c;
    }
    ASSERT_TRUE(history.Keep(Bytes('e')));
    EXPECT_FALSE(history.Holds(Sha256Hex(Bytes('c'))));
    EXPECT_EQ(history.TotalBytes(), 300);
}

// The version just kept stays even when it alone passes the size limit: the older ones go
// first, and it goes only when a later version needs the room.
TEST(HistoryStoreTest, TheVersionJustKeptStaysWhateverItsSize) {
    CTestFolder folder;
    CHistoryStore history(folder / "History/", {250, 180});
    for (char c : {'a', 'b'}) {
        ASSERT_TRUE(history.Keep(Bytes(c)));
    }
    std::string strLarge(400, 'L');
    std::optional<std::string> large = history.Keep(strLarge);
    ASSERT_TRUE(large);
    EXPECT_EQ(history.Load(*large), strLarge);
    EXPECT_FALSE(history.Holds(Sha256Hex(Bytes('a'))));
    EXPECT_FALSE(history.Holds(Sha256Hex(Bytes('b'))));
    ASSERT_TRUE(history.Keep(Bytes('c')));
    EXPECT_FALSE(history.Holds(*large));
    EXPECT_TRUE(history.Holds(Sha256Hex(Bytes('c'))));
}

// Versions are written without waiting for the disk until Sync, which puts all at once.
TEST(HistoryStoreTest, SyncPutsEveryVersionWrittenOnTheDisk) {
    CTestFolder folder;
    CHistoryStore history(folder / "History/", {});
    EXPECT_TRUE(history.IsDurable());
    ASSERT_TRUE(history.Keep(Bytes('a')));
    ASSERT_TRUE(history.Keep(Bytes('b')));
    EXPECT_FALSE(history.IsDurable());
    EXPECT_TRUE(history.Sync());
    EXPECT_TRUE(history.IsDurable());
    ASSERT_TRUE(history.Keep(Bytes('a')));  // kept already: nothing new to sync
    EXPECT_TRUE(history.IsDurable());
}

// Versions older than the age limit go when the store is next used, youngest kept.
TEST(HistoryStoreTest, TheAgeLimitDropsOldVersions) {
    CTestFolder folder;
    std::string strOld;
    {
        CHistoryStore history(folder / "History/", {});
        strOld = *history.Keep(Bytes('o'));
        ASSERT_TRUE(history.Keep(Bytes('n')));
    }
    timespec aTimes[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 31 * 86400, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (folder / "History/" + strOld).c_str(), aTimes, 0), 0);
    CHistoryStore history(folder / "History/", {500 * 1024 * 1024, 30});
    EXPECT_EQ(history.TotalBytes(), 100);
    EXPECT_FALSE(history.Holds(strOld));
    EXPECT_TRUE(history.Holds(Sha256Hex(Bytes('n'))));
}

}  // namespace
