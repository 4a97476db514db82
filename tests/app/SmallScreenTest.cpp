#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>

#include <functional>
#include <memory>
#include <string>

#include "numlist/FKanriDlg.h"
#include "numlist/FSousaDlg.h"
#include "platform/ListView.h"
#include "settings/SetDlg.h"
#include "tests/fakes/AppFixture.h"

namespace {

// Runs on a screen of 800 x 600 logical pixels (1600 x 1200 at a scale factor of 2).
class SmallScreenTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        UseUsbFolder();
        m_room = QGuiApplication::primaryScreen()->availableGeometry().size();
    }
    QSize m_room;
};

std::string Name(const QWidget& control) {
    if (const auto* pButton = qobject_cast<const QAbstractButton*>(&control)) {
        return pButton->text().toStdString();
    }
    return control.metaObject()->className();
}

// The dialogs larger than the screen fit into it and scroll: each control the operator uses
// comes fully into the dialog's window when scrolled to, as the focus does.
TEST_F(SmallScreenTest, EveryControlOfADialogLargerThanTheScreenCanBeReached) {
    ASSERT_EQ(m_room, QSize(800, 600)) << "run with the small screen of the test's platform";
    const struct {
        const char* pszName;
        std::function<std::unique_ptr<CDialog>()> make;
    } aCases[] = {
        {"number registration", [] { return std::make_unique<CFKanriDlg>(); }},
        {"file operations", [] { return std::make_unique<CFSousaDlg>(); }},
    };
    for (const auto& testCase : aCases) {
        SCOPED_TRACE(testCase.pszName);
        std::unique_ptr<CDialog> pDialog = testCase.make();
        ASSERT_TRUE(pDialog->OnInitDialog());
        pDialog->show();
        EXPECT_LE(pDialog->width(), m_room.width());
        EXPECT_LE(pDialog->height(), m_room.height());
        EXPECT_NE(pDialog->minimumSize(), pDialog->maximumSize());
        auto* pScrollArea = pDialog->findChild<QScrollArea*>();
        ASSERT_NE(pScrollArea, nullptr);
        int nControls = 0;
        for (QWidget* pControl : pDialog->findChildren<QWidget*>()) {
            bool bOperated = qobject_cast<QAbstractButton*>(pControl) != nullptr ||
                             qobject_cast<QLineEdit*>(pControl) != nullptr ||
                             qobject_cast<CListView*>(pControl) != nullptr;
            if (!bOperated || !pControl->isVisibleTo(pDialog.get())) {
                continue;
            }
            ++nControls;
            pScrollArea->ensureWidgetVisible(pControl, 0, 0);
            QRect place(pControl->mapTo(pDialog.get(), QPoint(0, 0)), pControl->size());
            EXPECT_TRUE(pDialog->rect().contains(place)) << Name(*pControl);
        }
        EXPECT_GE(nControls, 10);
        pDialog->hide();
    }
}

// A dialog that fits keeps its fixed size and its controls where they were made.
TEST_F(SmallScreenTest, ADialogThatFitsIsLeftAsItIs) {
    CSetDlg settings;
    settings.OnInitDialog();
    QSize design = settings.size();
    QRect save = settings.Button(1).geometry();
    settings.show();
    EXPECT_EQ(settings.size(), design);
    EXPECT_EQ(settings.minimumSize(), settings.maximumSize());
    EXPECT_EQ(settings.findChild<QScrollArea*>(), nullptr);
    EXPECT_EQ(settings.Button(1).parentWidget(), &settings);
    EXPECT_EQ(settings.Button(1).geometry(), save);
    settings.hide();
}

}  // namespace
