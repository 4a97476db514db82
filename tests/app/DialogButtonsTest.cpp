#include <gtest/gtest.h>
#include <QDialogButtonBox>
#include <QPushButton>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/AboutDlg.h"
#include "app/DriveSelDlg.h"
#include "app/RZKSETDlg.h"
#include "numlist/BikouDlg.h"
#include "numlist/FKanriDlg.h"
#include "numlist/FNoInDlg.h"
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
    App().UsbDrive = (m_exeDir / "usb").string() + "/";
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
        {"number input", [] { return std::make_unique<CFNoInDlg>(1); }, {"OK"}},
        {"remark input", [] { return std::make_unique<CBikouDlg>(""); }, {"OK"}},
        {"receive choice", [] { return std::make_unique<CSelInTypeDlg>(); }, {}},
        {"received files",
         [] { return std::make_unique<CMRetDlg>(std::vector<std::string>{"A"}); },
         {"OK"}},
        {"split folder", [] { return std::make_unique<COBunkaiDlg>(); }, {"OK"}},
        {"sample", [] { return std::make_unique<CSampleDlg>(); }, {"OK"}},
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

}  // namespace
