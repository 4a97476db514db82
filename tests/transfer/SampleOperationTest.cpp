#include "transfer/SampleOperation.h"

#include <QLineEdit>
#include <QRadioButton>

#include "tests/fakes/ExpectDialog.h"
#include "tests/transfer/TransferFixture.h"
#include "transfer/SampleDlg.h"

namespace {

using BoxKind = CFakeUiServices::BoxKind;

const std::string kQuestion =
    "サンプルは単純送信用のデータとして作成されます。\n作成してもよろしいですか？";

class SampleTest : public TransferTest {};

TEST_P(SampleTest, DefaultSampleBecomesTheOutputFile) {
    for (bool bAddDot : {false, true}) {
        App().SetData.ADD_DOT = bAddDot;
        Ui().ClearRecord();
        Ui().AnswerQuestion(true);
        ExpectDialog<CSampleDlg>(Ui(), [](CSampleDlg& dialog) {
            EXPECT_EQ(dialog.windowTitle().toStdString(), "サンプルプログラム生成");
            EXPECT_TRUE(static_cast<QRadioButton*>(dialog.Item(1028))->isChecked());
            EXPECT_EQ(dialog.ProgramNumberEdit().text().toStdString(), "7000");
            EXPECT_EQ(dialog.CallNameEdit().text().toStdString(), "TEST");
            EXPECT_FALSE(dialog.CallNameEdit().isEnabled());
            EXPECT_EQ(dialog.CallNumberEdit().text().toStdString(), "1");
            EXPECT_TRUE(dialog.CallNumberEdit().isEnabled());
            dialog.OnOK();
        });
        RunSampleProgram(nullptr);

        EXPECT_EQ(InStore(bAddDot ? "RZKOUT.NC" : "RZKOUT"), "%\r\nO7000\r\nP1\r\n%");
        ASSERT_EQ(Ui().Boxes().size(), 2u);
        EXPECT_EQ(Ui().Boxes()[0].kind, BoxKind::Question);
        EXPECT_EQ(Ui().Boxes()[0].strText, kQuestion);
        EXPECT_TRUE(Ui().Boxes()[0].bDefaultNo);
        EXPECT_EQ(Ui().Boxes()[1].kind, BoxKind::Message);
        EXPECT_EQ(Ui().Boxes()[1].strText, "サンプルの登録が正常終了しました。");
        EXPECT_EQ(Ui().BusyShownCount(), 1);
        EXPECT_TRUE(ProgramFolderEntries().empty()) << "the staging copy stays";
    }
}

TEST_P(SampleTest, CallByNameAndSendCheckSamples) {
    Ui().AnswerQuestion(true);
    Ui().AnswerQuestion(true);
    ExpectDialog<CSampleDlg>(Ui(), [](CSampleDlg& dialog) {
        dialog.ClickKind(1);
        dialog.CallNameEdit().setText(QStringLiteral("PART-A"));
        dialog.OnOK();
    });
    ExpectDialog<CSampleDlg>(Ui(), [](CSampleDlg& dialog) {
        dialog.ClickKind(0);
        dialog.ProgramNumberEdit().setText(QStringLiteral("100"));
        dialog.OnOK();
    });
    RunSampleProgram(nullptr);
    EXPECT_EQ(InStore("RZKOUT"), "%\r\nO7000\r\n(PART-A)\r\n%");
    RunSampleProgram(nullptr);
    EXPECT_EQ(InStore("RZKOUT"), "%\r\nO100\r\nM30\r\n%");
}

TEST_P(SampleTest, AnsweringNoOrCancellingWritesNothing) {
    PutInStore("RZKOUT", "PREVIOUS");
    Ui().AnswerQuestion(false);
    Ui().AnswerQuestion(true);
    ExpectDialog<CSampleDlg>(Ui(), [](CSampleDlg& dialog) { dialog.reject(); });
    RunSampleProgram(nullptr);
    RunSampleProgram(nullptr);

    EXPECT_EQ(InStore("RZKOUT"), "PREVIOUS");
    EXPECT_EQ(Ui().Boxes().size(), 2u);
    EXPECT_EQ(Ui().BusyShownCount(), 0);
}

TEST_P(SampleTest, SampleThatCannotBeWrittenIsReported) {
    if (IsNetwork()) {
        App().ExeDir = m_pc / "missing/";
    } else {
        App().UsbDrive = m_usb / "removed/";
    }
    Ui().AnswerQuestion(true);
    ExpectDialog<CSampleDlg>(Ui(), [](CSampleDlg& dialog) { dialog.OnOK(); });
    RunSampleProgram(nullptr);

    ASSERT_EQ(Ui().Boxes().size(), 2u);
    EXPECT_EQ(Ui().Boxes()[1].kind, BoxKind::Warning);
    EXPECT_EQ(Ui().Boxes()[1].strText, "サンプルの作成に失敗しました。");
    EXPECT_EQ(Ui().BusyShownCount(), 0);
}

INSTANTIATE_FOR_BOTH_TRANSPORTS(SampleTest);

class RefusingUnitSampleTest : public SampleTest {};

TEST_P(RefusingUnitSampleTest, RefusedUploadKeepsThePreviousOutputFileAndDropsTheStagingCopy) {
    StartUnit({"--refuse", "STOR"});
    PutInStore("RZKOUT", "PREVIOUS");
    Ui().AnswerQuestion(true);
    ExpectDialog<CSampleDlg>(Ui(), [](CSampleDlg& dialog) { dialog.OnOK(); });
    RunSampleProgram(nullptr);

    EXPECT_EQ(InStore("RZKOUT"), "PREVIOUS");
    ASSERT_EQ(Ui().Boxes().size(), 2u);
    EXPECT_EQ(Ui().Boxes()[1].kind, BoxKind::Warning);
    EXPECT_EQ(Ui().Boxes()[1].strText, "サンプルの登録に失敗しました。");
    EXPECT_TRUE(ProgramFolderEntries().empty());
}

INSTANTIATE_TEST_SUITE_P(Store, RefusingUnitSampleTest, ::testing::Values(Transport::Network),
                         TransportName);

}  // namespace
