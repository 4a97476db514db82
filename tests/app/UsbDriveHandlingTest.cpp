#include <gtest/gtest.h>

#include <QComboBox>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/DriveSelDlg.h"
#include "app/RZKSETApp.h"
#include "app/UsbDriveHandling.h"
#include "tests/fakes/DriveFixture.h"
#include "tests/fakes/ExpectDialog.h"
#include "tests/fakes/FakeUiServices.h"

namespace fs = std::filesystem;

namespace {

struct Drive {
    std::string strRoot;
    std::string strName;  // display name
};

// What the drive selection dialog showed when it opened.
struct DialogView {
    int nSelect = -2;
    int nShownIndex = -2;
    std::vector<std::string> aNames;
};

class UsbDriveHandlingTest : public testing::Test {
protected:
    void SetUp() override {
        m_pPreviousApp = SetCurrentApp(&app);
        auto pUi = std::make_unique<CFakeUiServices>();
        m_pUi = pUi.get();
        app.SetUi(std::move(pUi));
        app.UsbDrive = "/";
        app.UsbDriveName = "/";
        app.DeviceEventsEnabled = 1;
        // A fixed system disk comes first in every listing.
        fixture.AddDisk("sda", CDriveFixture::Port::Sata, false, 8, 0);
        fixture.Mount(fixture.AddPartition("sda", 1), fixture.MakeMountPoint("A_SYSTEM"), "vfat",
                      fixture.MakeFatImage("sda1", 16, "SYSTEM"));
    }

    void TearDown() override {
        SetCurrentApp(m_pPreviousApp);
        // The fake checks its script when it goes.
        app.SetUi(nullptr);
    }

    // A USB memory mounted under media/ with its label as the folder's name; FAT16 unless
    // another mount type is given. Prepared ones hold the marker file.
    Drive AddStick(const std::string& strLabel, bool bPrepared,
                   const std::string& strType = "vfat") {
        std::string strDisk = "sd" + std::string(1, static_cast<char>('b' + m_nSticks));
        unsigned nMinor = 16 * static_cast<unsigned>(++m_nSticks);
        fixture.AddDisk(strDisk, CDriveFixture::Port::Usb, true, 8, nMinor);
        std::string strMountPoint = fixture.MakeMountPoint(strLabel);
        std::string strSource = strType == "vfat" ? fixture.MakeFatImage(strDisk, 16, strLabel)
                                                  : fixture.Folder() + "/images/missing-" + strDisk;
        fixture.Mount(fixture.AddPartition(strDisk, 1), strMountPoint, strType, strSource);
        if (bPrepared) {
            std::ofstream(strMountPoint + "/PVN_RZK70");
        }
        app.Drives = fixture.Table();
        return {strMountPoint + "/", strLabel + " (" + strMountPoint + ")"};
    }

    void Configure(const Drive& drive) {
        app.UsbDrive = drive.strRoot;
        app.UsbDriveName = drive.strName;
    }

    // Runs the drive selection of button "変更"; the dialog, once open, is looked at and
    // closed with OK or Cancel.
    bool ChooseWithDialog(bool bOk, DialogView& view) {
        ExpectDialog<CDriveSelDlg>(*m_pUi, [&view, bOk](CDriveSelDlg& dialog) {
            view.nSelect = dialog.m_nSelect;
            view.nShownIndex = dialog.m_pDriveList->currentIndex();
            for (const DriveInfo& info : dialog.m_aDrive) {
                view.aNames.push_back(info.strDispName);
            }
            bOk ? dialog.OnOK() : dialog.OnCancel();
        });
        return ChooseUsbDrive(app, nullptr);
    }

    std::vector<CFakeUiServices::Box> Boxes() const { return m_pUi->Boxes(); }

    CRZKSETApp app;
    CRZKSETApp* m_pPreviousApp = nullptr;
    CFakeUiServices* m_pUi = nullptr;
    CDriveFixture fixture;
    int m_nSticks = 0;
};

TEST_F(UsbDriveHandlingTest, StartUpOffersTheFirstPreparedUsableDrive) {
    AddStick("B_NTFS", true, "ntfs3");
    AddStick("C_PLAIN", false);
    Drive e = AddStick("E_STICK", true);
    Drive f = AddStick("F_STICK", true);
    Configure(f);
    std::string strQuestion = "USBメモリのドライブ名を " + e.strRoot + " に変更しますか？";

    m_pUi->AnswerQuestion(false);
    SearchUsbDriveAtStartup(app);
    EXPECT_EQ(app.UsbDrive, f.strRoot);
    EXPECT_EQ(app.UsbDriveName, f.strName);

    m_pUi->AnswerQuestion(true);
    SearchUsbDriveAtStartup(app);
    EXPECT_EQ(app.UsbDrive, e.strRoot);
    EXPECT_EQ(app.UsbDriveName, e.strName);

    ASSERT_EQ(Boxes().size(), 2u);
    for (const CFakeUiServices::Box& box : Boxes()) {
        EXPECT_EQ(box.kind, CFakeUiServices::BoxKind::Question);
        EXPECT_EQ(box.strText, strQuestion);
        EXPECT_TRUE(box.bInformationIcon);
        EXPECT_FALSE(box.bDefaultNo);
    }
}

TEST_F(UsbDriveHandlingTest, StartUpAsksOnlyWhenRootOrNameDiffer) {
    Drive e = AddStick("E_STICK", true);
    AddStick("F_STICK", true);
    Configure(e);
    SearchUsbDriveAtStartup(app);
    EXPECT_TRUE(Boxes().empty());

    // Same root, another name (the stick was relabelled): asked again.
    app.UsbDriveName = "OLD (" + e.strRoot + ")";
    m_pUi->AnswerQuestion(true);
    SearchUsbDriveAtStartup(app);
    EXPECT_EQ(app.UsbDriveName, e.strName);
    EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(UsbDriveHandlingTest, ArrivalOffersOnlyAPreparedUsableDriveOtherThanTheConfiguredOne) {
    Drive configured = AddStick("C_STICK", true);
    Drive plain = AddStick("D_PLAIN", false);
    Drive ntfs = AddStick("N_NTFS", true, "ntfs3");
    Drive e = AddStick("E_STICK", true);
    Configure(configured);

    // During an operation arrivals are dropped, and they are not remembered for later.
    app.DeviceEventsEnabled = 0;
    EXPECT_FALSE(OnVolumeArrival(app, e.strRoot));
    app.DeviceEventsEnabled = 1;
    for (const Drive& drive : {configured, plain, ntfs}) {
        EXPECT_FALSE(OnVolumeArrival(app, drive.strRoot)) << drive.strRoot;
    }
    EXPECT_FALSE(OnVolumeArrival(app, fixture.Folder() + "/media/unknown/"));
    EXPECT_TRUE(Boxes().empty());

    std::string strQuestion =
        "ドライブ：" + e.strRoot + " が追加されました。ドライブを切り替えますか？";
    m_pUi->AnswerQuestion(false);
    EXPECT_FALSE(OnVolumeArrival(app, e.strRoot));
    EXPECT_EQ(app.UsbDrive, configured.strRoot);

    m_pUi->AnswerQuestion(true);
    EXPECT_TRUE(OnVolumeArrival(app, e.strRoot));
    EXPECT_EQ(app.UsbDrive, e.strRoot);
    EXPECT_EQ(app.UsbDriveName, e.strName);
    ASSERT_EQ(Boxes().size(), 3u);
    EXPECT_EQ(Boxes()[0].strText, strQuestion);
    EXPECT_FALSE(Boxes()[0].bInformationIcon);
    EXPECT_EQ(Boxes()[1].strText, strQuestion);
    EXPECT_EQ(Boxes()[2].kind, CFakeUiServices::BoxKind::Information);
    EXPECT_EQ(Boxes()[2].strText, "USBメモリのドライブ名を " + e.strRoot + " に変更します。");
}

TEST_F(UsbDriveHandlingTest, ArrivalSeesAVolumeMountedAfterTheTableWasRead) {
    app.Drives = fixture.Table();
    fixture.AddDisk("sdz", CDriveFixture::Port::Usb, true, 65, 144);
    std::string strMountPoint = fixture.MakeMountPoint("LATE");
    fixture.Mount(fixture.AddPartition("sdz", 1), strMountPoint, "vfat",
                  fixture.MakeFatImage("sdz1", 32, "LATE"));
    std::ofstream(strMountPoint + "/PVN_RZK70");

    m_pUi->AnswerQuestion(true);
    EXPECT_TRUE(OnVolumeArrival(app, strMountPoint + "/"));
    EXPECT_EQ(app.UsbDriveName, "LATE (" + strMountPoint + ")");
}

TEST_F(UsbDriveHandlingTest, SelectionWithoutUsableDriveOnlyWarns) {
    AddStick("N_NTFS", true, "ntfs3");
    EXPECT_FALSE(ChooseUsbDrive(app, nullptr));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].kind, CFakeUiServices::BoxKind::Warning);
    EXPECT_EQ(Boxes()[0].strText, "USBメモリが実装されていません。");
    EXPECT_EQ(app.UsbDrive, "/");
}

TEST_F(UsbDriveHandlingTest, SelectionPreselectsTheOnlyUsableDrive) {
    AddStick("N_NTFS", true, "ntfs3");
    Drive plain = AddStick("P_PLAIN", false);
    DialogView view;
    EXPECT_TRUE(ChooseWithDialog(true, view));
    EXPECT_EQ(view.nSelect, 0);
    EXPECT_EQ(view.nShownIndex, 0);
    EXPECT_EQ(view.aNames, std::vector<std::string>{plain.strName});
    EXPECT_EQ(app.UsbDrive, plain.strRoot);
    EXPECT_EQ(app.UsbDriveName, plain.strName);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(UsbDriveHandlingTest, SelectionOfSeveralDrivesPreselectsOnlyTheConfiguredOne) {
    Drive d = AddStick("D_STICK", false);
    Drive e = AddStick("E_STICK", true);

    DialogView none;
    EXPECT_FALSE(ChooseWithDialog(true, none));
    EXPECT_EQ(none.nSelect, -1);
    EXPECT_EQ(none.nShownIndex, -1);
    EXPECT_EQ(none.aNames, (std::vector<std::string>{d.strName, e.strName}));
    EXPECT_EQ(app.UsbDrive, "/");
    EXPECT_EQ(app.UsbDriveName, "/");

    Configure(e);
    DialogView configured;
    EXPECT_FALSE(ChooseWithDialog(false, configured));
    EXPECT_EQ(configured.nSelect, 1);
    EXPECT_EQ(configured.nShownIndex, 1);
    EXPECT_EQ(app.UsbDrive, e.strRoot);
}

TEST_F(UsbDriveHandlingTest, PreparationWritesAnEmptyMarkerAfterAsking) {
    Drive stick = AddStick("S_STICK", false);
    Configure(stick);
    std::string strMarker = stick.strRoot + "PVN_RZK70";
    std::string strQuestion = "ＵＳＢメモリをRZK-70で利用できるようにします。\nよろしいですか？";

    m_pUi->AnswerQuestion(false);
    PrepareUsbMemory(app);
    EXPECT_FALSE(fs::exists(strMarker));

    // An existing marker is emptied.
    std::ofstream(strMarker) << "old";
    m_pUi->AnswerQuestion(true);
    PrepareUsbMemory(app);
    EXPECT_TRUE(fs::exists(strMarker));
    EXPECT_EQ(fs::file_size(strMarker), 0u);

    ASSERT_EQ(Boxes().size(), 3u);
    EXPECT_EQ(Boxes()[0].strText, strQuestion);
    EXPECT_TRUE(Boxes()[0].bDefaultNo);
    EXPECT_FALSE(Boxes()[0].bInformationIcon);
    EXPECT_EQ(Boxes()[1].strText, strQuestion);
    EXPECT_EQ(Boxes()[2].kind, CFakeUiServices::BoxKind::Message);
    EXPECT_EQ(Boxes()[2].strText, "ＵＳＢメモリの準備ができました。");
}

TEST_F(UsbDriveHandlingTest, PreparationRejectsADriveTheUnitCannotRead) {
    Drive ntfs = AddStick("N_NTFS", false, "ntfs3");
    Configure(ntfs);
    PrepareUsbMemory(app);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].kind, CFakeUiServices::BoxKind::Warning);
    EXPECT_EQ(Boxes()[0].strText, "ドライブ：" + ntfs.strRoot + " はRZK-70では使用できません");
    EXPECT_FALSE(fs::exists(ntfs.strRoot + "PVN_RZK70"));
}

TEST_F(UsbDriveHandlingTest, PreparationReportsAMarkerThatCannotBeWritten) {
    Drive stick = AddStick("S_STICK", false);
    Configure(stick);
    // The medium went away under its mount point: nothing can be created there.
    fs::remove_all(stick.strRoot);
    m_pUi->AnswerQuestion(true);
    PrepareUsbMemory(app);
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[1].kind, CFakeUiServices::BoxKind::Warning);
    EXPECT_EQ(Boxes()[1].strText, "ＵＳＢメモリの準備に失敗しました。");
}

}  // namespace
