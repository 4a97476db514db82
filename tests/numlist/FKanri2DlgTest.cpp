#include "numlist/FKanri2Dlg.h"

#include <gtest/gtest.h>
#include <QPushButton>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/ListView.h"
#include "platform/WaitDlg.h"
#include "tests/fakes/AppFixture.h"
#include "tests/fakes/FakeUiServices.h"
#include "tests/fakes/StopPress.h"
#include "tests/fakes/TestServers.h"

namespace {

namespace fs = std::filesystem;
using BoxKind = CFakeUiServices::BoxKind;

const std::string kDeleteOne = "未取込のＮＣプログラムです。\n消去してもよろしいですか？";
const std::string kDeleteAll = "未取込のＮＣプログラムがあります。\n消去してもよろしいですか？";
const std::string kFolderFailure = "127.0.0.1のフォルダ移動に失敗しました。";
const std::string kConnectionFailure = "\n127.0.0.1への接続に失敗しました。";
// Every file of the listing case: two programs, a stray name, a list file, and a folder.
const std::set<std::string> kAllWaiting = {"0003.fno", "0004.fno", "0012.fno", "12ab.fno",
                                           "FileList.fno"};

class FKanri2DlgTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        fs::create_directories(m_exeDir / "pc");
        fs::create_directories(m_exeDir / "unit" / "pub");
        App().UsbDrive = (m_exeDir / "usb").string() + "/";
        App().NC_Dir = (m_exeDir / "pc").string() + "/";
        App().SetData.ADD_DOT = true;
        App().SetData.DOT = "NC";
        App().SetData.IP1 = 127;
        App().SetData.IP2 = 0;
        App().SetData.IP3 = 0;
        App().SetData.IP4 = 1;
        App().FtpTimeoutSeconds = 10;
    }

    // The network transport to the simulator serving <ExeDir>/unit, or <ExeDir>/usb as the
    // USB memory.
    void UseTransport(bool bNetwork) {
        App().Sousa = bNetwork ? 1 : 0;
        if (bNetwork) {
            StartUnit();
        }
    }
    // Starts the unit, again if it runs, on the same store.
    void StartUnit(const std::vector<std::string>& aOptions = {}) {
        m_pUnit.reset();
        m_pUnit = std::make_unique<CUnitSimulator>((m_exeDir / "unit").string(), aOptions);
        App().FtpPort = m_pUnit->Port();
    }

    fs::path Waiting() const {
        return (App().Sousa == 1 ? m_exeDir / "unit" / "pub" : m_exeDir / "usb") / "RzFilesIn";
    }
    std::set<std::string> WaitingFiles() const { return FolderEntries(Waiting().string()); }

    void PutWaitingPrograms() {
        fs::remove_all(Waiting());
        fs::create_directories(Waiting() / "0004.fno");
        for (const char* pszName : {"0012.fno", "0003.fno", "12ab.fno", "FileList.fno"}) {
            WriteFile(Waiting() / pszName, std::string("%\r\n") + pszName + "\r\n%\r\n");
        }
    }

    std::unique_ptr<CFKanri2Dlg> Open() {
        auto pDialog = std::make_unique<CFKanri2Dlg>();
        EXPECT_TRUE(pDialog->OnInitDialog());
        pDialog->show();
        return pDialog;
    }

    std::string PcFile() const { return (m_exeDir / "pc" / "O0003.NC").string(); }

    std::unique_ptr<CUnitSimulator> m_pUnit;
};

TEST_F(FKanri2DlgTest, ListsImportsAndDeletesAllOverBothTransports) {
    for (bool bNetwork : {true, false}) {
        SCOPED_TRACE(bNetwork ? "network" : "USB memory");
        UseTransport(bNetwork);
        PutWaitingPrograms();
        fs::last_write_time(Waiting() / "0003.fno",
                            fs::file_time_type::clock::now() - std::chrono::hours(24 * 365));
        Ui().ClearRecord();
        auto pDialog = Open();
        CFKanri2Dlg& dialog = *pDialog;
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("番号取込"));
        EXPECT_EQ(dialog.m_aNo, (std::vector<int>{3, 12}));
        EXPECT_EQ(dialog.FileList().GetColumnHeader(0), "No.");
        EXPECT_EQ(dialog.FileList().GetItemCount(), 2);
        EXPECT_EQ(dialog.FileList().GetCellText(0, 0), "    3");
        EXPECT_EQ(dialog.FileList().GetCellText(1, 0), "   12");
        EXPECT_EQ(dialog.FileList().GetNextSelected(-1), -1);

        // Import of 3: the program goes to the PC, dated now, and leaves the unit.
        dialog.FileList().SetSelected(0, true);
        Ui().AnswerSaveFile(PcFile());
        auto beforeImport = fs::file_time_type::clock::now() - std::chrono::seconds(2);
        dialog.OnImport();
        ASSERT_EQ(Ui().FileDialogs().size(), 1U);
        EXPECT_EQ(Ui().FileDialogs()[0].strFilter, "NC Files (*.NC)|*.NC|すべてのﾌｧｲﾙ (*.*)|*.*||");
        EXPECT_EQ(Ui().FileDialogs()[0].strInitialFolder, App().NC_Dir);
        EXPECT_EQ(Ui().FileDialogs()[0].strFileName, "");
        ASSERT_EQ(Ui().Boxes().size(), 1U);
        EXPECT_EQ(Ui().Boxes()[0].kind, BoxKind::Message);
        EXPECT_EQ(Ui().Boxes()[0].strText, "O0003.NCの登録が正常終了しました。");
        EXPECT_EQ(ReadFile(PcFile()), "%\r\n0003.fno\r\n%\r\n");
        EXPECT_GE(fs::last_write_time(PcFile()), beforeImport);
        EXPECT_FALSE(WaitingFiles().contains("0003.fno"));
        EXPECT_EQ(dialog.m_aNo, (std::vector<int>{12}));
        EXPECT_EQ(dialog.FileList().GetItemCount(), 1);
        EXPECT_TRUE(dialog.FileList().IsSelected(0));
        EXPECT_TRUE(dialog.FileList().IsFocused(0));
        EXPECT_TRUE(dialog.Button(1040).isEnabled());
        EXPECT_TRUE(dialog.IsCloseEnabled());
        EXPECT_FALSE(Ui().IsBusyOpen());

        // Delete all takes every program file, also the one never listed; the folder stays.
        Ui().ClearRecord();
        Ui().AnswerQuestion(true);
        dialog.OnDeleteAll();
        EXPECT_EQ(WaitingFiles(), (std::set<std::string>{"0004.fno"}));
        EXPECT_TRUE(dialog.m_aNo.empty());
        EXPECT_EQ(dialog.FileList().GetItemCount(), 0);
        ASSERT_EQ(Ui().Boxes().size(), 2U);
        EXPECT_EQ(Ui().Boxes()[0].strText, kDeleteAll);
        EXPECT_TRUE(Ui().Boxes()[0].bDefaultNo);
        EXPECT_EQ(Ui().Boxes()[1].kind, BoxKind::Message);
        EXPECT_EQ(Ui().Boxes()[1].strText, "消去が終了しました。");

        // With nothing listed, delete all asks nothing; the other commands need a selection.
        Ui().ClearRecord();
        dialog.OnDeleteAll();
        dialog.OnImport();
        dialog.OnDelete();
        EXPECT_TRUE(Ui().Boxes().empty());
        EXPECT_TRUE(Ui().FileDialogs().empty());
        pDialog->reject();
        EXPECT_FALSE(pDialog->isVisible());
        fs::remove(PcFile());
    }
}

// Each command against a unit that fails in its own way, number 3 selected: the message, the
// numbers listed afterwards, the files left on the unit and whether the PC got the program.
TEST_F(FKanri2DlgTest, CommandsReportTheUnitsFailuresAndKeepWhatStays) {
    enum class Command { Import, Delete, DeleteAll };
    const struct {
        const char* pszName;
        Command command;
        std::vector<std::string> aFaults;  // {"stop"}: no unit at all
        std::string strMessage;            // a warning; empty: none
        std::vector<int> aNo;
        std::set<std::string> aLeft;
        bool bOnPc;
    } aCases[] = {
        {"delete",
         Command::Delete,
         {},
         "",
         {12},
         {"0004.fno", "0012.fno", "12ab.fno", "FileList.fno"},
         false},
        {"delete refused",
         Command::Delete,
         {"--refuse", "DELE"},
         "消去に失敗しました。",
         {12},
         kAllWaiting,
         false},
        {"delete, folder refused",
         Command::Delete,
         {"--refuse", "CWD"},
         kFolderFailure,
         {3, 12},
         kAllWaiting,
         false},
        {"delete, no unit",
         Command::Delete,
         {"stop"},
         kConnectionFailure,
         {3, 12},
         kAllWaiting,
         false},
        {"import, download refused",
         Command::Import,
         {"--refuse", "RETR"},
         "O0003.NCの登録に失敗しました。\nファイルがありません。",
         {3, 12},
         kAllWaiting,
         false},
        {"import, removal refused",
         Command::Import,
         {"--refuse", "DELE"},
         "消去に失敗しました。",
         {12},
         kAllWaiting,
         true},
        {"import, folder refused",
         Command::Import,
         {"--refuse", "CWD"},
         kFolderFailure,
         {3, 12},
         kAllWaiting,
         false},
        {"import, no unit",
         Command::Import,
         {"stop"},
         kConnectionFailure,
         {3, 12},
         kAllWaiting,
         false},
        {"delete all, folder refused",
         Command::DeleteAll,
         {"--refuse", "CWD"},
         kFolderFailure,
         {3, 12},
         kAllWaiting,
         false},
        {"delete all, listing refused",
         Command::DeleteAll,
         {"--refuse", "LIST"},
         "消去できないファイルがありました。",
         {},
         kAllWaiting,
         false},
        {"delete all, removals refused",
         Command::DeleteAll,
         {"--refuse", "DELE"},
         "消去できないファイルがありました。",
         {},
         kAllWaiting,
         false},
        {"delete all, no unit",
         Command::DeleteAll,
         {"stop"},
         kConnectionFailure,
         {},
         kAllWaiting,
         false},
    };
    UseTransport(true);
    for (const auto& testCase : aCases) {
        SCOPED_TRACE(testCase.pszName);
        StartUnit();
        PutWaitingPrograms();
        auto pDialog = Open();
        if (testCase.aFaults == std::vector<std::string>{"stop"}) {
            m_pUnit.reset();
        } else {
            StartUnit(testCase.aFaults);
        }
        Ui().ClearRecord();
        pDialog->FileList().SetSelected(0, true);
        switch (testCase.command) {
            case Command::Import:
                Ui().AnswerSaveFile(PcFile());
                pDialog->OnImport();
                break;
            case Command::Delete:
                Ui().AnswerQuestion(true);
                pDialog->OnDelete();
                break;
            case Command::DeleteAll:
                Ui().AnswerQuestion(true);
                pDialog->OnDeleteAll();
                break;
        }
        std::vector<CFakeUiServices::Box> aBoxes = Ui().Boxes();
        if (testCase.command != Command::Import) {
            ASSERT_FALSE(aBoxes.empty());
            EXPECT_EQ(aBoxes.front().strText,
                      testCase.command == Command::Delete ? kDeleteOne : kDeleteAll);
            EXPECT_TRUE(aBoxes.front().bDefaultNo);
            aBoxes.erase(aBoxes.begin());
        }
        if (testCase.strMessage.empty()) {
            EXPECT_TRUE(aBoxes.empty());
        } else {
            ASSERT_EQ(aBoxes.size(), 1U);
            EXPECT_EQ(aBoxes[0].kind, BoxKind::Warning);
            EXPECT_TRUE(aBoxes[0].strText.ends_with(testCase.strMessage)) << aBoxes[0].strText;
        }
        EXPECT_EQ(pDialog->m_aNo, testCase.aNo);
        EXPECT_EQ(pDialog->FileList().GetItemCount(), static_cast<int>(testCase.aNo.size()));
        EXPECT_EQ(WaitingFiles(), testCase.aLeft);
        EXPECT_EQ(fs::exists(PcFile()), testCase.bOnPc);
        EXPECT_FALSE(Ui().IsBusyOpen());
        fs::remove(PcFile());
    }
}

// Answering No, or cancelling the save dialog, changes nothing.
// An import stopped halfway leaves the program waiting on the unit and still listed, and
// nothing of it on the PC.
TEST_F(FKanri2DlgTest, AnImportStoppedHalfwayLeavesTheProgramWaiting) {
    Ui().ShowRealBusy([](bool bCanStop) { return std::make_unique<CWaitIndicator>(bCanStop); });
    const std::string strProgram(8 * 1024 * 1024, 'G');
    for (bool bNetwork : {true, false}) {
        SCOPED_TRACE(bNetwork ? "network" : "USB memory");
        UseTransport(bNetwork);
        PutWaitingPrograms();
        WriteFile(Waiting() / "0003.fno", strProgram);
        Ui().ClearRecord();
        auto pDialog = Open();
        pDialog->FileList().SetSelected(0, true);
        Ui().AnswerSaveFile(PcFile());
        CStopPress press(
            [](const CProgress::State& state) { return state.nBytesDone >= 4 * 1024 * 1024; });
        pDialog->OnImport();

        ASSERT_TRUE(press.Pressed());
        EXPECT_EQ(Ui().Texts(), std::vector<std::string>{"中止しました。"});
        EXPECT_EQ(Ui().Boxes()[0].kind, BoxKind::Message);
        EXPECT_TRUE(FolderEntries((m_exeDir / "pc").string()).empty());
        EXPECT_EQ(WaitingFiles(), kAllWaiting);
        EXPECT_EQ(ReadFile(Waiting() / "0003.fno"), strProgram);
        EXPECT_EQ(pDialog->m_aNo, (std::vector<int>{3, 12}));
        EXPECT_TRUE(pDialog->Button(1040).isEnabled());
    }
}

TEST_F(FKanri2DlgTest, NoAndCancelLeaveEverything) {
    UseTransport(false);
    PutWaitingPrograms();
    auto pDialog = Open();
    pDialog->FileList().SetSelected(1, true);
    Ui().AnswerQuestion(false);
    pDialog->OnDelete();
    Ui().AnswerQuestion(false);
    pDialog->OnDeleteAll();
    Ui().AnswerSaveFile(std::nullopt);
    pDialog->OnImport();
    EXPECT_EQ(Ui().Texts(), (std::vector<std::string>{kDeleteOne, kDeleteAll}));
    EXPECT_EQ(pDialog->m_aNo, (std::vector<int>{3, 12}));
    EXPECT_EQ(WaitingFiles(), kAllWaiting);
    EXPECT_TRUE(pDialog->Button(1040).isEnabled());
    EXPECT_TRUE(pDialog->IsCloseEnabled());
}

// A program saved onto itself on the USB memory is not taken over: it would be copied onto
// itself and then deleted.
TEST_F(FKanri2DlgTest, AProgramSavedOntoItselfStaysOnTheMemory) {
    UseTransport(false);
    PutWaitingPrograms();
    auto pDialog = Open();
    pDialog->FileList().SetSelected(0, true);
    Ui().AnswerSaveFile((Waiting() / "0003.fno").string());
    pDialog->OnImport();
    ASSERT_EQ(Ui().Boxes().size(), 1U);
    EXPECT_EQ(Ui().Boxes()[0].kind, BoxKind::Warning);
    EXPECT_EQ(Ui().Boxes()[0].strText, "0003.fnoの登録に失敗しました。");
    EXPECT_EQ(ReadFile(Waiting() / "0003.fno"), "%\r\n0003.fno\r\n%\r\n");
    EXPECT_EQ(pDialog->m_aNo, (std::vector<int>{3, 12}));
}

// Only a unit that cannot be reached keeps the dialog from opening; a folder that cannot be
// entered opens an empty list without a word.
TEST_F(FKanri2DlgTest, OpeningOnAUnitThatFails) {
    UseTransport(true);
    PutWaitingPrograms();
    StartUnit({"--refuse", "CWD"});
    CFKanri2Dlg refused;
    EXPECT_TRUE(refused.OnInitDialog());
    EXPECT_TRUE(refused.m_aNo.empty());
    EXPECT_TRUE(Ui().Boxes().empty());

    m_pUnit.reset();
    CFKanri2Dlg unreachable;
    EXPECT_FALSE(unreachable.OnInitDialog());
    ASSERT_EQ(Ui().Boxes().size(), 1U);
    EXPECT_EQ(Ui().Boxes()[0].kind, BoxKind::Warning);
    EXPECT_TRUE(Ui().Boxes()[0].strText.ends_with(kConnectionFailure));
    EXPECT_FALSE(Ui().IsBusyOpen());
}

}  // namespace
