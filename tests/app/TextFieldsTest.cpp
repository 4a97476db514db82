#include <gtest/gtest.h>
#include <QLineEdit>
#include <QPushButton>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "numlist/BikouDlg.h"
#include "numlist/FKanriDlg.h"
#include "numlist/FSousaDlg.h"
#include "settings/RzkNameDlg.h"
#include "settings/SetDlg.h"
#include "tests/fakes/AppFixture.h"
#include "transfer/OBunkaiDlg.h"
#include "transfer/SampleDlg.h"
#include "transfer/SampleProgram.h"

namespace {

class TextFieldsTest : public AppFixture {};

// Every one-line box whose text goes into a file refuses a control character when its dialog
// is taken, by OK or, in the list dialogs, by closing, and keeps the dialog open on it.
TEST_F(TextFieldsTest, NoBoxThatGoesIntoAFileTakesAControlCharacter) {
    UseUsbFolder();
    struct Case {
        const char* pszName;
        std::function<std::unique_ptr<CDialog>()> make;
        int nEditId;
        int nButtonId;
    };
    const Case aCases[] = {
        {"extension", [] { return std::make_unique<CSetDlg>(); }, 1024, 1},
        {"output name", [] { return std::make_unique<CSetDlg>(); }, 1027, 1},
        {"input name", [] { return std::make_unique<CSetDlg>(); }, 1028, 1},
        {"profile name", [] { return std::make_unique<CRzkNameDlg>(); }, 1012, 1},
        {"remark", [] { return std::make_unique<CBikouDlg>("A"); }, 1020, 1},
        {"split folder name", [] { return std::make_unique<COBunkaiDlg>(); }, 1035, 1},
        {"split extension", [] { return std::make_unique<COBunkaiDlg>(); }, 1036, 1},
        {"sample call name", [] { return std::make_unique<CSampleDlg>(); }, 1030, 1},
        {"number list title", [] { return std::make_unique<CFKanriDlg>(); }, 1028, 2},
        {"file list title", [] { return std::make_unique<CFSousaDlg>(); }, 1013, 2},
    };
    for (const Case& testCase : aCases) {
        for (const char* pszText : {"RZK\nOUT", "A\tB", "A\r", "\x7f"}) {
            SCOPED_TRACE(std::string(testCase.pszName) + " " + std::to_string(pszText[1]));
            Ui().ClearRecord();
            std::unique_ptr<CDialog> pDialog = testCase.make();
            ASSERT_TRUE(pDialog->OnInitDialog());
            if (auto* pSample = dynamic_cast<CSampleDlg*>(pDialog.get())) {
                pSample->ClickKind(SAMPLE_CALL_BY_NAME);
            }
            pDialog->show();
            QLineEdit& edit = pDialog->Edit(testCase.nEditId);
            edit.setText(QString::fromUtf8(pszText));
            pDialog->Button(testCase.nButtonId).click();
            EXPECT_EQ(Ui().Texts(),
                      std::vector<std::string>{"改行などの制御文字は使用できません。"});
            EXPECT_TRUE(pDialog->isVisible());
            EXPECT_EQ(pDialog->focusWidget(), &edit);
            pDialog->hide();
        }
    }
}

}  // namespace
