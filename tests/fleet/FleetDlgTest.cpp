#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/RZKSETApp.h"
#include "app/RZKSETDlg.h"
#include "fleet/FleetDlg.h"
#include "fleet/UnitWorkers.h"
#include "journal/JournalRecord.h"
#include "journal/ShopMemory.h"
#include "numlist/FKanri2Dlg.h"
#include "numlist/FSousaDlg.h"
#include "numlist/FileNo.h"
#include "platform/ListView.h"
#include "platform/WaitDlg.h"
#include "settings/ProfileFolder.h"
#include "tests/fakes/AppFixture.h"
#include "tests/fakes/BusyDialogWatch.h"
#include "tests/fakes/ExpectDialog.h"
#include "tests/fakes/StopPress.h"
#include "tests/fakes/TestServers.h"

namespace {

namespace fs = std::filesystem;
using BoxKind = CFakeUiServices::BoxKind;

using enum CFleetDlg::Column;

// The threads of this process that work on units.
int CountUnitThreads() {
    int nCount = 0;
    for (const auto& entry : fs::directory_iterator("/proc/self/task")) {
        std::string strName = ReadBytes(entry.path() / "comm");
        nCount += strName == std::string(CUnitWorkers::kThreadName) + "\n" ? 1 : 0;
    }
    return nCount;
}

// The sockets this process holds open.
int CountSockets() {
    int nCount = 0;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        nCount += fs::read_symlink(entry.path(), error).string().starts_with("socket:") ? 1 : 0;
    }
    return nCount;
}

// The established TCP connections to port nPort of 127.0.0.<nHost>, as the kernel lists them.
int CountConnectionsTo(int nHost, int nPort) {
    char szRemote[32];
    std::snprintf(szRemote, sizeof(szRemote), "%02X00007F:%04X", nHost, nPort);
    std::istringstream table(ReadBytes("/proc/self/net/tcp"));
    int nCount = 0;
    std::string strLine;
    std::getline(table, strLine);
    while (std::getline(table, strLine)) {
        std::istringstream fields(strLine);
        std::string strSlot, strLocal, strRemote, strState;
        fields >> strSlot >> strLocal >> strRemote >> strState;
        nCount += strRemote == szRemote && strState == "01" ? 1 : 0;
    }
    return nCount;
}

// A numbered list or catalogue with nEntries rows, as the program writes them.
void WriteList(const std::string& strPath, int nEntries) {
    CFileNo list;
    for (int nNo = 1; nNo <= nEntries; ++nNo) {
        list.m_aData.push_back({nNo, "P" + std::to_string(nNo), ""});
    }
    fs::create_directories(fs::path(strPath).parent_path());
    ASSERT_TRUE(list.Save(strPath));
}

class FleetDlgTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        App().Sousa = 1;
        // Stalled units are given up after this; the tests wait for answers, never for a time.
        App().FtpTimeoutSeconds = 2;
        App().DeviceEventsEnabled = 1;
    }

    // A machine profile whose unit is at 127.0.0.<nHost>.
    void AddProfile(const std::string& strName, int nHost) {
        CProfileFolder folder(App().ExeDir + "Data/");
        ASSERT_TRUE(folder.Create(strName, folder.NextIndex()));
        CSetData data;
        ASSERT_EQ(data.LoadProfile(folder.PathOf(strName)), 0);
        data.IP1 = 127;
        data.IP2 = 0;
        data.IP3 = 0;
        data.IP4 = static_cast<unsigned char>(nHost);
        ASSERT_TRUE(data.SaveProfile(folder.PathOf(strName)));
    }

    // A unit at 127.0.0.<nHost>; every unit listens on the one port the program knows.
    CUnitSimulator& AddUnit(int nHost, std::vector<std::string> aOptions) {
        aOptions.insert(aOptions.end(), {"--address", "127.0.0." + std::to_string(nHost), "--port",
                                         std::to_string(App().FtpPort == 21 ? 0 : App().FtpPort)});
        m_aUnits[nHost] = std::make_unique<CUnitSimulator>(aOptions);
        App().FtpPort = m_aUnits[nHost]->Port();
        return *m_aUnits[nHost];
    }

    // The fleet view from the main window's context menu, with act playing the person.
    void OpenFleet(CRZKSETDlg& window, std::function<void(CFleetDlg&)> act) {
        ExpectDialog<CFleetDlg>(Ui(), std::move(act));
        QTimer::singleShot(0, [] {
            auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(pMenu, nullptr);
            for (QAction* pAction : pMenu->actions()) {
                if (pAction->text() == QStringLiteral("全体表示(&F)…")) {
                    pAction->trigger();
                }
            }
            pMenu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
                                window.mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(&window, &event);
    }

    static void WaitForAnswers(CFleetDlg& fleet) {
        while (fleet.IsAsking()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
    }

    static std::map<std::string, int> RowsByName(const CFleetDlg& fleet) {
        std::map<std::string, int> aRows;
        for (int nRow = 0; nRow < static_cast<int>(fleet.Rows().size()); ++nRow) {
            aRows[fleet.Rows()[static_cast<size_t>(nRow)].strName] = nRow;
        }
        return aRows;
    }

    static void SelectOnly(CFleetDlg& fleet, const std::vector<int>& aRows) {
        fleet.List().ClearAllSelection();
        for (int nRow : aRows) {
            fleet.List().SetSelected(nRow, true);
        }
    }

    std::map<int, std::unique_ptr<CUnitSimulator>> m_aUnits;
};

// Every profile is a row; the prepared unit shows its counts, the others why they cannot be
// used, each by its own address.
TEST_F(FleetDlgTest, RowsShowEveryUnitAsItAnswers) {
    CUnitSimulator& ready = AddUnit(2, {"--seed"});
    WriteList(ready.PubFolder() + "RzFilesOut/FileList.fno", 2);
    WriteList(ready.PubFolder() + "FileNList.fnl", 1);
    AddUnit(3, {});  // a store without the marker
    AddUnit(5, {"--stall-login"});
    AddProfile("A-ready", 2);
    AddProfile("B-unprepared", 3);
    AddProfile("C-refusing", 4);  // nothing listens there
    AddProfile("D-stalled", 5);
    App().SelectProfile("A-ready");
    // The journal's newest line of a profile is its last transfer.
    App().OpenShopMemory();
    for (const char* pszTime : {"2026-12-10T17:02:00+0900", "2026-12-11T09:15:06+0900"}) {
        JournalRecord record;
        record.strTime = pszTime;
        record.strProfile = "A-ready";
        ASSERT_TRUE(App().ShopMemory()->Journal().Append(record));
    }

    CRZKSETDlg window;
    window.OnInitDialog();
    std::vector<std::vector<std::string>> aCells;
    OpenFleet(window, [&](CFleetDlg& fleet) {
        WaitForAnswers(fleet);
        for (int nRow = 0; nRow < fleet.List().GetItemCount(); ++nRow) {
            std::vector<std::string> aRow;
            for (int nColumn = kName; nColumn <= kLastJournal; ++nColumn) {
                aRow.push_back(fleet.List().GetCellText(nRow, nColumn));
            }
            aCells.push_back(aRow);
        }
        fleet.Button(2).click();
    });
    ASSERT_EQ(aCells.size(), 4u);
    const std::vector<std::string> aReady = {
        "A-ready", "127.0.0.2", "使用可能", "3", "2", "1", "", "", "2026-12-11 09:15"};
    EXPECT_EQ(aCells[0], aReady);
    EXPECT_EQ(aCells[1][kState], "準備されていません");
    EXPECT_EQ(aCells[1][kWaiting], "");
    EXPECT_EQ(aCells[1][kLastJournal], "");
    EXPECT_EQ(aCells[2][kAddress], "127.0.0.4");
    EXPECT_EQ(aCells[2][kState], "応答なし");
    EXPECT_TRUE(aCells[2][kDetail].ends_with(" 127.0.0.4への接続に失敗しました。"))
        << aCells[2][kDetail];
    EXPECT_EQ(aCells[3][kState], "応答なし");
    EXPECT_TRUE(aCells[3][kDetail].ends_with(" 127.0.0.5への接続に失敗しました。"))
        << aCells[3][kDetail];
    EXPECT_TRUE(Ui().Boxes().empty());
    EXPECT_FALSE(fs::exists(m_exeDir / "~fleet0"));
}

// A damaged journal line among good ones: the view opens and shows the newest good line's
// time; the damaged line is no end of the program.
TEST_F(FleetDlgTest, ADamagedJournalLineLeavesTheLastJournalTimes) {
    AddProfile("A", 4);  // nothing listens there: the row answers at once
    App().SelectProfile("A");
    App().OpenShopMemory();
    CJournal& journal = App().ShopMemory()->Journal();
    JournalRecord record;
    record.strProfile = "A";
    record.strTime = "2026-12-10T17:02:00+0900";
    ASSERT_TRUE(journal.Append(record));
    WriteBytes(journal.CurrentPath(),
               ReadBytes(journal.CurrentPath()) +
                   "{\"time\":\"2026-12-12T00:00:00+0900\",\"profile\":\"A\",\"size\":-}\n");
    record.strTime = "2026-12-11T09:15:06+0900";
    ASSERT_TRUE(journal.Append(record));

    CRZKSETDlg window;
    window.OnInitDialog();
    std::string strLastJournal;
    OpenFleet(window, [&](CFleetDlg& fleet) {
        WaitForAnswers(fleet);
        strLastJournal = fleet.List().GetCellText(0, kLastJournal);
        fleet.Button(2).click();
    });
    EXPECT_EQ(strLastJournal, "2026-12-11 09:15");
}

// A list that does not load is told apart from an empty one, and a unit that stops answering
// halfway shows no counts at all rather than what it had answered before.
TEST_F(FleetDlgTest, RowsTellWhatCouldNotBeRead) {
    CUnitSimulator& damaged = AddUnit(2, {"--seed"});
    fs::create_directories(damaged.PubFolder() + "RzFilesOut");
    WriteBytes(damaged.PubFolder() + "RzFilesOut/FileList.fno", "#FileNo Section End\r\n");
    AddUnit(3, {"--seed", "--cut-control-after-command", "LIST"});
    AddProfile("A", 2);
    AddProfile("B", 3);
    App().SelectProfile("A");

    CRZKSETDlg window;
    window.OnInitDialog();
    OpenFleet(window, [&](CFleetDlg& fleet) {
        WaitForAnswers(fleet);
        CListView& list = fleet.List();
        EXPECT_EQ(list.GetCellText(0, kState), "使用可能");
        EXPECT_EQ(list.GetCellText(0, kWaiting), "3");
        EXPECT_EQ(list.GetCellText(0, kNumbered), "読めません");
        EXPECT_EQ(list.GetCellText(0, kNamed), "0");
        EXPECT_EQ(list.GetCellText(1, kState), "接続が切れました");
        for (int nColumn : {kWaiting, kNumbered, kNamed}) {
            EXPECT_EQ(list.GetCellText(1, nColumn), "") << nColumn;
        }
        EXPECT_TRUE(list.GetCellText(1, kDetail).ends_with(" 127.0.0.3への接続に失敗しました。"));
        fleet.Button(2).click();
    });
    EXPECT_TRUE(Ui().Boxes().empty());
}

// Closing the view while every unit hangs at its login ends the asking at once: no thread
// and no connection of the view is left. The checks at a time are RZKSET.ini's bound.
TEST_F(FleetDlgTest, ClosingWhileChecksHangLeavesNoThreadOrConnection) {
    App().FtpTimeoutSeconds = 3600;
    AddUnit(2, {"--stall-login"});
    for (int nProfile = 1; nProfile <= 12; ++nProfile) {
        AddProfile("M" + std::to_string(100 + nProfile), 2);
    }
    App().SelectProfile("M101");

    for (int nBound : {CUnitWorkers::kDefaultMaxThreads, 3}) {
        SCOPED_TRACE(nBound);
        if (nBound != CUnitWorkers::kDefaultMaxThreads) {
            WriteBytes(m_exeDir / "RZKSET.ini",
                       "[Fleet]\r\nMaxConnections=" + std::to_string(nBound) + "\r\n");
        }
        CRZKSETDlg window;
        window.OnInitDialog();
        const int nSockets = CountSockets();
        OpenFleet(window, [&](CFleetDlg& fleet) {
            // The checks at a time, each with its connection open and waiting for the greeting.
            while (CountConnectionsTo(2, App().FtpPort) < nBound) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            }
            EXPECT_EQ(CountUnitThreads(), nBound);
            EXPECT_TRUE(fleet.IsAsking());
            fleet.Button(2).click();
            EXPECT_EQ(CountUnitThreads(), 0);
            EXPECT_EQ(CountSockets(), nSockets);
            EXPECT_EQ(CountConnectionsTo(2, App().FtpPort), 0);
        });
    }
    EXPECT_TRUE(Ui().Boxes().empty());
}

// A row becomes the current profile, as "切替" makes it, and its number import or file
// operations open on its unit after the readiness check.
TEST_F(FleetDlgTest, RowBecomesCurrentAndOpensItsDialogs) {
    AddUnit(2, {"--seed"});
    AddUnit(3, {"--seed"});
    AddProfile("A", 2);
    AddProfile("B", 3);
    App().SelectProfile("A");
    fs::remove(m_aUnits[2]->PubFolder() + "RzFilesIn/0010.fno");

    CRZKSETDlg window;
    window.OnInitDialog();
    std::vector<int> aWaiting;
    OpenFleet(window, [&](CFleetDlg& fleet) {
        WaitForAnswers(fleet);
        const int nRowB = RowsByName(fleet).at("B");
        SelectOnly(fleet, {nRowB});
        ExpectDialog<CFKanri2Dlg>(Ui(), [&aWaiting](CFKanri2Dlg& import) {
            aWaiting = import.m_aNo;
            import.reject();
        });
        fleet.Button(1003).click();
        EXPECT_EQ(App().SetFileName, "B");
        EXPECT_EQ(static_cast<QLabel*>(window.Item(1024))->text().toStdString(), "B");
        EXPECT_EQ(App().SetData.IpAddress(), "127.0.0.3");

        SelectOnly(fleet, {RowsByName(fleet).at("A")});
        ExpectDialog<CFSousaDlg>(Ui(), [](CFSousaDlg& files) { files.reject(); });
        fleet.Button(1004).click();
        EXPECT_EQ(static_cast<QLabel*>(window.Item(1024))->text().toStdString(), "A");

        SelectOnly(fleet, {nRowB});
        fleet.Button(1002).click();
        fleet.Button(2).click();
    });
    // The unit of B still holds all three waiting programs.
    EXPECT_EQ(aWaiting, (std::vector<int>{1, 2, 10}));
    EXPECT_EQ(App().SetFileName, "B");
    EXPECT_EQ(App().SetFilePath, App().ProfileFilePath("B"));
    EXPECT_EQ(App().DeviceEventsEnabled, 1);
    EXPECT_TRUE(Ui().Boxes().empty());
}

// The chosen files go to every selected unit as the simple send sends them; a unit that
// cannot be reached gets its own message and does not stop the others.
TEST_F(FleetDlgTest, ProgramsGoToSeveralUnits) {
    CTestFolder pc;
    WriteBytes(pc / "P1.NC", PcProgram("P1"));
    WriteBytes(pc / "P2.NC", PcProgram("P2"));
    struct Case {
        const char* pszName;
        std::vector<std::string> aFiles;
        std::string strExpectedTape;
        std::string strDone;
    };
    const Case aCases[] = {
        {"one file unchanged", {pc / "P1.NC"}, PcProgram("P1"), "P1.NCの登録が正常終了しました。"},
        {"two files merged",
         {pc / "P1.NC", pc / "P2.NC"},
         "",
         "2ファイルの登録が正常終了しました。"},
    };
    AddUnit(2, {"--seed"});
    AddUnit(3, {"--seed"});
    AddProfile("A", 2);
    AddProfile("B", 3);
    AddProfile("C", 4);
    App().SelectProfile("A");
    for (const Case& test : aCases) {
        SCOPED_TRACE(test.pszName);
        Ui().ClearRecord();
        for (int nHost : {2, 3}) {
            fs::remove(m_aUnits[nHost]->PubFolder() + "RZKOUT");
        }
        CRZKSETDlg window;
        window.OnInitDialog();
        Ui().ShowRealBusy([](bool bCanStop) { return std::make_unique<CWaitIndicator>(bCanStop); });
        // The dialog hears of a report after the watch: it shows the one before.
        CBusyDialogWatch watch(
            [](const CProgress::State& state) {
                return state.nFilesTotal == 3 && state.nFilesDone > 0;
            },
            std::string(RZKSET_BINARY_DIR) + "/screenshots/busy_fleet_send.png");
        std::vector<int> aUnitsDone;
        CProgress progress([&aUnitsDone](const CProgress::State& state) {
            if (state.strCountUnit == "台") {
                aUnitsDone.push_back(state.nFilesDone);
            }
        });
        OpenFleet(window, [&](CFleetDlg& fleet) {
            std::map<std::string, int> aRows = RowsByName(fleet);
            SelectOnly(fleet, {aRows.at("A"), aRows.at("B"), aRows.at("C")});
            Ui().AnswerOpenFiles(test.aFiles);
            fleet.Button(1005).click();
            EXPECT_EQ(fleet.List().GetCellText(aRows.at("B"), kSendResult), test.strDone);
            fleet.Button(2).click();
        });
        // The busy dialog counts the units done.
        EXPECT_NE(watch.ShownText().find(" / 3 台"), std::string::npos) << watch.ShownText();
        EXPECT_EQ(aUnitsDone, (std::vector<int>{0, 1, 2, 3}));
        ASSERT_EQ(Ui().Boxes().size(), 1u);
        const CFakeUiServices::Box& box = Ui().Boxes().front();
        EXPECT_EQ(box.kind, BoxKind::Warning);
        EXPECT_EQ(box.strText, "3台のうち1台への登録に失敗しました。");
        EXPECT_TRUE(
            box.strDetails.starts_with("A: " + test.strDone + "\nB: " + test.strDone + "\nC: "))
            << box.strDetails;
        EXPECT_TRUE(box.strDetails.ends_with("\n127.0.0.4への接続に失敗しました。\n"))
            << box.strDetails;
        const std::string strTape = ReadBytes(m_aUnits[2]->PubFolder() + "RZKOUT");
        EXPECT_EQ(ReadBytes(m_aUnits[3]->PubFolder() + "RZKOUT"), strTape);
        if (!test.strExpectedTape.empty()) {
            EXPECT_EQ(strTape, test.strExpectedTape);
        } else {
            EXPECT_NE(strTape.find("P1"), std::string::npos);
            EXPECT_NE(strTape.find("P2"), std::string::npos);
        }
        EXPECT_FALSE(fs::exists(m_exeDir / "~send0"));
    }
}

// A send to several units, one of them not prepared and one silent: the unprepared unit gets
// nothing and says why, as a send to it alone would; each unit's journal line names its own
// machine, address and the view's command, and the rows' last records follow; the busy dialog
// counts the units done while the silent one still holds the send; "更新" shows a profile added
// while the view is open.
TEST_F(FleetDlgTest, EachUnitOfASendIsCheckedJournaledAndCounted) {
    CTestFolder pc;
    WriteBytes(pc / "P1.NC", PcProgram("P1"));
    AddUnit(2, {"--seed"});
    AddUnit(3, {"--seed"});
    CUnitSimulator& unprepared = AddUnit(4, {});
    AddUnit(5, {"--stall-login"});
    for (const auto& [strName, nHost] :
         std::map<std::string, int>{{"A", 2}, {"B", 3}, {"C-unprepared", 4}, {"D-silent", 5}}) {
        AddProfile(strName, nHost);
    }
    App().SelectProfile("A");
    App().OpenShopMemory();
    CRZKSETDlg window;
    window.OnInitDialog();
    Ui().ShowRealBusy([](bool bCanStop) { return std::make_unique<CWaitIndicator>(bCanStop); });
    // What the busy dialog shows while the silent unit still holds the send.
    std::string strShownWhileWaiting;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        for (QWidget* pWindow : QApplication::topLevelWidgets()) {
            auto* pDialog = qobject_cast<CWaitDlg*>(pWindow);
            if (pDialog != nullptr && pDialog->isVisible()) {
                std::string strText = pDialog->findChild<QLabel*>()->text().toStdString();
                strShownWhileWaiting =
                    strText.find("3 / 4 台") != std::string::npos ? strText : strShownWhileWaiting;
            }
        }
    });
    look.start(20);
    OpenFleet(window, [&](CFleetDlg& fleet) {
        std::map<std::string, int> aRows = RowsByName(fleet);
        SelectOnly(fleet,
                   {aRows.at("A"), aRows.at("B"), aRows.at("C-unprepared"), aRows.at("D-silent")});
        Ui().AnswerOpenFiles({pc / "P1.NC"});
        fleet.Button(1005).click();
        EXPECT_EQ(fleet.List().GetCellText(aRows.at("C-unprepared"), kSendResult),
                  "RZK-70で利用できるＵＳＢメモリが接続されていません。 RZK-70にＵＳＢメモリを"
                  "接続しているか確認してください。 正しくＵＳＢメモリを接続している場合は、ＵＳＢ"
                  "設定を行ってください。");
        for (const char* pszName : {"A", "B"}) {
            EXPECT_FALSE(fleet.List().GetCellText(aRows.at(pszName), kLastJournal).empty())
                << pszName;
        }
        AddProfile("E-new", 6);
        fleet.Button(1001).click();
        EXPECT_EQ(RowsByName(fleet).count("E-new"), 1u);
        fleet.Button(2).click();
    });
    look.stop();
    EXPECT_FALSE(strShownWhileWaiting.empty());
    EXPECT_FALSE(fs::exists(unprepared.PubFolder() + "RZKOUT"));
    std::map<std::string, JournalRecord> aLines;
    for (const JournalRecord& line : App().ShopMemory()->Journal().ReadAll()) {
        aLines[line.strProfile] = line;
    }
    for (const auto& [strName, strAddress] :
         std::map<std::string, std::string>{{"A", "127.0.0.2"}, {"B", "127.0.0.3"}}) {
        SCOPED_TRACE(strName);
        ASSERT_EQ(aLines.count(strName), 1u);
        EXPECT_EQ(aLines[strName].strAddress, strAddress);
        EXPECT_EQ(aLines[strName].strOperation, "全体表示 / 送信");
        EXPECT_EQ(aLines[strName].strOutcome, JournalRecord::kOutcomeDone);
    }
    EXPECT_EQ(aLines.count("C-unprepared"), 0u);
}

// "中止" at the busy dialog of a send to several units: the units done stay done, the one still
// receiving keeps its file as it was, and no unit keeps a temporary name.
TEST_F(FleetDlgTest, AStoppedSendLeavesEachUnitWholeAndSaysWhatWasDone) {
    CTestFolder pc;
    std::string strProgram = "%\r\nO0001\r\n";
    while (strProgram.size() < 1024 * 1024) {
        strProgram += "G01 X1.0 Y2.0 Z-3.0 F500\r\n";
    }
    strProgram += "M30\r\n%\r\n";
    WriteBytes(pc / "LARGE.NC", strProgram);
    AddUnit(2, {"--seed"});
    // A unit whose link is slow: still receiving when the other is done.
    AddUnit(3, {"--seed", "--rate", "100000"});
    WriteBytes(m_aUnits[3]->PubFolder() + "RZKOUT", "PREVIOUS");
    AddProfile("A", 2);
    AddProfile("B", 3);
    App().SelectProfile("A");
    CRZKSETDlg window;
    window.OnInitDialog();
    Ui().ShowRealBusy([](bool bCanStop) { return std::make_unique<CWaitIndicator>(bCanStop); });
    CStopPress press([](const CProgress::State& state) {
        return state.strCountUnit == "台" && state.nFilesDone == 1;
    });
    OpenFleet(window, [&](CFleetDlg& fleet) {
        std::map<std::string, int> aRows = RowsByName(fleet);
        SelectOnly(fleet, {aRows.at("A"), aRows.at("B")});
        Ui().AnswerOpenFiles({pc / "LARGE.NC"});
        fleet.Button(1005).click();
        fleet.Button(2).click();
    });
    ASSERT_TRUE(press.Pressed());
    ASSERT_EQ(Ui().Boxes().size(), 1u);
    EXPECT_EQ(Ui().Boxes().front().strText, "中止しました。\n1台に登録しました。");
    EXPECT_EQ(ReadBytes(m_aUnits[2]->PubFolder() + "RZKOUT"), strProgram);
    EXPECT_EQ(ReadBytes(m_aUnits[3]->PubFolder() + "RZKOUT"), "PREVIOUS");
    for (int nHost : {2, 3}) {
        for (const auto& entry : fs::directory_iterator(m_aUnits[nHost]->PubFolder())) {
            EXPECT_FALSE(entry.path().filename().string().starts_with("~")) << entry.path();
        }
    }
}

// Over the USB memory only the current profile has a row: one memory is in the PC at a time.
TEST_F(FleetDlgTest, UsbShowsTheCurrentMemoryOnly) {
    AddProfile("A", 2);
    AddProfile("B", 3);
    App().SelectProfile("B");
    App().Sousa = 0;
    CRZKSETDlg window;
    window.OnInitDialog();
    App().Sousa = 0;
    OpenFleet(window, [&](CFleetDlg& fleet) {
        WaitForAnswers(fleet);
        ASSERT_EQ(fleet.List().GetItemCount(), 1);
        EXPECT_EQ(fleet.List().GetCellText(0, kName), "B");
        EXPECT_EQ(fleet.List().GetCellText(0, kAddress), App().UsbDriveName);
        EXPECT_EQ(fleet.List().GetCellText(0, kState), "応答なし");
        EXPECT_EQ(fleet.List().GetCellText(0, kDetail), "ドライブ：/ はRZK-70では使用できません");
        fleet.Button(2).click();
    });
}

}  // namespace
