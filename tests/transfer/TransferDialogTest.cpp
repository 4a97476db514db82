#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "tests/fakes/AppFixture.h"
#include "transfer/SampleDlg.h"
#include "transfer/SelInTypeDlg.h"

namespace {

using BoxKind = CFakeUiServices::BoxKind;

class TransferDialogTest : public AppFixture {};

TEST_F(TransferDialogTest, EnterDoesNotCloseTheReceiveChoice) {
    CSelInTypeDlg dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle().toStdString(), "受信方法選択");
    QPushButton* pNormal = &dialog.Button(1032);
    QPushButton* pSplit = &dialog.Button(1033);
    ASSERT_NE(pNormal, nullptr);
    ASSERT_NE(pSplit, nullptr);
    EXPECT_EQ(pNormal->accessibleName().toStdString(), "通常");
    EXPECT_EQ(pSplit->accessibleName().toStdString(), "O番号別保存");
    for (QWidget* pTarget : std::initializer_list<QWidget*>{pNormal, pSplit, &dialog}) {
        for (int nKey : {Qt::Key_Return, Qt::Key_Enter}) {
            pTarget->setFocus();
            QKeyEvent press(QEvent::KeyPress, nKey, Qt::NoModifier);
            QApplication::sendEvent(pTarget, &press);
        }
    }
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.m_nSelect, CSelInTypeDlg::SELECT_NONE);
    pSplit->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_nSelect, CSelInTypeDlg::SELECT_SPLIT);
}

class SampleDlgTest : public AppFixture {
protected:
    // Opens the dialog, lets the edit change it, presses OK; true when it closed.
    bool TryOK(const std::function<void(CSampleDlg&)>& edit) {
        CSampleDlg dialog;
        dialog.OnInitDialog();
        dialog.show();
        edit(dialog);
        dialog.OnOK();
        m_nKind = dialog.m_nKind;
        m_nProgramNumber = dialog.m_nProgramNumber;
        return !dialog.isVisible() && dialog.result() == QDialog::Accepted;
    }
    std::vector<std::string> Warnings() const {
        std::vector<std::string> aTexts;
        for (const CFakeUiServices::Box& box : m_pUi->Boxes()) {
            EXPECT_EQ(box.kind, BoxKind::Warning);
            aTexts.push_back(box.strText);
        }
        return aTexts;
    }
    int m_nKind = -1;
    int m_nProgramNumber = -1;
};

TEST_F(SampleDlgTest, OptionsEnableOnlyTheFieldOfTheirKind) {
    CSampleDlg dialog;
    dialog.OnInitDialog();
    const bool aExpected[3][2] = {{false, false}, {true, false}, {false, true}};
    for (int nKind : {1, 0, 2}) {
        dialog.ClickKind(nKind);
        EXPECT_EQ(dialog.CallNameEdit().isEnabled(), aExpected[nKind][0]) << "kind " << nKind;
        EXPECT_EQ(dialog.CallNumberEdit().isEnabled(), aExpected[nKind][1]) << "kind " << nKind;
    }
}

TEST_F(SampleDlgTest, RangeRuleAtBothEndsOfTheRemoteRange) {
    struct Case {
        int nKind;
        const char* szNumber;
        const char* szWarning;  // nullptr when accepted
    };
    const Case aCases[] = {
        {2, "7000", nullptr},
        {2, "7009", nullptr},
        {1, "7009", nullptr},
        {2, "7010", "Ｏ番号がリモート指示範囲にありません。"},
        {1, "6999", "Ｏ番号がリモート指示範囲にありません。"},
        {0, "7000", "Ｏ番号がリモート指示範囲にあります。"},
        {0, "7009", "Ｏ番号がリモート指示範囲にあります。"},
        {0, "100", nullptr},
        {0, "7010", nullptr},
    };
    for (const Case& testCase : aCases) {
        Ui().ClearRecord();
        bool bClosed = TryOK([&](CSampleDlg& dialog) {
            dialog.ClickKind(testCase.nKind);
            dialog.ProgramNumberEdit().setText(QString::fromUtf8(testCase.szNumber));
        });
        std::string strCase = std::to_string(testCase.nKind) + " " + testCase.szNumber;
        EXPECT_EQ(bClosed, testCase.szWarning == nullptr) << strCase;
        EXPECT_EQ(Warnings(), testCase.szWarning ? std::vector<std::string>{testCase.szWarning}
                                                 : std::vector<std::string>{})
            << strCase;
        if (bClosed) {
            EXPECT_EQ(m_nKind, testCase.nKind);
            EXPECT_EQ(m_nProgramNumber, std::stoi(testCase.szNumber));
        }
    }
}

TEST_F(SampleDlgTest, FieldsThatFailTheirLimitsKeepTheDialogOpen) {
    struct Case {
        std::function<void(CSampleDlg&)> edit;
        const char* szWarning;
    };
    const Case aCases[] = {
        {[](CSampleDlg& dialog) { dialog.ProgramNumberEdit().clear(); }, "Enter an integer."},
        {[](CSampleDlg& dialog) { dialog.CallNumberEdit().setText(QStringLiteral("0")); },
         "Enter an integer between 1 and 9999."},
        {[](CSampleDlg& dialog) { dialog.CallNumberEdit().setText(QStringLiteral("10000")); },
         "Enter an integer between 1 and 9999."},
    };
    for (const Case& testCase : aCases) {
        Ui().ClearRecord();
        EXPECT_FALSE(TryOK(testCase.edit)) << testCase.szWarning;
        EXPECT_EQ(Warnings(), std::vector<std::string>{testCase.szWarning});
    }
}

TEST_F(SampleDlgTest, FileNameIsTypedInCapitalsAndLimitedTo200Bytes) {
    CSampleDlg dialog;
    dialog.OnInitDialog();
    dialog.ClickKind(1);
    dialog.CallNameEdit().clear();
    dialog.CallNameEdit().insert(QStringLiteral("part-ａ1"));
    EXPECT_EQ(dialog.CallNameEdit().text().toStdString(), "PART-Ａ1");
    dialog.CallNameEdit().clear();
    dialog.CallNameEdit().insert(QString(200, QLatin1Char('A')));
    dialog.CallNameEdit().insert(QStringLiteral("A"));
    EXPECT_EQ(dialog.CallNameEdit().text().size(), 200);
}

}  // namespace
