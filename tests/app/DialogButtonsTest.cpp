#include <gtest/gtest.h>
#include <QApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/AboutDlg.h"
#include "app/DriveSelDlg.h"
#include "app/RZKSETDlg.h"
#include "fleet/FleetDlg.h"
#include "journal/HistoryCompareDlg.h"
#include "journal/JournalDlg.h"
#include "maint/HosyuDlg.h"
#include "numlist/BikouDlg.h"
#include "numlist/FKanri2Dlg.h"
#include "numlist/FKanriDlg.h"
#include "numlist/FNoInDlg.h"
#include "numlist/FSousaDlg.h"
#include "settings/RzkNameDlg.h"
#include "settings/SelRzkDlg.h"
#include "settings/SetDlg.h"
#include "tests/fakes/AppFixture.h"
#include "transfer/MRetDlg.h"
#include "transfer/OBunkaiDlg.h"
#include "transfer/SampleDlg.h"
#include "transfer/SelInTypeDlg.h"

namespace {

class DialogButtonsTest : public AppFixture {};

std::string Caption(const QPushButton& button) {
    return (button.text().isEmpty() ? button.accessibleName() : button.text()).toStdString();
}

// Shown as the operator sees them, no dialog has a default button its description does not
// name: Qt would otherwise give Enter to the first button made.
TEST_F(DialogButtonsTest, OnlyTheNamedButtonIsTheDefault) {
    UseUsbFolder();
    // The received files' dialog shows the caller's names, which must outlive it.
    const std::vector<std::string> aNames = {"A"};
    struct Case {
        const char* pszName;
        std::function<std::unique_ptr<CDialog>()> make;
        std::vector<std::string> aDefaults;
    };
    const Case aCases[] = {
        {"main window", [] { return std::make_unique<CRZKSETDlg>(); }, {}},
        {"about", [] { return std::make_unique<CAboutDlg>(); }, {"OK"}},
        {"drive selection",
         [this] { return std::make_unique<CDriveSelDlg>(App().Drives); },
         {"OK"}},
        {"number registration", [] { return std::make_unique<CFKanriDlg>(); }, {}},
        {"number import", [] { return std::make_unique<CFKanri2Dlg>(); }, {}},
        {"maintenance", [] { return std::make_unique<CHosyuDlg>(); }, {}},
        {"file operations", [] { return std::make_unique<CFSousaDlg>(); }, {}},
        {"number input", [] { return std::make_unique<CFNoInDlg>(1); }, {"OK"}},
        {"remark input", [] { return std::make_unique<CBikouDlg>(""); }, {"OK"}},
        {"receive choice", [] { return std::make_unique<CSelInTypeDlg>(); }, {}},
        {"received files", [&aNames] { return std::make_unique<CMRetDlg>(aNames); }, {"OK"}},
        {"split folder", [] { return std::make_unique<COBunkaiDlg>(); }, {"OK"}},
        {"sample", [] { return std::make_unique<CSampleDlg>(); }, {"OK"}},
        {"settings", [] { return std::make_unique<CSetDlg>(); }, {"保存"}},
        {"profile selection", [] { return std::make_unique<CSelRzkDlg>(); }, {"OK"}},
        {"profile name", [] { return std::make_unique<CRzkNameDlg>(); }, {"OK"}},
        {"fleet view", [] { return std::make_unique<CFleetDlg>([](int) {}); }, {}},
        {"journal",
         [this] {
             App().OpenShopMemory();
             return std::make_unique<CJournalDlg>();
         },
         {}},
        {"history comparison",
         [] { return std::make_unique<CHistoryCompareDlg>("a", "b", ""); },
         {}},
    };
    for (const Case& testCase : aCases) {
        SCOPED_TRACE(testCase.pszName);
        std::unique_ptr<CDialog> pDialog = testCase.make();
        pDialog->OnInitDialog();
        pDialog->show();
        std::vector<std::string> aDefaults;
        for (const QPushButton* pButton : pDialog->findChildren<QPushButton*>()) {
            if (pButton->isDefault()) {
                aDefaults.push_back(Caption(*pButton));
            }
            bool bInButtonBox = qobject_cast<QDialogButtonBox*>(pButton->parentWidget()) != nullptr;
            EXPECT_TRUE(bInButtonBox || !pButton->autoDefault()) << Caption(*pButton);
        }
        EXPECT_EQ(aDefaults, testCase.aDefaults);
        pDialog->hide();
    }
}

// The one run of each dialog's real exec(): Enter, sent where the keyboard focus is, closes
// the dialog the way its description says, or leaves it open; Esc then closes the rest.
TEST_F(DialogButtonsTest, EnterAndEscapeInTheRealModalRun) {
    UseUsbFolder();
    struct Case {
        const char* pszName;
        std::function<std::unique_ptr<CDialog>()> make;
        bool bEnterCloses;
        int nResult;
    };
    const std::vector<std::string> aNames = {"A"};
    const Case aCases[] = {
        {"main window", [] { return std::make_unique<CRZKSETDlg>(); }, false, QDialog::Rejected},
        {"about", [] { return std::make_unique<CAboutDlg>(); }, true, QDialog::Accepted},
        {"drive selection", [this] { return std::make_unique<CDriveSelDlg>(App().Drives); }, true,
         QDialog::Accepted},
        // Closing the list dialog writes back and ends it as OK does, by any key.
        {"number registration", [] { return std::make_unique<CFKanriDlg>(); }, true,
         QDialog::Accepted},
        {"number import", [] { return std::make_unique<CFKanri2Dlg>(); }, true, QDialog::Accepted},
        {"maintenance", [] { return std::make_unique<CHosyuDlg>(); }, true, QDialog::Accepted},
        {"file operations", [] { return std::make_unique<CFSousaDlg>(); }, true, QDialog::Accepted},
        {"number input", [] { return std::make_unique<CFNoInDlg>(1); }, true, QDialog::Accepted},
        {"remark input", [] { return std::make_unique<CBikouDlg>(""); }, true, QDialog::Accepted},
        {"receive choice", [] { return std::make_unique<CSelInTypeDlg>(); }, false,
         QDialog::Rejected},
        {"received files", [&aNames] { return std::make_unique<CMRetDlg>(aNames); }, true,
         QDialog::Accepted},
        {"split folder", [] { return std::make_unique<COBunkaiDlg>(); }, true, QDialog::Accepted},
        {"sample", [] { return std::make_unique<CSampleDlg>(); }, true, QDialog::Accepted},
        {"settings", [] { return std::make_unique<CSetDlg>(); }, true, QDialog::Accepted},
        // OK takes a selected profile; without a profile nothing is selected.
        {"profile selection", [] { return std::make_unique<CSelRzkDlg>(); }, false,
         QDialog::Rejected},
        {"profile name", [] { return std::make_unique<CRzkNameDlg>(); }, true, QDialog::Accepted},
        // The view names no default button: Enter runs none of its commands.
        {"fleet view", [] { return std::make_unique<CFleetDlg>([](int) {}); }, false,
         QDialog::Rejected},
        // The window's Enter belongs to its filter fields and list.
        {"journal",
         [this] {
             App().OpenShopMemory();
             return std::make_unique<CJournalDlg>();
         },
         false, QDialog::Rejected},
        {"history comparison", [] { return std::make_unique<CHistoryCompareDlg>("a", "b", ""); },
         false, QDialog::Rejected},
    };
    for (const Case& testCase : aCases) {
        SCOPED_TRACE(testCase.pszName);
        std::unique_ptr<CDialog> pDialog = testCase.make();
        bool bClosedByEnter = false;
        QTimer keys;
        QObject::connect(&keys, &QTimer::timeout, [&] {
            if (QApplication::activeModalWidget() != pDialog.get() || !pDialog->isVisible()) {
                return;
            }
            keys.stop();
            QWidget* pFocus = pDialog->focusWidget() ? pDialog->focusWidget() : pDialog.get();
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(pFocus, &enter);
            bClosedByEnter = !pDialog->isVisible();
            if (!bClosedByEnter) {
                QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(pDialog.get(), &escape);
            }
        });
        keys.start(5);
        EXPECT_EQ(pDialog->exec(), testCase.nResult);
        EXPECT_EQ(bClosedByEnter, testCase.bEnterCloses);
    }
    EXPECT_TRUE(Ui().Texts().empty()) << Ui().Texts().front();
}

}  // namespace
