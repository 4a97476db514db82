#include "maint/UnitMaintenance.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tests/fakes/TestServers.h"
#include "unitstore/UnitStore.h"

namespace {

const std::string kHeadersOnly = "---Ver.---\r\n\r\n---ＲＳ通信設定---\r\n\r\n---ﾈｯﾄﾜｰｸ設定---\r\n";

// The report of the simulator's seeded images folder.
const std::string kSeededReport =
    "---Ver.---\r\nRZK-70 1.02A\r\nMAC 00:11:22:33:44:55\r\n"
    "\r\n---ＲＳ通信設定---\r\n"
    "ボーレート：9600\r\nストップビット：2bit\r\n出力コード：ISO\r\n入力コード：自動\r\n"
    "リモート指示用プログラム番号1：7000\r\nリモート指示用プログラム番号2：7009\r\n"
    "拡張子の自動追加：OFF（追加しない）\r\nプログラムファイル拡張子：\r\n"
    "初期状態の入出力ファイル：OFF（同じにしない）\r\n出力ファイル名：RZKOUT\r\n"
    "入力ファイル名：RZKIN\r\n"
    "\r\n---ﾈｯﾄﾜｰｸ設定---\r\n"
    "auto lo\r\niface lo inet loopback\r\nauto eth0\r\niface eth0 inet static\r\n"
    "address 192.168.0.102\r\nnetmask 255.255.255.0\r\n"
    "\r\n---番号指定---\r\nバーコードリーダ\r\n有\r\n1\r\n"
    "\r\n---ファイル名指定---\r\nバーコードリーダ\r\n無\r\n0\r\n"
    "\r\n---番号指定---\r\nNC\r\n有\r\n1\r\n"
    "\r\n---ファイル名指定---\r\nNC\r\n有\r\n1\r\n";

class UnitMaintenanceTest : public ::testing::Test {
protected:
    // The seeded unit, reached over the network or, through its store folder, as the USB
    // memory.
    UnitStoreSettings UseUnit(bool bNetwork, const std::vector<std::string>& aFaults = {}) {
        std::vector<std::string> aOptions = {"--seed"};
        aOptions.insert(aOptions.end(), aFaults.begin(), aFaults.end());
        m_pUnit = std::make_unique<CUnitSimulator>(aOptions);
        UnitStoreSettings settings;
        settings.nSousa = bNetwork ? 1 : 0;
        settings.strServer = "127.0.0.1";
        settings.nPort = m_pUnit->Port();
        settings.nTimeoutSeconds = 10;
        settings.strUsbDrive = m_pUnit->PubFolder();
        return settings;
    }

    std::set<std::string> UnitImages() const {
        return FolderEntries(m_pUnit->PubFolder() + "images");
    }

    std::unique_ptr<CUnitSimulator> m_pUnit;
    CTestFolder m_staging;
};

// Over both transports: the report of the seeded files; after the deletion the files are gone
// and the report holds only its headers. Over the network nothing stays in the staging folder,
// and a copy left there earlier is never taken for the unit's file.
TEST_F(UnitMaintenanceTest, ReportsAndDeletesTheUnitsFiles) {
    for (bool bNetwork : {true, false}) {
        SCOPED_TRACE(bNetwork ? "network" : "USB memory");
        UnitStoreSettings settings = UseUnit(bNetwork);
        std::filesystem::remove(m_pUnit->PubFolder() + "images/RZK70.REQ");
        WriteBytes(m_staging / "RZK70.REQ", "NNUMNE=STALE\r\n");
        std::string strReport = CollectMaintenanceReport(settings, m_staging.Path());
        EXPECT_EQ(strReport, kSeededReport.substr(0, kSeededReport.find("\r\n---番号指定")));
        EXPECT_EQ(FolderEntries(m_staging.Path()),
                  bNetwork ? std::set<std::string>() : std::set<std::string>{"RZK70.REQ"});
        std::filesystem::remove(m_staging / "RZK70.REQ");

        WriteBytes(m_pUnit->PubFolder() + "images/RZK70.REQ",
                   "BNUMEX=1\r\nBNAMNE=0\r\nNNUMEX=1\r\nNNAMEX=1\r\n");
        EXPECT_EQ(CollectMaintenanceReport(settings, m_staging.Path()), kSeededReport);

        DeleteMaintenanceFiles(settings);
        EXPECT_TRUE(UnitImages().empty());
        EXPECT_EQ(CollectMaintenanceReport(settings, m_staging.Path()), kHeadersOnly);
        EXPECT_TRUE(FolderEntries(m_staging.Path()).empty());
    }
}

// A maintenance file far larger than the unit writes (2 MB of one line here) is damaged: its
// section stays empty, as for a file that could not be read, the report ends naming it, and the
// rest is reported.
TEST_F(UnitMaintenanceTest, AFileFarLargerThanAnyTheUnitWritesIsLeftOutAndCalledDamaged) {
    const std::string strNetworkLines =
        "auto lo\r\niface lo inet loopback\r\nauto eth0\r\niface eth0 inet static\r\n"
        "address 192.168.0.102\r\nnetmask 255.255.255.0\r\n";
    std::string strExpected = kSeededReport;
    strExpected.erase(strExpected.find(strNetworkLines), strNetworkLines.size());
    strExpected += "\r\ninterfaces：ファイルが壊れています（大きすぎます）。\r\n";
    for (bool bNetwork : {true, false}) {
        SCOPED_TRACE(bNetwork ? "network" : "USB memory");
        UnitStoreSettings settings = UseUnit(bNetwork);
        WriteBytes(m_pUnit->PubFolder() + "images/interfaces", std::string(2 << 20, 'x'));
        EXPECT_EQ(CollectMaintenanceReport(settings, m_staging.Path()), strExpected);
        EXPECT_TRUE(FolderEntries(m_staging.Path()).empty());
    }
}

// A unit that cannot be reached makes the connection failure the whole report; one that
// refuses the folder or the downloads shows the headers; the deletion reports nothing either
// way and leaves what it could not delete.
TEST_F(UnitMaintenanceTest, FailuresOfTheUnitShowInTheReport) {
    const struct {
        const char* pszName;
        std::vector<std::string> aFaults;
        bool bUnitRuns;
    } aCases[] = {
        {"no unit", {}, false},
        {"folder refused", {"--refuse", "CWD"}, true},
        {"downloads and deletions refused", {"--refuse", "RETR", "--refuse", "DELE"}, true},
    };
    for (const auto& testCase : aCases) {
        SCOPED_TRACE(testCase.pszName);
        UnitStoreSettings settings = UseUnit(true, testCase.aFaults);
        std::string strStore = m_pUnit->PubFolder();
        if (!testCase.bUnitRuns) {
            m_pUnit.reset();
        }
        std::string strReport = CollectMaintenanceReport(settings, m_staging.Path());
        if (testCase.bUnitRuns) {
            EXPECT_EQ(strReport, kHeadersOnly);
            DeleteMaintenanceFiles(settings);
            EXPECT_EQ(UnitImages().size(), 4U);
        } else {
            EXPECT_TRUE(strReport.ends_with("\n127.0.0.1への接続に失敗しました。")) << strReport;
            EXPECT_EQ(strReport.find("---"), std::string::npos);
            DeleteMaintenanceFiles(settings);
        }
        EXPECT_TRUE(FolderEntries(m_staging.Path()).empty());
    }
}

}  // namespace
