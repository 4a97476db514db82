#include "platform/WaitDlg.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDialog>

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

}  // namespace
