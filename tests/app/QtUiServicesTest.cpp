#include "platform/QtUiServices.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QKeyEvent>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/WaitDlg.h"
#include "tests/fakes/TestServers.h"
#include "tests/fakes/WhenOpen.h"

namespace {

std::vector<std::string> ButtonTexts(const QWidget& dialog) {
    std::vector<std::string> aTexts;
    for (const QAbstractButton* pButton : dialog.findChildren<QAbstractButton*>()) {
        if (pButton->isVisible() && !pButton->text().isEmpty()) {
            aTexts.push_back(pButton->text().remove(QLatin1Char('&')).toStdString());
        }
    }
    std::sort(aTexts.begin(), aTexts.end());
    return aTexts;
}

// Whether a text starts with the word; Japanese buttons carry their mnemonic after it, "開く(O)".
bool Contains(const std::vector<std::string>& aTexts, const std::string& strWord) {
    return std::any_of(aTexts.begin(), aTexts.end(),
                       [&](const std::string& strText) { return strText.starts_with(strWord); });
}

// The names the file dialog lists once its folder has been read.
std::vector<std::string> ListedNames(QFileDialog& dialog) {
    auto* pView = dialog.findChild<QListView*>(QStringLiteral("listView"));
    std::vector<std::string> aNames;
    QElapsedTimer clock;
    clock.start();
    while (pView != nullptr && clock.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        QAbstractItemModel* pModel = pView->model();
        aNames.clear();
        for (int nRow = 0; nRow < pModel->rowCount(pView->rootIndex()); ++nRow) {
            aNames.push_back(
                pModel->index(nRow, 0, pView->rootIndex()).data().toString().toStdString());
        }
        if (!aNames.empty()) {
            break;
        }
    }
    std::sort(aNames.begin(), aNames.end());
    return aNames;
}

// Where screenshots of the framework dialogs go, for a person to look at.
std::string ScreenshotPath(const std::string& strName) {
    return std::string(RZKSET_BINARY_DIR) + "/screenshots/" + strName + ".png";
}

TEST(QtUiServices, TheFileDialogSpeaksJapaneseAndShowsTheProgramsTypeLabels) {
    CTestFolder folder;
    for (const char* pszName : {"a.nc", "b.NC", "c.txt", "RZKIN"}) {
        WriteBytes(folder / pszName, "%\r\n");
    }
    FileDialogOptions options;
    options.strFilter = "NC Files (*.NC)|*.NC|すべてのﾌｧｲﾙ (*.*)|*.*||";
    options.strInitialFolder = folder.Path();
    std::vector<std::string> aLabels;
    std::vector<std::string> aButtons;
    std::vector<std::string> aNcFiles;
    std::vector<std::string> aAllFiles;
    WhenOpen<QFileDialog>([&](QFileDialog& dialog) {
        auto* pTypes = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        for (int nIndex = 0; pTypes != nullptr && nIndex < pTypes->count(); ++nIndex) {
            aLabels.push_back(pTypes->itemText(nIndex).toStdString());
        }
        aButtons = ButtonTexts(dialog);
        aNcFiles = ListedNames(dialog);
        QDir().mkpath(QString::fromStdString(ScreenshotPath("")));
        dialog.grab().save(QString::fromStdString(ScreenshotPath("file_dialog")));
        if (pTypes != nullptr) {
            pTypes->setCurrentIndex(1);
            pTypes->activated(1);
        }
        aAllFiles = ListedNames(dialog);
        dialog.reject();
    });
    CQtUiServices ui;
    EXPECT_TRUE(ui.OpenFiles(options).empty());
    EXPECT_EQ(aLabels, (std::vector<std::string>{"NC Files (*.NC)", "すべてのﾌｧｲﾙ (*.*)"}));
    EXPECT_TRUE(Contains(aButtons, "開く")) << testing::PrintToString(aButtons);
    EXPECT_TRUE(Contains(aButtons, "キャンセル")) << testing::PrintToString(aButtons);
    EXPECT_EQ(aNcFiles, (std::vector<std::string>{"a.nc", "b.NC"}));
    EXPECT_EQ(aAllFiles, (std::vector<std::string>{"RZKIN", "a.nc", "b.NC", "c.txt"}));
}

TEST(QtUiServices, TheQuestionBoxSpeaksJapaneseWithNoAsDefaultWhereAsked) {
    std::vector<std::string> aButtons;
    std::string strDefault;
    WhenOpen<QMessageBox>([&](QMessageBox& box) {
        aButtons = ButtonTexts(box);
        strDefault = box.defaultButton()->text().remove(QLatin1Char('&')).toStdString();
        box.grab().save(QString::fromStdString(ScreenshotPath("question_box")));
        box.button(QMessageBox::No)->click();
    });
    CQtUiServices ui;
    EXPECT_FALSE(ui.QuestionBox("よろしいですか？", true, false));
    EXPECT_EQ(aButtons, (std::vector<std::string>{"いいえ(N)", "はい(Y)"}));
    EXPECT_EQ(strDefault, "いいえ(N)");
}

// A question in the middle of work: the busy dialog and the disabled owner step aside while
// the box is up, and come back when it is answered.
TEST(QtUiServices, AQuestionDuringWorkIsNotHiddenBehindTheBusyDialog) {
    QWidget owner;
    owner.show();
    QApplication::setActiveWindow(&owner);
    CQtUiServices ui;
    std::unique_ptr<CBusyIndicator> pBusy = ui.ShowBusy();
    auto busyShown = [] {
        for (QWidget* pWindow : QApplication::topLevelWidgets()) {
            if (qobject_cast<CWaitDlg*>(pWindow) != nullptr && pWindow->isVisible()) {
                return true;
            }
        }
        return false;
    };
    ASSERT_TRUE(busyShown());
    bool bBusyWhileAsked = true;
    bool bOwnerEnabledWhileAsked = false;
    WhenOpen<QMessageBox>([&](QMessageBox& box) {
        bBusyWhileAsked = busyShown();
        bOwnerEnabledWhileAsked = owner.isEnabled();
        box.button(QMessageBox::Yes)->click();
    });
    EXPECT_TRUE(ui.QuestionDuringWork("続けますか？", true));
    EXPECT_FALSE(bBusyWhileAsked);
    EXPECT_TRUE(bOwnerEnabledWhileAsked);
    EXPECT_TRUE(busyShown());
    EXPECT_FALSE(owner.isEnabled());
    pBusy->Close();
    EXPECT_TRUE(owner.isEnabled());
}

// The tape check's question: warning icon, No as default (Enter sends nothing), the findings
// behind a Japanese details button.
TEST(QtUiServices, TheWarningQuestionShowsItsDetailsOnRequest) {
    std::vector<std::string> aButtons;
    std::string strDefault;
    std::string strDetails;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenOpen<QMessageBox>([&](QMessageBox& box) {
        aButtons = ButtonTexts(box);
        strDefault = box.defaultButton()->text().remove(QLatin1Char('&')).toStdString();
        strDetails = box.detailedText().toStdString();
        icon = box.icon();
        box.grab().save(QString::fromStdString(ScreenshotPath("warning_question")));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(&box, &enter);
    });
    CQtUiServices ui;
    EXPECT_FALSE(ui.WarningQuestionBox("テープの確認で1件の注意があります（小文字 1件）。",
                                       "a.nc 3行目: 小文字「g00」\n"));
    EXPECT_TRUE(Contains(aButtons, "詳細")) << testing::PrintToString(aButtons);
    EXPECT_EQ(strDefault, "いいえ(N)");
    EXPECT_EQ(strDetails, "a.nc 3行目: 小文字「g00」\n");
    EXPECT_EQ(icon, QMessageBox::Warning);
}

}  // namespace
