#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/DriveSelDlg.h"
#include "app/RZKSETApp.h"
#include "app/RZKSETDlg.h"
#include "maint/HosyuDlg.h"
#include "numlist/FKanri2Dlg.h"
#include "numlist/FKanriDlg.h"
#include "numlist/FNoInDlg.h"
#include "numlist/FSousaDlg.h"
#include "platform/WaitDlg.h"
#include "settings/SetDlg.h"
#include "tests/app/OperationFrameFixture.h"
#include "tests/fakes/AppFixture.h"
#include "tests/fakes/DriveFixture.h"
#include "tests/fakes/ExpectDialog.h"
#include "tests/fakes/FileDrop.h"
#include "tests/fakes/TestServers.h"
#include "transfer/MRetDlg.h"
#include "transfer/SelInTypeDlg.h"

namespace {

namespace fs = std::filesystem;
using BoxKind = CFakeUiServices::BoxKind;

// The main window's buttons whose operations reach the unit and are part of the program; the
// settings button only on the USB memory, where it is enabled.
std::vector<int> UnitButtons() {
    std::vector<int> aButtons = {1000, 1001, 1004, 1008, 1011, 1012, 1014};
    if (GetApp().Sousa == 0) {
        aButtons.push_back(1013);
    }
    return aButtons;
}

const std::string kNoMemoryOnUnit =
    "RZK-70で利用できるＵＳＢメモリが接続されていません。\n"
    "RZK-70にＵＳＢメモリを接続しているか確認してください。\n"
    "正しくＵＳＢメモリを接続している場合は、ＵＳＢ設定を行ってください。";

// With the unit not ready, each button ends in the check's warning: no file dialog, no dialog
// of its own, nothing written anywhere.
TEST_F(OperationFrameTest, NoOperationStartsWhenTheUnitIsNotReady) {
    struct Case {
        const char* pszName;
        std::function<void()> prepare;
        std::function<std::string()> expectedWarning;
    };
    const Case aCases[] = {
        {"unit that does not answer", [this] { UseUnit({"--stall-login"}); },
         [] { return std::string("127.0.0.1への接続に失敗しました。"); }},
        {"store without the marker", [this] { UseUnit({}); }, [] { return kNoMemoryOnUnit; }},
        {"folder that is no usable memory", [this] { UseFolderAsMemory(m_strSystemDisk, true); },
         [this] { return "ドライブ：" + m_strSystemDisk + "/ はRZK-70では使用できません"; }},
        {"usable memory without the marker", [this] { UseStick(false); },
         [] {
             return "RZK (" + GetApp().UsbDrive.substr(0, GetApp().UsbDrive.size() - 1) +
                    ")\nRZK-70で利用できるＵＳＢメモリが接続されていません。\n"
                    "設定されているドライブに接続しているか確認してください。\n"
                    "正しくＵＳＢメモリを接続している場合は、ＵＳＢ設定を行ってください。";
         }},
        {"pulled memory",
         [this] {
             // The mount point stays behind as an empty folder on the PC's own disk.
             UseFolderAsMemory(m_drives.MakeMountPoint("PULLED"), false);
         },
         [] { return "ドライブ：" + GetApp().UsbDrive + " はRZK-70では使用できません"; }},
    };
    for (const Case& testCase : aCases) {
        SCOPED_TRACE(testCase.pszName);
        testCase.prepare();
        CRZKSETDlg dialog;
        dialog.OnInitDialog();
        std::map<std::string, std::string> aBefore = Everything();
        for (int nId : UnitButtons()) {
            SCOPED_TRACE(nId);
            Ui().ClearRecord();
            Press(dialog, nId);
            ASSERT_EQ(Ui().Boxes().size(), 1U);
            EXPECT_EQ(Ui().Boxes()[0].kind, BoxKind::Warning);
            EXPECT_TRUE(Ui().Boxes()[0].strText.ends_with(testCase.expectedWarning()))
                << Ui().Boxes()[0].strText;
            EXPECT_TRUE(Ui().FileDialogs().empty());
            EXPECT_EQ(Everything(), aBefore);
            EXPECT_EQ(App().DeviceEventsEnabled, 1);
        }
        m_pUnit.reset();
    }
}

// Waiting for a unit that does not answer ends with Esc at the busy dialog: the key waits in
// the window queue until the check lets the dialog see it, and the operation ends there.
TEST_F(OperationFrameTest, WaitingForASilentUnitIsStoppedAtTheBusyDialog) {
    UseUnit({"--stall-login"});
    Ui().ShowRealBusy([](bool bCanStop) {
        auto pBusy = std::make_unique<CWaitIndicator>(bCanStop);
        for (QWidget* pWindow : QApplication::topLevelWidgets()) {
            auto* pDialog = qobject_cast<CWaitDlg*>(pWindow);
            if (bCanStop && pDialog != nullptr && pDialog->isVisible()) {
                QCoreApplication::postEvent(
                    pDialog, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
            }
        }
        return pBusy;
    });
    CRZKSETDlg dialog;
    dialog.OnInitDialog();
    std::map<std::string, std::string> aBefore = Everything();
    Press(dialog, 1000);

    ASSERT_EQ(Ui().Boxes().size(), 1U);
    EXPECT_EQ(Ui().Boxes()[0].kind, BoxKind::Message);
    EXPECT_EQ(Ui().Boxes()[0].strText, "中止しました。");
    EXPECT_TRUE(Ui().FileDialogs().empty());
    EXPECT_EQ(Everything(), aBefore);
    EXPECT_TRUE(dialog.isEnabled());
}

// With the unit ready, each button starts its operation: the file dialog of the send, the
// receive choice, the file operations, the number registration, the number import with the
// programs waiting on the unit, the maintenance report of the unit's files, the sample
// question, the settings.
TEST_F(OperationFrameTest, EveryOperationStartsWhenTheUnitIsReady) {
    for (bool bNetwork : {true, false}) {
        SCOPED_TRACE(bNetwork ? "network" : "USB memory");
        bNetwork ? UseUnit({"--seed"}) : UseStick(true);
        if (!bNetwork) {
            // What the unit leaves on its memory: a program to take over, its identity.
            fs::create_directories(App().UsbDrive + "RzFilesIn");
            fs::create_directories(App().UsbDrive + "images");
            WriteBytes(App().UsbDrive + "RzFilesIn/0007.fno", "%\r\nO0007\r\n%\r\n");
            WriteBytes(App().UsbDrive + "images/INFO.INI",
                       "NAME=RZK-70\r\nMAINVER=1.\r\nSUBVER=02\r\nREV=A\r\n");
        }
        CRZKSETDlg dialog;
        dialog.OnInitDialog();

        Ui().ClearRecord();
        Ui().AnswerOpenFiles({});
        Press(dialog, 1000);
        EXPECT_EQ(Ui().FileDialogs().size(), 1U);

        {
            ExpectDialog<CSelInTypeDlg>(
                Ui(), [](CSelInTypeDlg& receiveChoice) { receiveChoice.OnCancel(); });
            Press(dialog, 1001);
        }
        {
            ExpectDialog<CFSousaDlg>(Ui(),
                                     [](CFSousaDlg& fileOperations) { fileOperations.reject(); });
            Press(dialog, 1004);
        }
        {
            ExpectDialog<CFKanriDlg>(Ui(), [](CFKanriDlg& registration) { registration.reject(); });
            Press(dialog, 1008);
        }
        {
            std::vector<int> aWaiting;
            ExpectDialog<CFKanri2Dlg>(Ui(), [&aWaiting](CFKanri2Dlg& import) {
                aWaiting = import.m_aNo;
                import.reject();
            });
            Press(dialog, 1011);
            EXPECT_EQ(aWaiting, (bNetwork ? std::vector<int>{1, 2, 10} : std::vector<int>{7}));
        }
        {
            std::string strReport;
            ExpectDialog<CHosyuDlg>(Ui(), [&strReport](CHosyuDlg& maintenance) {
                strReport = maintenance.m_strReport;
                maintenance.reject();
            });
            Press(dialog, 1012);
            EXPECT_TRUE(strReport.starts_with("---Ver.---\r\nRZK-70 1.02A\r\n")) << strReport;
        }
        Ui().AnswerQuestion(false);
        Press(dialog, 1014);
        if (!bNetwork) {
            ExpectDialog<CSetDlg>(Ui(), [](CSetDlg& settings) { settings.reject(); });
            Press(dialog, 1013);
        }

        for (const CFakeUiServices::Box& box : Ui().Boxes()) {
            EXPECT_NE(box.kind, BoxKind::Warning) << box.strText;
        }
        m_pUnit.reset();
    }
}

// USB preparation and the drive choice work on the PC's side and never ask the unit: they
// run where the readiness check would refuse every other button.
// The store check-up from the main window's context menu: over the unit it reports the store
// it finds, on a USB memory without the marker it says so, and it writes nothing anywhere.
TEST_F(OperationFrameTest, TheContextMenuChecksTheStoreWithoutChangingIt) {
    CRZKSETDlg dialog;
    ASSERT_TRUE(dialog.OnInitDialog());
    auto checkFromMenu = [&dialog] { CheckStoreFromMenu(dialog); };

    UseUnit({"--seed"});
    const std::map<std::string, std::string> aBefore = Everything();
    checkFromMenu();
    ASSERT_EQ(Ui().Boxes().size(), 1u);
    EXPECT_TRUE(Ui().Boxes()[0].strText.starts_with("○ マーカーファイル PVN_RZK70: あり\n"))
        << Ui().Boxes()[0].strText;
    EXPECT_EQ(Everything(), aBefore);

    Ui().ClearRecord();
    UseStick(false);
    checkFromMenu();
    ASSERT_EQ(Ui().Boxes().size(), 1u);
    EXPECT_EQ(Ui().Boxes()[0].kind, BoxKind::Warning);
    EXPECT_TRUE(Ui().Boxes()[0].strText.starts_with("× マーカーファイル PVN_RZK70: ありません\n"))
        << Ui().Boxes()[0].strText;
    EXPECT_EQ(App().DeviceEventsEnabled, 1);
}

// The check-up finds nothing to look at in a store as the operations of the main window leave
// it: a memory prepared and set up, a send, the file operations and the number registration
// opened, registering and emptied with "全消去" before "閉じる". Lists without entries and
// folders the program makes only when first needed are no problem.
TEST_F(OperationFrameTest, TheStoreCheckupFindsNoProblemInTheStoresTheOperationsLeave) {
    CTestFolder pc;
    const std::string strProgram = "%\r\nO0001\r\nM30\r\n%\r\n";
    WriteBytes(pc / "P1.NC", strProgram);
    for (bool bNetwork : {true, false}) {
        SCOPED_TRACE(bNetwork ? "network" : "USB memory");
        if (bNetwork) {
            // A memory prepared and set up at the PC, then put into the unit.
            UseUnit({});
            WriteBytes(m_pUnit->PubFolder() + "PVN_RZK70", "");
            ASSERT_TRUE(App().SetData.WriteUnitConfig(m_pUnit->PubFolder()));
        } else {
            UseStick(false);
        }
        CRZKSETDlg dialog;
        dialog.OnInitDialog();
        if (!bNetwork) {
            Ui().AnswerQuestion(true);
            Press(dialog, 1015);
            ExpectDialog<CSetDlg>(Ui(), [](CSetDlg& settings) { settings.OnOK(); });
            Press(dialog, 1013);
        }
        const std::pair<const char*, std::function<void()>> aOperations[] = {
            {"prepared", [] {}},
            {"send",
             [&] {
                 Ui().AnswerOpenFiles({pc / "P1.NC"});
                 Press(dialog, 1000);
             }},
            {"file operations opened and closed",
             [&] {
                 ExpectDialog<CFSousaDlg>(Ui(), [](CFSousaDlg& files) { files.OnClose(); });
                 Press(dialog, 1004);
             }},
            {"file operations emptied",
             [&] {
                 ExpectDialog<CFSousaDlg>(Ui(), [&](CFSousaDlg& files) {
                     Ui().AnswerOpenFiles({pc / "P1.NC"});
                     files.Button(1016).click();
                     Ui().AnswerQuestion(true);
                     files.Button(1015).click();
                     files.OnClose();
                 });
                 Press(dialog, 1004);
             }},
            {"number registered",
             [&] {
                 ExpectDialog<CFKanriDlg>(Ui(), [&](CFKanriDlg& numbers) {
                     Ui().AnswerOpenFiles({pc / "P1.NC"});
                     ExpectDialog<CFNoInDlg>(Ui(), [](CFNoInDlg& number) { number.OnOK(); });
                     numbers.Button(1033).click();
                     numbers.OnClose();
                 });
                 Press(dialog, 1008);
             }},
            {"numbers emptied",
             [&] {
                 ExpectDialog<CFKanriDlg>(Ui(), [&](CFKanriDlg& numbers) {
                     Ui().AnswerQuestion(true);
                     numbers.Button(1032).click();
                     numbers.OnClose();
                 });
                 Press(dialog, 1008);
             }},
        };
        for (const auto& [pszOperation, run] : aOperations) {
            SCOPED_TRACE(pszOperation);
            Ui().ClearRecord();
            run();
            for (const CFakeUiServices::Box& box : Ui().Boxes()) {
                EXPECT_NE(box.kind, BoxKind::Warning) << box.strText;
            }
            Ui().ClearRecord();
            CheckStoreFromMenu(dialog);
            ASSERT_EQ(Ui().Boxes().size(), 1u);
            EXPECT_EQ(Ui().Boxes()[0].strText.find("×"), std::string::npos)
                << Ui().Boxes()[0].strText;
            EXPECT_TRUE(Ui().Boxes()[0].strText.ends_with("問題はありません。"));
        }
        m_pUnit.reset();
    }
}

// PC files dropped on the send button go to the unit as if chosen in the file dialog, after
// the readiness check; a folder or a non-local item is refused and starts nothing.
TEST_F(OperationFrameTest, FilesDroppedOnTheSendButtonAreSent) {
    CTestFolder pc;
    WriteBytes(pc / "a.nc", "%\r\nO0001\r\nM30\r\n%");
    WriteBytes(pc / "b.nc", "%\r\nO0002\r\nM30\r\n%");
    for (bool bNetwork : {true, false}) {
        SCOPED_TRACE(bNetwork ? "network" : "USB memory");
        bNetwork ? UseUnit({"--seed"}) : UseStick(true);
        const std::string strStore = bNetwork ? m_pUnit->PubFolder() : App().UsbDrive;
        CRZKSETDlg dialog;
        dialog.OnInitDialog();
        Ui().ClearRecord();

        EXPECT_FALSE(DropFiles(*dialog.Item(1000), {pc.Path()}));
        EXPECT_FALSE(DropFiles(*dialog.Item(1000), {pc / "a.nc", pc / "missing.nc"}));
        EXPECT_TRUE(Ui().Boxes().empty());

        ASSERT_TRUE(DropFiles(*dialog.Item(1000), {pc / "a.nc"}));
        EXPECT_EQ(ReadBytes(strStore + "RZKOUT"), "%\r\nO0001\r\nM30\r\n%");
        EXPECT_EQ(Ui().Texts(), std::vector<std::string>{"a.ncの登録が正常終了しました。"});
        EXPECT_TRUE(Ui().FileDialogs().empty());

        ExpectDialog<CMRetDlg>(Ui(), [](CMRetDlg& list) { list.accept(); });
        ASSERT_TRUE(DropFiles(*dialog.Item(1000), {pc / "a.nc", pc / "b.nc"}));
        EXPECT_EQ(ReadBytes(strStore + "RZKOUT"), "%\r\nO0001\r\nM30\r\nO0002\r\nM30\r\n%");
        EXPECT_EQ(App().DeviceEventsEnabled, 1);
    }
}

// "Open with RZKSET" hands the files to the window's send: the readiness check, the tape check
// and the usual messages, as a drop on the send button.
TEST_F(OperationFrameTest, FilesOpenedFromTheFileManagerGoThroughTheSendsChecks) {
    CTestFolder pc;
    WriteBytes(pc / "c.nc", "o3\r\nG00X2\r\n");
    UseUnit({});
    CRZKSETDlg dialog;
    dialog.OnInitDialog();
    Ui().ClearRecord();
    dialog.SendFiles({pc / "c.nc"});
    EXPECT_EQ(Ui().Texts(), std::vector<std::string>{kNoMemoryOnUnit});
    EXPECT_FALSE(fs::exists(m_pUnit->PubFolder() + "RZKOUT"));

    UseUnit({"--seed"});
    const std::string strBefore = ReadBytes(m_pUnit->PubFolder() + "RZKOUT");
    for (bool bGoOn : {false, true}) {
        Ui().ClearRecord();
        Ui().AnswerQuestion(bGoOn);
        dialog.SendFiles({pc / "c.nc"});
        EXPECT_EQ(ReadBytes(m_pUnit->PubFolder() + "RZKOUT"),
                  bGoOn ? "o3\r\nG00X2\r\n" : strBefore);
        EXPECT_EQ(Ui().Boxes().size(), bGoOn ? 2U : 1U);
    }
    EXPECT_EQ(Ui().Texts().back(), "c.ncの登録が正常終了しました。");
    EXPECT_TRUE(Ui().FileDialogs().empty());
}

TEST_F(OperationFrameTest, TheDriveOperationsRunWithoutTheReadinessCheck) {
    UseStick(false);
    CRZKSETDlg dialog;
    dialog.OnInitDialog();
    Ui().AnswerQuestion(true);
    Press(dialog, 1015);
    EXPECT_TRUE(fs::is_regular_file(App().UsbDrive + "PVN_RZK70"));
    ExpectDialog<CDriveSelDlg>(Ui(), [](CDriveSelDlg& driveChoice) { driveChoice.OnOK(); });
    Press(dialog, 1021);
    EXPECT_EQ(Ui().Texts(),
              (std::vector<std::string>{"ＵＳＢメモリをRZK-70で利用できるようにします。\n"
                                        "よろしいですか？",
                                        "ＵＳＢメモリの準備ができました。"}));
}

}  // namespace
