#include "numlist/FKanriDlg.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <numeric>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "numlist/BikouDlg.h"
#include "numlist/FNoInDlg.h"
#include "platform/PrintTarget.h"
#include "platform/Text.h"
#include "platform/WaitDlg.h"
#include "tests/fakes/AppFixture.h"
#include "tests/fakes/BusyDialogWatch.h"
#include "tests/fakes/ExpectDialog.h"
#include "tests/fakes/FakeUiServices.h"
#include "tests/fakes/FileDrop.h"
#include "tests/fakes/FullDisk.h"
#include "tests/fakes/StopPress.h"
#include "tests/fakes/TestServers.h"

namespace {

namespace fs = std::filesystem;

std::vector<int> SelectedRows(const CListView& view) {
    std::vector<int> aRows;
    for (int nRow = view.GetNextSelected(-1); nRow >= 0; nRow = view.GetNextSelected(nRow)) {
        aRows.push_back(nRow);
    }
    return aRows;
}

class FKanriDlgTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        fs::create_directories(m_exeDir / "usb");
        fs::create_directories(m_exeDir / "pc");
        App().UsbDrive = (m_exeDir / "usb").string() + "/";
        App().NC_Dir = (m_exeDir / "pc").string() + "/";
        App().SetData.ADD_DOT = true;
        App().SetData.DOT = "NC";
    }

    // Starts the unit simulator, again if it runs, on the store <ExeDir>/unit; its port.
    int StartUnit(const std::vector<std::string>& aOptions = {}) {
        m_pSimulator.reset();
        m_pSimulator = std::make_unique<CUnitSimulator>((m_exeDir / "unit").string(), aOptions);
        return m_pSimulator->Port();
    }
    void StopUnit() { m_pSimulator.reset(); }

    // Switches to the network transport, with the unit simulator serving <ExeDir>/unit.
    void UseNetwork(const std::vector<std::string>& aOptions = {}) {
        fs::create_directories(m_exeDir / "unit" / "pub");
        int nPort = StartUnit(aOptions);
        App().Sousa = 1;
        App().FtpPort = nPort;
        App().SetData.IP1 = 127;
        App().SetData.IP2 = 0;
        App().SetData.IP3 = 0;
        App().SetData.IP4 = 1;
    }

    fs::path ProgramFolder() const {
        if (App().Sousa == 0) {
            return m_exeDir / "usb" / "RzFilesOut";
        }
        return m_strPubFolder.empty() ? m_exeDir / "unit" / "pub" / "RzFilesOut"
                                      : fs::path(m_strPubFolder) / "RzFilesOut";
    }
    fs::path UnitList() const { return ProgramFolder() / "FileList.fno"; }

    // A list on the unit with the numbers given, each with its program file.
    void PutListOnUnit(const std::vector<int>& aNumbers, const std::string& strTitle = "") {
        fs::create_directories(ProgramFolder());
        CFileNo list;
        list.m_strTitle = strTitle;
        for (int nNo : aNumbers) {
            list.m_aData.push_back({nNo, Format("P%d", nNo), ""});
            WriteFile(ProgramFolder() / Format("%04d.fno", nNo),
                      Format("%%\r\nO%04d\r\n%%\r\n", nNo));
        }
        ASSERT_TRUE(list.Save(UnitList().string()));
    }

    std::string MakePcFile(const std::string& strName) {
        fs::path path = m_exeDir / "pc" / strName;
        WriteFile(path, PcProgram(strName));
        return path.string();
    }

    std::unique_ptr<CFKanriDlg> Open() {
        auto pDialog = std::make_unique<CFKanriDlg>();
        EXPECT_TRUE(pDialog->OnInitDialog());
        QObject::connect(pDialog.get(), &QDialog::finished, [this] { ++m_nFinished; });
        return pDialog;
    }

    static std::vector<int> Numbers(const CFKanriDlg& dialog) {
        std::vector<int> aNumbers;
        for (const FILENODATA& entry : dialog.m_fileNo.m_aData) {
            aNumbers.push_back(entry.nNo);
        }
        return aNumbers;
    }

    static void Select(CFKanriDlg& dialog, std::initializer_list<int> aRows) {
        dialog.FileList().ClearAllSelection();
        for (int nRow : aRows) {
            dialog.FileList().SetSelected(nRow, true);
        }
    }

    // The number dialog answers with the text given (after showing its proposal), or is
    // cancelled without text.
    void AnswerNumber(std::optional<std::string> text) {
        ExpectDialog<CFNoInDlg>(Ui(), [this, text](CFNoInDlg& numberDlg) {
            m_aProposals.push_back(numberDlg.NumberEdit().text().toStdString());
            if (!text) {
                numberDlg.reject();
                return;
            }
            numberDlg.NumberEdit().setText(QString::fromStdString(*text));
            numberDlg.OnOK();
        });
    }

    std::unique_ptr<CUnitSimulator> m_pSimulator;
    // The "/pub/" of another server than the unit simulator, when a test uses one.
    std::string m_strPubFolder;
    std::vector<std::string> m_aProposals;
    int m_nFinished = 0;
};

TEST_F(FKanriDlgTest, ShowsItsControlsAndAnEmptyListWithItsBlankRow) {
    auto pDialog = Open();
    CFKanriDlg& dialog = *pDialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("番号登録"));
    const std::pair<int, const char*> aCaptions[] = {
        {1032, "全消去"}, {1033, "登録"}, {1031, "消去"}, {1030, "備考"},
        {1036, "↑"},      {1037, "↓"},    {1035, "印刷"}, {2, "閉じる"}};
    for (auto [nId, pszCaption] : aCaptions) {
        EXPECT_EQ(dialog.Button(nId).text(), QString::fromUtf8(pszCaption)) << nId;
    }
    for (CListView* pList : {&dialog.FileList(), &dialog.CoverList()}) {
        ASSERT_EQ(pList->GetColumnCount(), 3);
        EXPECT_EQ(pList->GetColumnHeader(0), "No.");
        EXPECT_EQ(pList->GetColumnHeader(1), "ファイル名");
        EXPECT_EQ(pList->GetColumnHeader(2), "備考");
        EXPECT_EQ(
            pList->columnWidth(2),
            QFontMetrics(App().ListFont)
                .horizontalAdvance(QStringLiteral("1234567890123456789012345678901234567890  ")));
        EXPECT_EQ(pList->GetItemCount(), 1);
        EXPECT_EQ(pList->geometry(), dialog.FileList().geometry());
    }
    EXPECT_TRUE(dialog.CoverList().isHidden());
    EXPECT_FALSE(dialog.FileList().isHidden());
    EXPECT_EQ(SelectedRows(dialog.FileList()), std::vector<int>{0});
    EXPECT_TRUE(dialog.FileList().IsFocused(0));
    EXPECT_EQ(dialog.FileList().GetCellText(0, 1), "");
    EXPECT_TRUE(dialog.TitleEdit().text().isEmpty());
    EXPECT_TRUE(fs::is_directory(ProgramFolder()));
    EXPECT_TRUE(Ui().Boxes().empty());
}

TEST_F(FKanriDlgTest, OpensTheListOverTheNetworkWithoutKeepingTheLocalCopy) {
    UseNetwork();
    PutListOnUnit({12, 7}, "LINE A");
    auto pDialog = Open();
    EXPECT_EQ(Numbers(*pDialog), (std::vector<int>{12, 7}));
    EXPECT_EQ(pDialog->TitleEdit().text(), QStringLiteral("LINE A"));
    EXPECT_EQ(pDialog->FileList().GetItemCount(), 3);
    EXPECT_EQ(pDialog->FileList().GetCellText(0, 0), "   12");
    EXPECT_EQ(pDialog->FileList().GetCellText(1, 1), "P7");
    EXPECT_EQ(pDialog->FileList().GetCellText(2, 0), "");
    EXPECT_FALSE(fs::exists(m_exeDir / "FileList.fno"));
}

TEST_F(FKanriDlgTest, AnUnreachableUnitIsReportedAndTheDialogDoesNotOpen) {
    UseNetwork();
    StopUnit();
    CFKanriDlg dialog;
    EXPECT_FALSE(dialog.OnInitDialog());
    ASSERT_EQ(Ui().Boxes().size(), 1u);
    EXPECT_EQ(Ui().Boxes()[0].kind, CFakeUiServices::BoxKind::Warning);
    EXPECT_TRUE(Ui().Boxes()[0].strText.ends_with("\n127.0.0.1への接続に失敗しました。"));
}

TEST_F(FKanriDlgTest, RegisteringStopsAtTheFirstTakenNumber) {
    PutListOnUnit({11});
    auto pDialog = Open();
    std::vector<std::string> aFiles = {MakePcFile("abc.def.NC"), MakePcFile("b.NC"),
                                       MakePcFile("c.NC")};
    Ui().AnswerOpenFiles(aFiles);
    AnswerNumber("10");
    pDialog->OnRegister();

    EXPECT_EQ(m_aProposals, std::vector<std::string>{"12"});
    EXPECT_EQ(Ui().Texts(), std::vector<std::string>{"11は登録できません。"});
    EXPECT_EQ(Numbers(*pDialog), (std::vector<int>{11, 10}));
    EXPECT_EQ(pDialog->m_fileNo.m_aData[1].strName, "abc.def");
    EXPECT_EQ(ReadFile(ProgramFolder() / "0010.fno"), PcProgram("abc.def.NC"));
    EXPECT_EQ(ReadFile(ProgramFolder() / "0011.fno"), "%\r\nO0011\r\n%\r\n");
    EXPECT_FALSE(fs::exists(ProgramFolder() / "0012.fno"));
    EXPECT_EQ(pDialog->FileList().GetItemCount(), 3);
    EXPECT_EQ(SelectedRows(pDialog->FileList()), std::vector<int>{2});
    EXPECT_TRUE(pDialog->FileList().IsFocused(2));
    EXPECT_TRUE(pDialog->m_bModified);
    EXPECT_EQ(App().NC_Dir, (m_exeDir / "pc").string() + "/");
    ASSERT_EQ(Ui().FileDialogs().size(), 1u);
    EXPECT_EQ(Ui().FileDialogs()[0].strFilter, "NC Files (*.NC)|*.NC|すべてのﾌｧｲﾙ (*.*)|*.*||");
    EXPECT_TRUE(pDialog->Button(1033).isEnabled());
    EXPECT_TRUE(pDialog->IsCloseEnabled());
    EXPECT_EQ(Ui().BusyShownCount(), 3);  // opening, the tape check and registering
}

TEST_F(FKanriDlgTest, ProposesANumberForEachSelectionAndKeepsOnlyTheFirstSelectedRow) {
    PutListOnUnit({5, 8, 20});
    auto pDialog = Open();
    struct {
        std::initializer_list<int> aSelected;
        const char* pszProposal;
        int nSelectedAfter;
    } const aCases[] = {
        {{}, "21", 3}, {{3}, "21", 3}, {{0, 2}, "1", 0}, {{2, 3}, "9", 2}, {{1}, "6", 1}};
    for (const auto& testCase : aCases) {
        Select(*pDialog, testCase.aSelected);
        m_aProposals.clear();
        Ui().AnswerOpenFiles({MakePcFile("x.NC")});
        AnswerNumber(std::nullopt);
        pDialog->OnRegister();
        EXPECT_EQ(m_aProposals, std::vector<std::string>{testCase.pszProposal});
        EXPECT_EQ(SelectedRows(pDialog->FileList()), std::vector<int>{testCase.nSelectedAfter});
        EXPECT_TRUE(pDialog->FileList().IsFocused(testCase.nSelectedAfter));
    }
    EXPECT_FALSE(pDialog->m_bModified);
    EXPECT_TRUE(Ui().Texts().empty());
}

TEST_F(FKanriDlgTest, RegistersBeforeTheSelectedEntryWhichStaysSelected) {
    App().SetData.ADD_DOT = false;
    PutListOnUnit({10, 20, 30, 40, 50});
    auto pDialog = Open();
    Select(*pDialog, {3});
    Ui().AnswerOpenFiles({MakePcFile("a.NC"), MakePcFile("b.txt")});
    AnswerNumber("31");
    pDialog->OnRegister();

    EXPECT_EQ(m_aProposals, std::vector<std::string>{"31"});
    EXPECT_EQ(Numbers(*pDialog), (std::vector<int>{10, 20, 30, 31, 32, 40, 50}));
    EXPECT_EQ(pDialog->m_fileNo.m_aData[3].strName, "a.NC");
    EXPECT_EQ(pDialog->FileList().GetCellText(4, 1), "b.txt");
    EXPECT_EQ(SelectedRows(pDialog->FileList()), std::vector<int>{5});
    EXPECT_TRUE(pDialog->FileList().IsFocused(5));
    EXPECT_EQ(pDialog->FileList().GetItemCount(), 8);
    EXPECT_TRUE(fs::exists(ProgramFolder() / "0031.fno"));
    EXPECT_TRUE(fs::exists(ProgramFolder() / "0032.fno"));
    EXPECT_EQ(Ui().FileDialogs()[0].strFilter, "すべてのﾌｧｲﾙ (*.*)|*.*||");
    EXPECT_TRUE(Ui().Texts().empty());
}

TEST_F(FKanriDlgTest, TheNumberDialogTakesOnlyIntegersUpTo9999AndZeroIsRefusedLater) {
    auto pDialog = Open();
    Ui().AnswerOpenFiles({MakePcFile("a.NC")});
    ExpectDialog<CFNoInDlg>(Ui(), [](CFNoInDlg& numberDlg) {
        EXPECT_EQ(numberDlg.windowTitle(), QStringLiteral("新規ファイル番号登録"));
        for (const char* pszRefused : {"abc", "10000", "-1"}) {
            numberDlg.NumberEdit().setText(QString::fromUtf8(pszRefused));
            numberDlg.OnOK();
            EXPECT_NE(numberDlg.result(), QDialog::Accepted) << pszRefused;
        }
        numberDlg.NumberEdit().setText(QStringLiteral("0"));
        numberDlg.OnOK();
    });
    pDialog->OnRegister();
    EXPECT_EQ(Ui().Texts(), (std::vector<std::string>{
                                "Enter an integer.", "Enter an integer between 0 and 9999.",
                                "Enter an integer between 0 and 9999.", "0は登録できません。"}));
    EXPECT_TRUE(pDialog->m_fileNo.m_aData.empty());
    EXPECT_FALSE(fs::exists(ProgramFolder() / "0000.fno"));
}

TEST_F(FKanriDlgTest, AFileNameThatCannotStandInTheListIsNotRegistered) {
    auto pDialog = Open();
    Ui().AnswerOpenFiles({MakePcFile("a.NC"), MakePcFile("line\nbreak.NC"), MakePcFile("c.NC")});
    AnswerNumber("1");
    pDialog->OnRegister();
    EXPECT_EQ(Ui().Texts(), std::vector<std::string>{"line\nbreak.NCの登録に失敗しました。"});
    EXPECT_EQ(Numbers(*pDialog), std::vector<int>{1});
    EXPECT_FALSE(fs::exists(ProgramFolder() / "0002.fno"));
}

TEST_F(FKanriDlgTest, RegistersOverTheNetwork) {
    UseNetwork();
    auto pDialog = Open();
    Ui().AnswerOpenFiles({MakePcFile("a.NC"), MakePcFile("b.NC")});
    AnswerNumber("1");
    pDialog->OnRegister();
    EXPECT_EQ(Numbers(*pDialog), (std::vector<int>{1, 2}));
    EXPECT_EQ(ReadFile(ProgramFolder() / "0002.fno"), PcProgram("b.NC"));
    EXPECT_TRUE(Ui().Texts().empty());
}

// While a thousand programs go to the unit, the busy dialog names the file and counts them.
TEST_F(FKanriDlgTest, TheBusyDialogCountsTheFilesOfALargeRegistration) {
    UseNetwork();
    auto pDialog = Open();
    std::vector<std::string> aFiles;
    for (int nFile = 1; nFile <= 1000; ++nFile) {
        aFiles.push_back(MakePcFile(Format("PART%04d.NC", nFile)));
    }
    Ui().AnswerOpenFiles(aFiles);
    AnswerNumber("1");
    Ui().ShowRealBusy([](bool bCanStop) { return std::make_unique<CWaitIndicator>(bCanStop); });
    CBusyDialogWatch watch([](const CProgress::State& state) { return state.nFilesDone >= 500; },
                           std::string(RZKSET_BINARY_DIR) + "/screenshots/busy_registration.png");
    pDialog->Button(1033).click();

    ASSERT_EQ(pDialog->m_fileNo.m_aData.size(), 1000u);
    EXPECT_EQ(ReadFile(ProgramFolder() / "1000.fno"), PcProgram("PART1000.NC"));
    const std::string& strShown = watch.ShownText();
    EXPECT_TRUE(strShown.starts_with("ただいま、処理中です。\nしばらくお待ちください。\n\nPART"))
        << strShown;
    EXPECT_NE(strShown.find(".NC\n"), std::string::npos) << strShown;
    EXPECT_TRUE(strShown.ends_with(" / 1000 ファイル")) << strShown;
}

// "中止" pressed while the 501st of a thousand programs is about to go: the first 500 stay on
// the unit and in the list written back, nothing else and no temporary file reaches the unit,
// and the end message names what was registered.
TEST_F(FKanriDlgTest, StoppingALargeRegistrationKeepsTheProgramsDoneAndNothingElse) {
    std::vector<std::string> aFiles;
    for (int nFile = 1; nFile <= 1000; ++nFile) {
        aFiles.push_back(MakePcFile(Format("PART%04d.NC", nFile)));
    }
    Ui().ShowRealBusy([](bool bCanStop) { return std::make_unique<CWaitIndicator>(bCanStop); });
    for (bool bNetwork : {false, true}) {
        SCOPED_TRACE(bNetwork ? "network" : "USB memory");
        if (bNetwork) {
            UseNetwork();
        }
        PutListOnUnit({});
        auto pDialog = Open();
        Ui().AnswerOpenFiles(aFiles);
        AnswerNumber("1");
        CStopPress press([](const CProgress::State& state) { return state.nFilesDone == 500; });
        pDialog->Button(1033).click();
        ASSERT_TRUE(press.Pressed());
        EXPECT_EQ(press.PressedAt().strFileName, "PART0501.NC");

        std::vector<int> aExpected(500);
        std::iota(aExpected.begin(), aExpected.end(), 1);
        EXPECT_EQ(Numbers(*pDialog), aExpected);
        std::set<std::string> aOnUnit = FolderEntries(ProgramFolder().string());
        EXPECT_EQ(aOnUnit.size(), 501u) << "the list file and the 500 programs";
        EXPECT_TRUE(aOnUnit.contains("FileList.fno"));
        EXPECT_EQ(ReadFile(ProgramFolder() / "0500.fno"), PcProgram("PART0500.NC"));
        EXPECT_FALSE(aOnUnit.contains("0501.fno"));
        EXPECT_EQ(Ui().Texts(), std::vector<std::string>{"中止しました。\n1〜500を登録しました。"});
        EXPECT_EQ(Ui().Boxes().back().kind, CFakeUiServices::BoxKind::Message);
        EXPECT_TRUE(pDialog->Button(1033).isEnabled());

        pDialog->OnClose();
        CFileNo written;
        ASSERT_EQ(written.Load(UnitList().string()), CFileNo::LOAD_OK);
        ASSERT_EQ(written.m_aData.size(), 500u);
        EXPECT_EQ(written.m_aData.back().nNo, 500);
        EXPECT_EQ(written.m_aData.back().strName, "PART0500");
        EXPECT_EQ(FolderEntries(ProgramFolder().string()).size(), 501u);
        EXPECT_FALSE(fs::exists(m_exeDir / "FileList.fno"));
        fs::remove_all(ProgramFolder());
        Ui().ClearRecord();
    }
}

// Two programs of one number in a file: the operator is warned after choosing the number and
// may still register it; saying no registers nothing.
TEST_F(FKanriDlgTest, RegisteringWarnsOfADuplicateNumberAndGoesOnOnlyWhenTold) {
    const std::string strTape = "%\r\nO0001\r\nM30\r\nO0001\r\nM30\r\n%\r\n";
    for (bool bNetwork : {false, true}) {
        SCOPED_TRACE(bNetwork ? "network" : "USB memory");
        if (bNetwork) {
            UseNetwork();
        }
        auto pDialog = Open();
        const std::string strPath = (m_exeDir / "pc" / "twice.NC").string();
        WriteFile(strPath, strTape);
        for (bool bGoOn : {false, true}) {
            Ui().AnswerOpenFiles({strPath});
            AnswerNumber("5");
            Ui().AnswerQuestion(bGoOn);
            pDialog->Button(1033).click();
            EXPECT_EQ(Numbers(*pDialog), bGoOn ? std::vector<int>{5} : std::vector<int>{});
            EXPECT_EQ(fs::exists(ProgramFolder() / "0005.fno"), bGoOn);
        }
        EXPECT_EQ(ReadFile(ProgramFolder() / "0005.fno"), strTape);
        EXPECT_EQ(Ui().Texts(),
                  std::vector<std::string>(2,
                                           "テープの確認で1件の注意があります。\nＯ番号の重複 1件\n"
                                           "このまま登録しますか？"));
        Ui().ClearRecord();
    }
}

// Files dropped on the list are registered as if chosen in the file dialog, number dialog and
// all; a dropped folder is refused.
TEST_F(FKanriDlgTest, RegistersFilesDroppedOnTheList) {
    for (bool bNetwork : {false, true}) {
        SCOPED_TRACE(bNetwork ? "network" : "USB memory");
        if (bNetwork) {
            UseNetwork();
        }
        auto pDialog = Open();
        QWidget& list = *pDialog->FileList().viewport();
        EXPECT_FALSE(DropFiles(list, {(m_exeDir / "pc").string()}));
        AnswerNumber("20");
        ASSERT_TRUE(DropFiles(list, {MakePcFile("a.NC"), MakePcFile("b.NC")}));
        EXPECT_EQ(Numbers(*pDialog), (std::vector<int>{20, 21}));
        EXPECT_EQ(ReadFile(ProgramFolder() / "0021.fno"), PcProgram("b.NC"));
        EXPECT_TRUE(Ui().FileDialogs().empty());
        EXPECT_TRUE(Ui().Texts().empty());
    }
}

TEST_F(FKanriDlgTest, DeletesTheSelectedEntriesWithTheirFiles) {
    PutListOnUnit({1, 2, 3, 4, 5, 6, 7});
    auto pDialog = Open();
    Select(*pDialog, {7});
    pDialog->OnDelete();
    EXPECT_EQ(Numbers(*pDialog).size(), 7u);
    EXPECT_FALSE(pDialog->m_bModified);
    EXPECT_EQ(Ui().BusyShownCount(), 1);

    Select(*pDialog, {2, 5});
    pDialog->OnDelete();
    EXPECT_EQ(Numbers(*pDialog), (std::vector<int>{1, 2, 4, 5, 7}));
    EXPECT_FALSE(fs::exists(ProgramFolder() / "0003.fno"));
    EXPECT_FALSE(fs::exists(ProgramFolder() / "0006.fno"));
    EXPECT_TRUE(fs::exists(ProgramFolder() / "0004.fno"));
    EXPECT_EQ(pDialog->m_nCount, 5);
    EXPECT_EQ(pDialog->FileList().GetItemCount(), 6);
    EXPECT_TRUE(SelectedRows(pDialog->FileList()).empty());
    EXPECT_TRUE(pDialog->m_bModified);
    EXPECT_TRUE(pDialog->CoverList().isHidden());
    EXPECT_TRUE(Ui().Texts().empty());

    // A program already gone from the unit stops the deletion and keeps its entry.
    fs::remove(ProgramFolder() / "0002.fno");
    Select(*pDialog, {1, 3});
    pDialog->OnDelete();
    EXPECT_EQ(Ui().Texts(), std::vector<std::string>{"消去に失敗しました。"});
    EXPECT_EQ(Numbers(*pDialog), (std::vector<int>{1, 2, 4, 5, 7}));
    EXPECT_EQ(SelectedRows(pDialog->FileList()), (std::vector<int>{1, 3}));
}

TEST_F(FKanriDlgTest, DeletesOverTheNetwork) {
    UseNetwork();
    PutListOnUnit({1, 2, 3});
    auto pDialog = Open();
    Select(*pDialog, {0, 2});
    pDialog->OnDelete();
    EXPECT_EQ(Numbers(*pDialog), std::vector<int>{2});
    EXPECT_FALSE(fs::exists(ProgramFolder() / "0001.fno"));
    EXPECT_FALSE(fs::exists(ProgramFolder() / "0003.fno"));
    EXPECT_TRUE(Ui().Texts().empty());
}

const char* const kDeleteAllQuestion =
    "登録されている全てのＮＣプログラムを消去します。\n消去してもよろしいですか？";

TEST_F(FKanriDlgTest, DeleteAllEmptiesFolderAndListUnderTheTitleOfTheBox) {
    PutListOnUnit({1, 2}, "OLD");
    WriteFile(ProgramFolder() / "0099.fno", "unlisted");
    fs::create_directories(ProgramFolder() / "keep.fno");
    auto pDialog = Open();
    pDialog->TitleEdit().setText(QStringLiteral("NEW"));

    Ui().AnswerQuestion(false);
    pDialog->OnDeleteAll();
    EXPECT_EQ(Numbers(*pDialog).size(), 2u);
    EXPECT_FALSE(pDialog->m_bModified);

    Ui().ClearRecord();
    Ui().AnswerQuestion(true);
    pDialog->OnDeleteAll();
    ASSERT_EQ(Ui().Boxes().size(), 2u);
    EXPECT_EQ(Ui().Boxes()[0].strText, kDeleteAllQuestion);
    EXPECT_TRUE(Ui().Boxes()[0].bDefaultNo);
    EXPECT_EQ(Ui().Boxes()[1].kind, CFakeUiServices::BoxKind::Message);
    EXPECT_EQ(Ui().Boxes()[1].strText, "消去が終了しました。");
    EXPECT_TRUE(pDialog->m_fileNo.m_aData.empty());
    EXPECT_EQ(pDialog->m_fileNo.m_strTitle, "NEW");
    EXPECT_EQ(pDialog->FileList().GetItemCount(), 1);
    EXPECT_EQ(SelectedRows(pDialog->FileList()), std::vector<int>{0});
    EXPECT_TRUE(pDialog->FileList().IsFocused(0));
    EXPECT_TRUE(pDialog->m_bModified);
    std::vector<std::string> aLeft;
    for (const auto& entry : fs::directory_iterator(ProgramFolder())) {
        aLeft.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(aLeft, std::vector<std::string>{"keep.fno"});
}

TEST_F(FKanriDlgTest, DeleteAllKeepsTheEntriesWhoseProgramsStayOnTheUnit) {
    PutListOnUnit({1, 2, 3, 4});
    fs::path locked = ProgramFolder() / "0003.fno";
    if (std::system(("chattr +i '" + locked.string() + "' 2>/dev/null").c_str()) != 0) {
        GTEST_SKIP() << "the file system cannot make a file undeletable";
    }
    auto pDialog = Open();
    Ui().AnswerQuestion(true);
    pDialog->OnDeleteAll();
    std::system(("chattr -i '" + locked.string() + "'").c_str());

    EXPECT_EQ(Ui().Texts().back(), "消去できないファイルがありました。");
    EXPECT_EQ(Numbers(*pDialog), std::vector<int>{3});
    EXPECT_EQ(pDialog->FileList().GetItemCount(), 2);
    EXPECT_EQ(SelectedRows(pDialog->FileList()), std::vector<int>{1});
    EXPECT_FALSE(fs::exists(ProgramFolder() / "0001.fno"));
    EXPECT_FALSE(fs::exists(UnitList()));
}

TEST_F(FKanriDlgTest, DeleteAllOverTheNetworkReportsEachFailureAndKeepsWhatIsLeft) {
    UseNetwork({"--refuse", "DELE"});
    PutListOnUnit({1, 2});
    auto pDialog = Open();
    Ui().AnswerQuestion(true);
    pDialog->OnDeleteAll();
    EXPECT_EQ(Ui().Texts().back(), "消去できないファイルがありました。");
    EXPECT_EQ(Numbers(*pDialog), (std::vector<int>{1, 2}));

    // A refused folder change deletes nothing and says so.
    Ui().ClearRecord();
    Ui().AnswerQuestion(true);
    App().FtpPort = StartUnit({"--refuse", "CWD"});
    pDialog->OnDeleteAll();
    EXPECT_EQ(Ui().Texts().back(), "127.0.0.1のフォルダ移動に失敗しました。");
    EXPECT_EQ(Numbers(*pDialog), (std::vector<int>{1, 2}));

    // An unreachable unit leaves the list as it was.
    StopUnit();
    Ui().ClearRecord();
    Ui().AnswerQuestion(true);
    Select(*pDialog, {1});
    pDialog->OnDeleteAll();
    EXPECT_TRUE(Ui().Texts().back().ends_with("127.0.0.1への接続に失敗しました。"));
    EXPECT_EQ(Numbers(*pDialog), (std::vector<int>{1, 2}));
    EXPECT_EQ(SelectedRows(pDialog->FileList()), std::vector<int>{1});
    EXPECT_TRUE(fs::exists(ProgramFolder() / "0001.fno"));
}

TEST_F(FKanriDlgTest, MovesBlocksUpAndDownButNeverPastTheEdges) {
    PutListOnUnit({1, 2, 3, 4, 5, 6, 7, 8});
    auto pDialog = Open();
    CFKanriDlg& dialog = *pDialog;

    Select(dialog, {0, 3});
    dialog.OnMoveUp();
    Select(dialog, {2, 7});
    dialog.OnMoveDown();
    EXPECT_EQ(Numbers(dialog), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_FALSE(dialog.m_bModified);

    Select(dialog, {3, 4, 5});
    dialog.OnMoveUp();
    EXPECT_EQ(Numbers(dialog), (std::vector<int>{1, 2, 4, 5, 6, 3, 7, 8}));
    EXPECT_EQ(SelectedRows(dialog.FileList()), (std::vector<int>{2, 3, 4}));
    EXPECT_TRUE(dialog.FileList().IsFocused(4));
    EXPECT_EQ(dialog.FileList().GetCellText(2, 0), "    4");
    EXPECT_TRUE(dialog.m_bModified);

    dialog.OnMoveDown();
    EXPECT_EQ(Numbers(dialog), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(SelectedRows(dialog.FileList()), (std::vector<int>{3, 4, 5}));
    EXPECT_TRUE(dialog.FileList().IsFocused(3));

    // The blank row is only deselected by move up and stays selected through move down.
    Select(dialog, {5, 8});
    dialog.OnMoveUp();
    EXPECT_EQ(SelectedRows(dialog.FileList()), std::vector<int>{4});
    Select(dialog, {6, 8});
    dialog.OnMoveDown();
    EXPECT_EQ(Numbers(dialog), (std::vector<int>{1, 2, 3, 4, 6, 5, 8, 7}));
    EXPECT_EQ(SelectedRows(dialog.FileList()), (std::vector<int>{7, 8}));
    EXPECT_TRUE(dialog.CoverList().isHidden());
    EXPECT_TRUE(dialog.Button(1036).isEnabled());
    EXPECT_TRUE(dialog.Button(1037).isEnabled());
}

TEST_F(FKanriDlgTest, GivesTheRemarkToEverySelectedEntry) {
    PutListOnUnit({1, 2, 3, 4});
    auto pDialog = Open();
    pDialog->m_fileNo.m_aData[1].strEct = "old";
    Select(*pDialog, {1, 3, 4});
    std::string strRemark = *Utf8ToCp932("新しい備考");
    ExpectDialog<CBikouDlg>(Ui(), [&](CBikouDlg& remarkDlg) {
        EXPECT_EQ(remarkDlg.windowTitle(), QStringLiteral("備考入力"));
        EXPECT_EQ(remarkDlg.BikouEdit().text(), QStringLiteral("old"));
        remarkDlg.BikouEdit().setText(QString(41, QLatin1Char('x')));
        remarkDlg.OnOK();
        EXPECT_NE(remarkDlg.result(), QDialog::Accepted);
        remarkDlg.BikouEdit().setText(QStringLiteral("新しい備考"));
        remarkDlg.OnOK();
    });
    pDialog->OnRemark();
    EXPECT_EQ(Ui().Texts(), std::vector<std::string>{"Enter no more than 40 characters."});
    EXPECT_EQ(pDialog->m_fileNo.m_aData[1].strEct, strRemark);
    EXPECT_EQ(pDialog->m_fileNo.m_aData[3].strEct, strRemark);
    EXPECT_EQ(pDialog->m_fileNo.m_aData[2].strEct, "");
    EXPECT_EQ(pDialog->FileList().GetCellText(3, 2), "新しい備考");
    EXPECT_EQ(SelectedRows(pDialog->FileList()), std::vector<int>{4});
    EXPECT_TRUE(pDialog->m_bModified);
}

TEST_F(FKanriDlgTest, ClosingWritesTheListOnlyWhenSomethingChanged) {
    PutListOnUnit({1}, "T");
    std::string strOriginal = ReadFile(UnitList());
    {
        auto pDialog = Open();
        fs::remove(UnitList());
        pDialog->OnClose();
        EXPECT_EQ(m_nFinished, 1);
        EXPECT_FALSE(fs::exists(UnitList()));
    }
    WriteFile(UnitList(), strOriginal);
    auto pDialog = Open();
    pDialog->TitleEdit().setText(QStringLiteral("LINE B"));
    pDialog->OnClose();
    EXPECT_EQ(ReadFile(UnitList()),
              "#ListHead Section Start\r\nPRNTITLE=LINE B\r\nFNOCOUNT=1\r\n"
              "#ListHead Section End\r\n#FileNo Section Start\r\nNO=1\r\nNAME=P1\r\n"
              "ECT=\r\n#FileNo Section End\r\n");
    EXPECT_TRUE(Ui().Texts().empty());
}

TEST_F(FKanriDlgTest, ClosingOverTheNetworkUploadsAndRemovesTheLocalCopy) {
    UseNetwork();
    PutListOnUnit({1});
    auto pDialog = Open();
    pDialog->m_fileNo.m_aData[0].strEct = "R";
    pDialog->m_bModified = true;
    pDialog->OnClose();
    EXPECT_EQ(m_nFinished, 1);
    CFileNo written;
    ASSERT_EQ(written.Load(UnitList().string()), CFileNo::LOAD_OK);
    EXPECT_EQ(written.m_aData[0].strEct, "R");
    EXPECT_FALSE(fs::exists(m_exeDir / "FileList.fno"));
}

TEST_F(FKanriDlgTest, AListThatCannotBeWrittenBackIsReportedAndKeptForOneMoreTry) {
    PutListOnUnit({1, 2});
    auto pDialog = Open();
    pDialog->TitleEdit().setText(QStringLiteral("NEW"));
    fs::rename(ProgramFolder(), m_exeDir / "usb" / "away");

    pDialog->OnClose();
    EXPECT_EQ(Ui().Texts(), std::vector<std::string>{"FileList.fno の上書きに失敗しました。"});
    EXPECT_EQ(m_nFinished, 0);

    // The memory is back: the second try writes the edits.
    fs::rename(m_exeDir / "usb" / "away", ProgramFolder());
    pDialog->OnClose();
    EXPECT_EQ(m_nFinished, 1);
    CFileNo written;
    written.Load(UnitList().string());
    EXPECT_EQ(written.m_strTitle, "NEW");
}

// A list that is on the unit but cannot be read is reported, naming the file and why, and the
// dialog does not open: an empty list in its place would be written over it on closing, and
// its programs would lose their entries. A list the listing does not show opens empty.
TEST_F(FKanriDlgTest, AListThatIsThereButCannotBeReadIsReportedAndKept) {
    auto expectRefusedOpening = [&](const std::string& strReason) {
        std::string strBefore = fs::is_directory(UnitList()) ? "" : ReadFile(UnitList());
        Ui().ClearRecord();
        CFKanriDlg dialog;
        EXPECT_FALSE(dialog.OnInitDialog());
        EXPECT_EQ(Ui().Texts(),
                  std::vector<std::string>{"FileList.fnoの読み込みに失敗しました。\n" + strReason});
        EXPECT_EQ(fs::is_directory(UnitList()) ? "" : ReadFile(UnitList()), strBefore);
        EXPECT_FALSE(fs::exists(m_exeDir / "FileList.fno"));
    };

    fs::create_directories(UnitList());
    expectRefusedOpening("同じ名前のフォルダがあります。");
    fs::remove(UnitList());
    // Far larger than any list: damaged, and never replaced by the little that could be read.
    auto expectOversizedListRefused = [&] {
        std::ofstream(UnitList(), std::ios::app).close();
        fs::resize_file(UnitList(), kMaxListFileBytes + 1);
        expectRefusedOpening("ファイルが壊れています（大きすぎます）。");
        fs::remove(UnitList());
    };
    expectOversizedListRefused();
    EXPECT_TRUE(Numbers(*Open()).empty());

    // More than the full disk lets through.
    std::vector<int> aNumbers(200);
    std::iota(aNumbers.begin(), aNumbers.end(), 1);
    UseNetwork({"--refuse-once", "RETR"});
    PutListOnUnit(aNumbers);
    expectRefusedOpening("ユニットが送信を拒否しました。");
    EXPECT_EQ(Numbers(*Open()), aNumbers);
    {
        CFullDisk fullDisk;
        expectRefusedOpening("ディスクの空きがありません。");
    }
    expectOversizedListRefused();

    CVsftpd vsftpd;
    if (std::string strReason = vsftpd.Start({"cmds_denied=RETR"}); !strReason.empty()) {
        GTEST_SKIP() << "vsftpd cannot serve here: " << strReason;
    }
    m_strPubFolder = vsftpd.PubFolder();
    App().FtpPort = vsftpd.Port();
    PutListOnUnit(aNumbers);
    expectRefusedOpening("ユニットが送信を拒否しました。");
}

TEST_F(FKanriDlgTest, ASecondFailedWriteBackClosesTheDialog) {
    PutListOnUnit({1});
    auto pDialog = Open();
    pDialog->m_bModified = true;
    fs::remove_all(ProgramFolder());
    pDialog->OnClose();
    pDialog->OnClose();
    EXPECT_EQ(Ui().Texts(), std::vector<std::string>(2, "FileList.fno の上書きに失敗しました。"));
    EXPECT_EQ(m_nFinished, 1);
}

TEST_F(FKanriDlgTest, ClosingReportsTheFolderUploadAndConnectionFailuresOfTheUnit) {
    UseNetwork();
    PutListOnUnit({1});
    struct {
        std::vector<std::string> aOptions;
        const char* pszMessageEnd;
    } const aCases[] = {{{"--refuse", "CWD"}, "127.0.0.1のフォルダ移動に失敗しました。"},
                        {{"--refuse", "STOR"}, "FileList.fno の上書きに失敗しました。"},
                        {{}, "\n127.0.0.1への接続に失敗しました。"}};
    for (const auto& testCase : aCases) {
        App().FtpPort = StartUnit();
        auto pDialog = Open();
        pDialog->m_bModified = true;
        Ui().ClearRecord();
        if (testCase.aOptions.empty()) {
            StopUnit();
        } else {
            App().FtpPort = StartUnit(testCase.aOptions);
        }
        pDialog->OnClose();
        ASSERT_EQ(Ui().Boxes().size(), 1u);
        EXPECT_EQ(Ui().Boxes()[0].kind, CFakeUiServices::BoxKind::Warning);
        EXPECT_TRUE(Ui().Boxes()[0].strText.ends_with(testCase.pszMessageEnd))
            << Ui().Boxes()[0].strText;
        EXPECT_EQ(m_nFinished, 0);
        EXPECT_FALSE(fs::exists(m_exeDir / "FileList.fno"));
    }
}

TEST_F(FKanriDlgTest, TheTitleIsLimitedTo60Bytes) {
    auto pDialog = Open();
    pDialog->TitleEdit().setText(QString(31, QChar(0x3042)));  // あ x 31 = 62 bytes
    pDialog->OnClose();
    EXPECT_EQ(Ui().Texts(), std::vector<std::string>{"Enter no more than 60 characters."});
    EXPECT_EQ(m_nFinished, 0);
    Ui().ClearRecord();
    pDialog->OnMoveUp();
    EXPECT_EQ(Ui().Texts(), std::vector<std::string>{"Enter no more than 60 characters."});
}

// A title written elsewhere may hold bytes with no character of their own: shown as "�", they
// stop no command and no closing, and go back to the unit as they came.
TEST_F(FKanriDlgTest, ATitleTheOperatorLeftAloneKeepsItsBytes) {
    for (const std::string& strTitle : {std::string("\x80T\xA0"), std::string("AB\x81")}) {
        SCOPED_TRACE(strTitle);
        m_nFinished = 0;
        PutListOnUnit({1, 2}, strTitle);
        auto pDialog = Open();
        pDialog->show();
        EXPECT_TRUE(pDialog->TitleEdit().text().contains(QChar::ReplacementCharacter));
        Select(*pDialog, {0});
        pDialog->Button(1037).click();
        pDialog->Button(2).click();
        EXPECT_TRUE(Ui().Texts().empty());
        EXPECT_EQ(m_nFinished, 1);
        CFileNo written;
        ASSERT_EQ(written.Load(UnitList().string()), CFileNo::LOAD_OK);
        EXPECT_EQ(written.m_strTitle, strTitle);
        EXPECT_EQ(Numbers(*pDialog), (std::vector<int>{2, 1}));
    }
    // Typed over, the title is the operator's and must be one the code page can hold.
    m_nFinished = 0;
    auto pDialog = Open();
    pDialog->TitleEdit().setText(pDialog->TitleEdit().text() + QStringLiteral("€"));
    pDialog->Button(2).click();
    EXPECT_EQ(Ui().Texts(), std::vector<std::string>{"「�」は使用できない文字です。"});
    EXPECT_EQ(m_nFinished, 0);
}

TEST_F(FKanriDlgTest, EscapeAndEnterCloseUnlessCloseIsGreyed) {
    auto pDialog = Open();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    pDialog->EnableClose(false);
    QApplication::sendEvent(pDialog.get(), &escape);
    EXPECT_EQ(m_nFinished, 0);
    pDialog->EnableClose(true);
    QApplication::sendEvent(pDialog.get(), &escape);
    EXPECT_EQ(m_nFinished, 1);

    // Shown, as the operator sees it: Qt would have made the first button (全消去) the default.
    auto pSecond = Open();
    pSecond->show();
    pSecond->TitleEdit().setText(QStringLiteral("T"));
    pSecond->FileList().setFocus();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(pSecond->focusWidget(), &enter);
    EXPECT_EQ(m_nFinished, 2);
    EXPECT_TRUE(fs::exists(UnitList()));
    EXPECT_TRUE(Ui().Boxes().empty());
}

TEST_F(FKanriDlgTest, EnterPressesTheButtonThatHasTheFocus) {
    PutListOnUnit({1});
    auto pDialog = Open();
    pDialog->show();
    pDialog->Button(1032).setFocus();
    Ui().AnswerQuestion(false);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier);
    QApplication::sendEvent(pDialog->focusWidget(), &enter);
    ASSERT_EQ(Ui().Boxes().size(), 1U);
    EXPECT_EQ(Ui().Boxes()[0].kind, CFakeUiServices::BoxKind::Question);
    EXPECT_EQ(m_nFinished, 0);
    EXPECT_EQ(Numbers(*pDialog), std::vector<int>{1});
}

TEST_F(FKanriDlgTest, PrintAsksForThePagesOfTheList) {
    auto pDialog = Open();
    pDialog->Button(1035).click();  // an empty list prints nothing and asks nothing
    PutListOnUnit({1, 2, 3});
    pDialog = Open();
    int nMaxPage = 0;
    Ui().AnswerPrinter([&nMaxPage](int, int nMax, PrintRange&) {
        nMaxPage = nMax;
        return std::unique_ptr<CPrintTarget>();
    });
    pDialog->Button(1035).click();
    EXPECT_EQ(nMaxPage, 1);
    EXPECT_TRUE(pDialog->Button(1035).isEnabled());
}

TEST_F(FKanriDlgTest, OpensA9999EntryListWithItsBlankRow) {
    fs::create_directories(ProgramFolder());
    CFileNo list;
    for (int nNo = 1; nNo <= 9999; ++nNo) {
        list.m_aData.push_back({nNo, Format("PROGRAM%d", nNo), "remark"});
    }
    ASSERT_TRUE(list.Save(UnitList().string()));
    auto pDialog = Open();
    EXPECT_EQ(pDialog->FileList().GetItemCount(), 10000);
    EXPECT_EQ(pDialog->CoverList().GetItemCount(), 10000);
    EXPECT_TRUE(pDialog->FileList().IsSelected(9999));
    EXPECT_EQ(pDialog->FileList().GetCellText(9998, 0), " 9999");
    // The blank row is scrolled into view when the dialog appears.
    pDialog->show();
    CListView& fileList = pDialog->FileList();
    EXPECT_GT(fileList.rowAt(fileList.viewport()->height() - 2), 9990);
}

}  // namespace
