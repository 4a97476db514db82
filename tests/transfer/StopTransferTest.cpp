#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "platform/Text.h"
#include "platform/WaitDlg.h"
#include "tests/fakes/ExpectDialog.h"
#include "tests/fakes/StopPress.h"
#include "tests/transfer/TransferFixture.h"
#include "transfer/OBunkaiDlg.h"
#include "transfer/ReceiveOperation.h"
#include "transfer/SelInTypeDlg.h"
#include "transfer/SendOperation.h"

namespace {

using BoxKind = CFakeUiServices::BoxKind;

// "中止" pressed at the busy dialog of a transfer: the transfer ends at its next step and
// leaves only whole files, on the unit, the memory and the PC.
class StopTransferTest : public TransferTest {
protected:
    void SetUp() override {
        TransferTest::SetUp();
        Ui().ShowRealBusy([](bool bCanStop) { return std::make_unique<CWaitIndicator>(bCanStop); });
    }

    // Everything in the store's root, temporary names too.
    std::set<std::string> StoreEntries() const {
        return FolderEntries(IsNetwork() ? m_pUnit->PubFolder() : m_usb.Path());
    }

    void ExpectOnlyMessage(const std::string& strText) {
        ASSERT_EQ(Ui().Boxes().size(), 1u);
        EXPECT_EQ(Ui().Boxes()[0].kind, BoxKind::Message);
        EXPECT_EQ(Ui().Boxes()[0].strText, strText);
        EXPECT_FALSE(Ui().IsBusyOpen());
    }
};

TEST_P(StopTransferTest, ASendStoppedHalfwayLeavesTheUnitsFileAsItWas) {
    std::string strProgram = "%\r\nO0001\r\n";
    while (strProgram.size() < 100 * 1024 * 1024) {
        strProgram += "G01 X1.0 Y2.0 Z-3.0 F500\r\n";
    }
    strProgram += "M30\r\n%\r\n";
    PutInStore("RZKOUT", "PREVIOUS");
    Ui().AnswerOpenFiles({PcFile("large.nc", strProgram)});
    CStopPress press([](const CProgress::State& state) {
        return state.nBytesTotal > 0 && state.nBytesDone * 2 >= state.nBytesTotal;
    });
    RunSimpleSend(nullptr);

    ASSERT_TRUE(press.Pressed());
    EXPECT_EQ(InStore("RZKOUT"), "PREVIOUS");
    EXPECT_EQ(StoreEntries(), std::set<std::string>{"RZKOUT"});
    EXPECT_TRUE(ProgramFolderEntries().empty());
    ExpectOnlyMessage("中止しました。");
}

// A receive stopped halfway leaves the PC file it was to replace as it was, and no part of
// the new one beside it.
TEST_P(StopTransferTest, AReceiveStoppedHalfwayLeavesThePcFileAsItWas) {
    PutInStore("RZKIN", std::string(20 * 1024 * 1024, 'G'));
    WriteBytes(m_pc / "saved.nc", "OLD");
    Ui().AnswerSaveFile(m_pc / "saved.nc");
    ExpectDialog<CSelInTypeDlg>(Ui(), [](CSelInTypeDlg& dialog) { dialog.OnNormal(); });
    // A download does not know its size before its end.
    CStopPress press(
        [](const CProgress::State& state) { return state.nBytesDone >= 10 * 1024 * 1024; });
    RunSimpleReceive(nullptr);

    ASSERT_TRUE(press.Pressed());
    EXPECT_EQ(FolderEntries(m_pc.Path()), std::set<std::string>{"saved.nc"});
    EXPECT_EQ(ReadBytes(m_pc / "saved.nc"), "OLD");
    ExpectOnlyMessage("中止しました。");
}

// Stopped while the second of three files is merged: no tape reaches the unit, and none is
// left in the program folder.
TEST_P(StopTransferTest, AMergeStoppedPartWaySendsNothing) {
    PutInStore("RZKOUT", "PREVIOUS");
    Ui().AnswerOpenFiles({PcFile("a.nc", "%\r\nO0001\r\nM30\r\n%"),
                          PcFile("b.nc", "%\r\nO0002\r\nM30\r\n%"),
                          PcFile("c.nc", "%\r\nO0003\r\nM30\r\n%")});
    CStopPress press([](const CProgress::State& state) { return state.strFileName == "b.nc"; });
    RunSimpleSend(nullptr);

    ASSERT_TRUE(press.Pressed());
    EXPECT_EQ(InStore("RZKOUT"), "PREVIOUS");
    EXPECT_EQ(StoreEntries(), std::set<std::string>{"RZKOUT"});
    EXPECT_TRUE(ProgramFolderEntries().empty());
    ExpectOnlyMessage("中止しました。");
}

// The split stops while writing its 101st program: the hundred files before it are whole and
// are all the folder holds.
TEST_P(StopTransferTest, ASplitStoppedHalfwayKeepsTheWholeProgramFilesOnly) {
    constexpr int kPrograms = 200;
    std::string strBody;
    while (strBody.size() < 100 * 1024) {
        strBody += "G01 X1.0 Y2.0 Z-3.0 F500\r\n";
    }
    strBody += "M30\r\n";
    std::string strTape = "%\r\n";
    for (int nProgram = 1; nProgram <= kPrograms; ++nProgram) {
        strTape += Format("O%04d\r\n", nProgram) + strBody;
    }
    PutInStore("RZKIN", strTape + "%\r\n");
    ExpectDialog<CSelInTypeDlg>(Ui(), [](CSelInTypeDlg& dialog) { dialog.OnSplit(); });
    ExpectDialog<COBunkaiDlg>(Ui(), [this](COBunkaiDlg& dialog) {
        Ui().AnswerBrowseFolder(m_pc.Path().substr(0, m_pc.Path().size() - 1));
        dialog.OnBrowse();
        dialog.FolderNameEdit().setText(QStringLiteral("IN"));
        dialog.OnOK();
    });
    CStopPress press([](const CProgress::State& state) { return state.strFileName == "O0101.NC"; });
    RunSimpleReceive(nullptr);

    ASSERT_TRUE(press.Pressed());
    std::set<std::string> aExpected;
    for (int nProgram = 1; nProgram <= kPrograms / 2; ++nProgram) {
        aExpected.insert(Format("O%04d.NC", nProgram));
    }
    EXPECT_EQ(FolderEntries(m_pc / "IN"), aExpected);
    EXPECT_EQ(ReadBytes(m_pc / "IN/O0100.NC"), "%\r\nO0100\r\n" + strBody + "%");
    EXPECT_TRUE(ProgramFolderEntries().empty());
    ExpectOnlyMessage("中止しました。\n100ファイルを書き込みました。");
}

INSTANTIATE_FOR_BOTH_TRANSPORTS(StopTransferTest);

class SilentUnitStopTest : public StopTransferTest {};

// A unit that never answers the upload is left with Esc: the key waits in the window queue
// until the send lets the busy dialog see it, long before the unit's time-out.
TEST_P(SilentUnitStopTest, WaitingForASilentUnitEndsWithEscape) {
    StartUnit({"--stall", "STOR"});
    PutInStore("RZKOUT", "PREVIOUS");
    Ui().AnswerOpenFiles({PcFile("a.nc", "%\r\nO0001\r\nM30\r\n%\r\n")});
    bool bPosted = false;
    CProgress escape([&bPosted](const CProgress::State&) {
        for (QWidget* pWindow : QApplication::topLevelWidgets()) {
            auto* pDialog = qobject_cast<CWaitDlg*>(pWindow);
            if (!bPosted && pDialog != nullptr && pDialog->isVisible() &&
                pDialog->StopButton() != nullptr) {
                QCoreApplication::postEvent(
                    pDialog, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
                bPosted = true;
            }
        }
    });
    RunSimpleSend(nullptr);

    ASSERT_TRUE(bPosted);
    EXPECT_EQ(InStore("RZKOUT"), "PREVIOUS");
    EXPECT_EQ(StoreEntries(), std::set<std::string>{"RZKOUT"});
    ExpectOnlyMessage("中止しました。");
}

INSTANTIATE_TEST_SUITE_P(Store, SilentUnitStopTest, ::testing::Values(Transport::Network),
                         TransportName);

}  // namespace
