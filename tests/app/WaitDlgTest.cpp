#include "platform/WaitDlg.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDialog>
#include <QMouseEvent>
#include <QPushButton>

#include "platform/StopRequest.h"

namespace {

TEST(WaitDlg, DisablesItsOwnerWhileShownAndEnablesItAfterwards) {
    QDialog owner;
    owner.show();
    CWaitDlg busy;
    ASSERT_TRUE(busy.Create(&owner));
    EXPECT_FALSE(owner.isEnabled());
    EXPECT_TRUE(busy.isVisible());
    busy.DestroyWindow();
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_FALSE(busy.isVisible());
}

TEST(WaitDlg, AnOwnerDisabledBeforeStaysDisabled) {
    QDialog owner;
    owner.show();
    owner.setEnabled(false);
    CWaitDlg busy;
    ASSERT_TRUE(busy.Create(&owner));
    busy.DestroyWindow();
    EXPECT_FALSE(owner.isEnabled());
}

TEST(WaitDlg, WithoutParentTheOpenModalDialogIsTheOwner) {
    QDialog mainWindow;
    mainWindow.show();
    QDialog modal(&mainWindow);
    modal.setModal(true);
    modal.show();
    QApplication::processEvents();
    {
        CWaitIndicator busy;
        EXPECT_FALSE(modal.isEnabled());
        EXPECT_TRUE(mainWindow.isEnabled());
    }
    EXPECT_TRUE(modal.isEnabled());
}

CWaitDlg* ShownWaitDlg() {
    for (QWidget* pWindow : QApplication::topLevelWidgets()) {
        auto* pDialog = qobject_cast<CWaitDlg*>(pWindow);
        if (pDialog != nullptr && pDialog->isVisible()) {
            return pDialog;
        }
    }
    return nullptr;
}

void PostClick(QWidget& widget) {
    const QPointF center = QRectF(widget.rect()).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QCoreApplication::postEvent(
            &widget,
            new QMouseEvent(type, center, widget.mapToGlobal(center), Qt::LeftButton,
                            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                            Qt::NoModifier));
    }
}

// Over a modal dialog, the busy dialog of work that can be stopped takes the click on "中止"
// while the dialog behind stays disabled; the click reaches the work the next time it asks,
// and the request ends with the dialog.
TEST(WaitDlg, TheStopButtonIsTheOnlyLiveControlAndItsClickReachesTheWork) {
    QDialog mainWindow;
    mainWindow.show();
    QDialog modal(&mainWindow);
    modal.setModal(true);
    modal.show();
    QApplication::processEvents();
    {
        CWaitIndicator busy(true);
        CWaitDlg* pDialog = ShownWaitDlg();
        ASSERT_NE(pDialog, nullptr);
        ASSERT_NE(pDialog->StopButton(), nullptr);
        EXPECT_EQ(pDialog->StopButton()->text().toStdString(), "中止");
        EXPECT_FALSE(modal.isEnabled());
        EXPECT_EQ(QApplication::activeModalWidget(), pDialog) << "no dialog blocks the button";
        EXPECT_FALSE(CStopRequest::IsRequested());

        PostClick(*pDialog->StopButton());
        // The work asks until the click came through: at the latest 50 ms after it first asked.
        while (!CStopRequest::IsRequested()) {
        }
        EXPECT_FALSE(pDialog->StopButton()->isEnabled());
        EXPECT_FALSE(modal.isEnabled());
        busy.Close();
        EXPECT_FALSE(CStopRequest::IsRequested());
    }
    EXPECT_TRUE(modal.isEnabled());
}

TEST(WaitDlg, WorkThatCannotBeStoppedHasNoButtonAndIsNeverStopped) {
    CWaitIndicator busy;
    CWaitDlg* pDialog = ShownWaitDlg();
    ASSERT_NE(pDialog, nullptr);
    EXPECT_EQ(pDialog->StopButton(), nullptr);
    EXPECT_FALSE(CStopRequest::IsRequested());
}

}  // namespace
