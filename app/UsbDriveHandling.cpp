#include "app/UsbDriveHandling.h"

#include <algorithm>

#include "app/DriveSelDlg.h"
#include "app/RZKSETApp.h"
#include "platform/AtomicFile.h"
#include "platform/DriveTable.h"
#include "platform/Text.h"
#include "unitstore/UnitReadiness.h"
#include "unitstore/UsbDriveCheck.h"

namespace {

const char* const g_pMarkerName = "PVN_RZK70";

bool IsPreparedDrive(const CRZKSETApp& app, const std::string& strRoot) {
    return IsUsableUsbDrive(app.Drives, strRoot) && HasMarkerFile(strRoot);
}

bool IsCurrentDrive(const CRZKSETApp& app, const DriveVolume& volume) {
    return volume.strRoot == app.UsbDrive && volume.strDisplayName == app.UsbDriveName;
}

void TakeDrive(CRZKSETApp& app, const std::string& strRoot, const std::string& strDisplayName) {
    app.UsbDrive = strRoot;
    app.UsbDriveName = strDisplayName;
}

}  // namespace

void SearchUsbDriveAtStartup(CRZKSETApp& app) {
    app.Drives.Refresh();
    const std::vector<DriveVolume>& aVolumes = app.Drives.Volumes();
    auto found = std::find_if(aVolumes.begin(), aVolumes.end(), [&](const DriveVolume& volume) {
        return IsPreparedDrive(app, volume.strRoot);
    });
    // Only the first prepared drive counts, whatever comes of it.
    if (found == aVolumes.end() || found->strDisplayName.empty() || IsCurrentDrive(app, *found)) {
        return;
    }
    if (app.Ui().QuestionBox(
            Format("USBメモリのドライブ名を %s に変更しますか？", found->strRoot.c_str()), false,
            true)) {
        TakeDrive(app, found->strRoot, found->strDisplayName);
    }
}

bool OnVolumeArrival(CRZKSETApp& app, const std::string& strRoot) {
    if (app.DeviceEventsEnabled != 1) {
        return false;
    }
    app.Drives.Refresh();
    const DriveVolume* pVolume = app.Drives.Find(strRoot);
    if (pVolume == nullptr || !IsPreparedDrive(app, strRoot) || pVolume->strDisplayName.empty() ||
        IsCurrentDrive(app, *pVolume)) {
        return false;
    }
    // A copy: another arrival handled while the question is open reads the table again.
    DriveVolume volume = *pVolume;
    if (!app.Ui().QuestionBox(Format("ドライブ：%s が追加されました。ドライブを切り替えますか？",
                                     volume.strRoot.c_str()))) {
        return false;
    }
    app.Ui().InformationBox(
        Format("USBメモリのドライブ名を %s に変更します。", volume.strRoot.c_str()));
    TakeDrive(app, volume.strRoot, volume.strDisplayName);
    return true;
}

bool ChooseUsbDrive(CRZKSETApp& app, QWidget* pParent) {
    app.Drives.Refresh();
    const std::vector<DriveVolume>& aVolumes = app.Drives.Volumes();
    if (std::none_of(aVolumes.begin(), aVolumes.end(), [&](const DriveVolume& volume) {
            return IsUsableUsbDrive(app.Drives, volume.strRoot);
        })) {
        app.Ui().WarningBox("USBメモリが実装されていません。");
        return false;
    }
    CDriveSelDlg dlg(app.Drives, pParent);
    dlg.m_strDrive = app.UsbDrive;
    if (app.Ui().RunModal(dlg) != QDialog::Accepted || dlg.m_nSelect < 0 ||
        static_cast<size_t>(dlg.m_nSelect) >= dlg.m_aDrive.size()) {
        return false;
    }
    const DriveInfo& chosen = dlg.m_aDrive[static_cast<size_t>(dlg.m_nSelect)];
    TakeDrive(app, chosen.strDrive, chosen.strDispName);
    return true;
}

void PrepareUsbMemory(CRZKSETApp& app) {
    app.Drives.Refresh();
    if (!IsUsableUsbDrive(app.Drives, app.UsbDrive)) {
        app.Ui().WarningBox(
            Format("ドライブ：%s はRZK-70では使用できません", app.UsbDrive.c_str()));
        return;
    }
    if (!app.Ui().QuestionBox("ＵＳＢメモリをRZK-70で利用できるようにします。\nよろしいですか？",
                              true)) {
        return;
    }
    CAtomicFile marker(app.UsbDrive + g_pMarkerName);
    if (marker.Open() && marker.Commit()) {
        app.Ui().MessageBox("ＵＳＢメモリの準備ができました。");
    } else {
        app.Ui().WarningBox("ＵＳＢメモリの準備に失敗しました。");
    }
}
