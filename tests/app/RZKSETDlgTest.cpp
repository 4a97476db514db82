#include "app/RZKSETDlg.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QLabel>

#include "app/RZKSETApp.h"
#include "tests/fakes/AppFixture.h"

namespace {

class RZKSETDlgTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        // A configured drive that is not mounted: the start-up search finds nothing to offer.
        App().UsbDrive = (m_exeDir / "usb").string() + "/";
        App().UsbDriveName = "RZK (/media/rzk)";
        App().SetFileName = "２号機";
    }
};

bool IsChecked(const CRZKSETDlg& dialog, int nId) {
    return static_cast<QAbstractButton*>(dialog.Item(nId))->isChecked();
}

TEST_F(RZKSETDlgTest, NetworkTransportEnablesPasvAndDisablesTheUsbOperations) {
    App().Sousa = 1;
    App().Pasv = 0;
    CRZKSETDlg dialog;
    dialog.OnInitDialog();
    EXPECT_TRUE(IsChecked(dialog, 1003));
    EXPECT_FALSE(IsChecked(dialog, 1002));
    EXPECT_TRUE(dialog.Item(1009)->isEnabled());
    EXPECT_FALSE(IsChecked(dialog, 1009));
    EXPECT_FALSE(dialog.Item(1013)->isEnabled());
    EXPECT_FALSE(dialog.Item(1015)->isEnabled());
    EXPECT_EQ(App().DeviceEventsEnabled, 1);
    EXPECT_EQ(static_cast<QLabel*>(dialog.Item(1024))->text(), QStringLiteral("２号機"));
    EXPECT_EQ(static_cast<QLabel*>(dialog.Item(1022))->text(), QStringLiteral("RZK (/media/rzk)"));
    EXPECT_EQ(static_cast<QLabel*>(dialog.Item(1024))->font().pointSize(), 20);
}

TEST_F(RZKSETDlgTest, ClickingTheTransportReachesTheWrittenProfileWithoutAnyOperation) {
    App().Sousa = 1;
    App().Pasv = 1;
    {
        CRZKSETDlg dialog;
        dialog.OnInitDialog();
        static_cast<QAbstractButton*>(dialog.Item(1002))->click();
        EXPECT_EQ(App().Sousa, 0);
        EXPECT_FALSE(dialog.Item(1009)->isEnabled());
        EXPECT_TRUE(dialog.Item(1015)->isEnabled());
        static_cast<QAbstractButton*>(dialog.Item(1003))->click();
        static_cast<QAbstractButton*>(dialog.Item(1009))->click();
        EXPECT_EQ(App().Pasv, 0);
        EXPECT_EQ(App().Sousa, 1);
        static_cast<QAbstractButton*>(dialog.Item(1002))->click();
        dialog.reject();
    }
    ASSERT_TRUE(App().WriteProfile());
    CRZKSETApp& app = App();
    app.Sousa = 9;
    app.Pasv = 9;
    Ui().ClearRecord();
    CSetData().SaveProfile(app.ProfileFilePath("２号機"));
    app.ReadProfile();
    EXPECT_EQ(app.Sousa, 0);
    EXPECT_EQ(app.Pasv, 0);
}

}  // namespace
