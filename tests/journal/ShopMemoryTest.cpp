#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "journal/JournalRestore.h"
#include "journal/ShopMemory.h"
#include "platform/Digest.h"
#include "tests/fakes/TestServers.h"

namespace {

namespace fs = std::filesystem;

UnitStoreSettings Memory(const std::string& strRoot) {
    UnitStoreSettings settings;
    settings.strUsbDrive = strRoot;
    return settings;
}

// A deletion that cannot keep its copy asks on the windows' thread; a worker thread (a send to
// several units) never asks and leaves the file.
TEST(ShopMemoryTest, OnlyTheWindowsThreadAsksToGoOnWithoutACopy) {
    CTestFolder data;
    CTestFolder unit;
    WriteBytes(data / "History", "a file where the folder would be");
    int nAsked = 0;
    CShopMemory::Hooks hooks;
    hooks.goOnWithoutCopy = [&nAsked](const std::string&) { return ++nAsked > 0; };
    CShopMemory memory(data.Path(), {}, hooks);
    CShopMemory::SetCurrent(&memory);
    WriteBytes(unit / "A", "a");
    WriteBytes(unit / "B", "b");
    auto remove = [&unit](const char* pszName) {
        CUnitStore store(Memory(unit.Path()));
        ASSERT_TRUE(store.Connect() && store.SetFolder("/pub/"));
        store.Remove(pszName);
    };
    std::thread worker(remove, "A");
    worker.join();
    EXPECT_EQ(nAsked, 0);
    EXPECT_TRUE(fs::exists(unit / "A"));
    remove("B");
    EXPECT_EQ(nAsked, 1);
    EXPECT_FALSE(fs::exists(unit / "B"));
    std::vector<JournalRecord> aLines = memory.Journal().ReadAll();
    ASSERT_EQ(aLines.size(), 2U);
    EXPECT_EQ(aLines[0].strOutcome, JournalRecord::kOutcomeRefused);
    EXPECT_EQ(aLines[1].strOutcome, JournalRecord::kOutcomeDone);
    CShopMemory::SetCurrent(nullptr);
}

// A unit file whose name is not code page 932 (a lead byte without its trail; a server keeps
// the bytes that arrive): its journal line shows what it can, keeps the bytes, and a restore
// from the line brings the file back under that very name.
TEST(ShopMemoryTest, AUnitNameThatIsNotCodePage932IsRestoredUnderItsOwnBytes) {
    CVsftpd vsftpd;
    if (std::string strReason = vsftpd.Start(); !strReason.empty()) {
        GTEST_SKIP() << "vsftpd cannot serve here: " << strReason;
    }
    const std::string strName = "UNREG\x81";
    WriteBytes(vsftpd.PubFolder() + strName, "%\r\nO0009\r\nM30\r\n%\r\n");
    CTestFolder data;
    CShopMemory memory(data.Path(), {}, {});
    CShopMemory::SetCurrent(&memory);
    UnitStoreSettings settings;
    settings.nSousa = 1;
    settings.strServer = "127.0.0.1";
    settings.nPort = vsftpd.Port();
    {
        CUnitStore store(settings);
        ASSERT_TRUE(store.Connect() && store.SetFolder("/pub/"));
        ASSERT_TRUE(store.Remove(strName));
    }
    ASSERT_FALSE(fs::exists(vsftpd.PubFolder() + strName));
    std::vector<JournalRecord> aLines = memory.Journal().ReadAll();
    ASSERT_EQ(aLines.size(), 1U);
    EXPECT_EQ(aLines[0].strUnitName, "UNREG\xEF\xBF\xBD");
    EXPECT_EQ(aLines[0].strUnitNameBytes, strName);
    CJournalRestore restore(memory, settings, false, "");
    EXPECT_TRUE(restore.Restore(aLines[0]).bOk);
    EXPECT_EQ(ReadBytes(vsftpd.PubFolder() + strName), "%\r\nO0009\r\nM30\r\n%\r\n");
    CShopMemory::SetCurrent(nullptr);
}

// Stores of several units replacing and deleting at once: each line names its own unit and
// its kept bytes, as if they had worked one after the other.
TEST(ShopMemoryTest, StoresOfSeveralUnitsAtOnceKeepTheirOwnVersions) {
    CTestFolder data;
    CShopMemory memory(data.Path(), {}, {});
    CShopMemory::SetCurrent(&memory);
    constexpr int kUnits = 4;
    constexpr int kRounds = 30;
    std::vector<std::unique_ptr<CTestFolder>> aUnits;
    for (int i = 0; i < kUnits; ++i) {
        aUnits.push_back(std::make_unique<CTestFolder>());
    }
    std::vector<std::thread> aWorkers;
    for (int nUnit = 0; nUnit < kUnits; ++nUnit) {
        aWorkers.emplace_back([&, nUnit] {
            const std::string strRoot = aUnits[static_cast<size_t>(nUnit)]->Path();
            const std::string strLocal = data / ("local" + std::to_string(nUnit));
            CUnitStore store(Memory(strRoot));
            ASSERT_TRUE(store.Connect() && store.SetFolder("/pub/"));
            for (int nRound = 0; nRound < kRounds; ++nRound) {
                WriteBytes(strLocal, std::to_string(nUnit) + "/" + std::to_string(nRound));
                ASSERT_TRUE(store.PutFile(strLocal, "P"));
            }
            ASSERT_TRUE(store.Remove("P"));
        });
    }
    for (std::thread& worker : aWorkers) {
        worker.join();
    }
    std::vector<JournalRecord> aLines = memory.Journal().ReadAll();
    ASSERT_EQ(aLines.size(), static_cast<size_t>(kUnits * (kRounds + 1)));
    for (int nUnit = 0; nUnit < kUnits; ++nUnit) {
        std::string strPrevious;
        for (const JournalRecord& line : aLines) {
            if (line.strAddress != aUnits[static_cast<size_t>(nUnit)]->Path()) {
                continue;
            }
            EXPECT_EQ(line.strKept, strPrevious.empty() ? "" : Sha256Hex(strPrevious));
            EXPECT_EQ(line.strOutcome, JournalRecord::kOutcomeDone);
            strPrevious = memory.History().Load(line.strSha256).value_or("");
        }
        EXPECT_EQ(strPrevious, std::to_string(nUnit) + "/" + std::to_string(kRounds - 1));
    }
    CShopMemory::SetCurrent(nullptr);
}

UnitStoreSettings Network(int nPort) {
    UnitStoreSettings settings;
    settings.nSousa = 1;
    settings.strServer = "127.0.0.1";
    settings.nPort = nPort;
    settings.nTimeoutSeconds = 10;
    return settings;
}

// A program the program put is taken for its own while the unit shows it as the listing right
// after the put did. Written over by someone else in the same size within the same second it
// still passes; 2 seconds later, within the same minute of the listing, it is fetched again
// before its deletion, and the line's kept names what was there: the unit's MDTM tells.
TEST(ShopMemoryTest, AProgramRewrittenWithinTheMinuteIsFetchedAgain) {
    const std::string strPut = "%\r\nO0001(PUT BY THE PROGRAM)\r\nM30\r\n%\r\n";
    const std::string strOther(strPut.size(), 'X');
    for (bool bVsftpd : {false, true}) {
        for (int nSecondsLater : {0, 2}) {
            SCOPED_TRACE(std::string(bVsftpd ? "vsftpd, " : "unit simulator, ") +
                         std::to_string(nSecondsLater) + " s later");
            std::unique_ptr<CTestFtpServer> pServer;
            if (bVsftpd) {
                auto pVsftpd = std::make_unique<CVsftpd>();
                if (std::string strReason = pVsftpd->Start(); !strReason.empty()) {
                    GTEST_SKIP() << "vsftpd cannot serve here: " << strReason;
                }
                pServer = std::move(pVsftpd);
            } else {
                pServer = std::make_unique<CUnitSimulator>();
            }
            CTestFolder data;
            CShopMemory memory(data.Path(), {}, {});
            CShopMemory::SetCurrent(&memory);
            WriteBytes(data / "P.NC", strPut);
            // As after an earlier deletion of the same bytes: only what the history holds
            // needs no fetching.
            ASSERT_TRUE(memory.History().Keep(strPut).has_value());
            WaitForSecondsLeftInMinute(10);
            {
                CUnitStore store(Network(pServer->Port()));
                ASSERT_TRUE(store.Connect() && store.SetFolder("/pub/") &&
                            store.PutFile(data / "P.NC", "P.NC"));
            }
            const std::string strOnUnit = pServer->PubFolder() + "P.NC";
            struct stat put {};
            ASSERT_EQ(stat(strOnUnit.c_str(), &put), 0);
            WriteBytes(strOnUnit, strOther);
            timespec aTimes[2] = {put.st_mtim, put.st_mtim};
            aTimes[1].tv_sec += nSecondsLater;
            ASSERT_EQ(utimensat(AT_FDCWD, strOnUnit.c_str(), aTimes, 0), 0);
            {
                CUnitStore store(Network(pServer->Port()));
                ASSERT_TRUE(store.Connect() && store.SetFolder("/pub/") && store.Remove("P.NC"));
            }
            const JournalRecord line = memory.Journal().ReadAll().back();
            EXPECT_EQ(line.strDirection, JournalRecord::kDirectionDeleteOnUnit);
            EXPECT_EQ(line.strKept, Sha256Hex(nSecondsLater == 0 ? strPut : strOther));
            CShopMemory::SetCurrent(nullptr);
        }
    }
}

}  // namespace
