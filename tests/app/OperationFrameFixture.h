#pragma once

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/RZKSETApp.h"
#include "app/RZKSETDlg.h"
#include "tests/fakes/AppFixture.h"
#include "tests/fakes/DriveFixture.h"
#include "tests/fakes/TestServers.h"

// The main window over a USB memory or the unit simulator, with a system disk that is no
// memory: the operations are started from its buttons, through the readiness check.
// Every file under a folder with its content, to see that nothing was written there.
inline std::map<std::string, std::string> Snapshot(const std::filesystem::path& folder) {
    std::map<std::string, std::string> aFiles;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        aFiles[entry.path().string()] = entry.is_regular_file() ? ReadBytes(entry.path()) : "/";
    }
    return aFiles;
}

class OperationFrameTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        m_drives.AddDisk("sda", CDriveFixture::Port::Sata, false, 8, 0);
        m_strSystemDisk = m_drives.MakeMountPoint("SYSTEM");
        m_drives.Mount(m_drives.AddPartition("sda", 1), m_strSystemDisk, "ext4", "/dev/sda1");
        App().Drives = m_drives.Table();
        App().FtpTimeoutSeconds = 2;
        App().SetData.IP1 = 127;
        App().SetData.IP2 = 0;
        App().SetData.IP3 = 0;
        App().SetData.IP4 = 1;
        App().DeviceEventsEnabled = 1;
    }

    // A FAT16 USB memory mounted and chosen as the unit's memory; a prepared one holds the
    // marker.
    void UseStick(bool bPrepared) {
        std::string strMountPoint = m_drives.AddUsbMemory("sdb", 16, "RZK");
        if (bPrepared) {
            WriteBytes(strMountPoint + "/PVN_RZK70", "");
        }
        UseFolderAsMemory(strMountPoint, true);
    }

    void UseFolderAsMemory(const std::string& strFolder, bool bMounted) {
        App().Drives = m_drives.Table();
        App().Sousa = 0;
        App().UsbDrive = strFolder + "/";
        App().UsbDriveName = bMounted ? "RZK (" + strFolder + ")" : "RZK";
    }

    void UseUnit(const std::vector<std::string>& aOptions) {
        m_pUnit = std::make_unique<CUnitSimulator>(aOptions);
        App().Sousa = 1;
        App().FtpPort = m_pUnit->Port();
    }

    // Everything the operations could write to: the program folder, the drives, the unit.
    std::map<std::string, std::string> Everything() const {
        std::map<std::string, std::string> aFiles = Snapshot(m_exeDir);
        aFiles.merge(Snapshot(m_drives.Folder()));
        if (m_pUnit) {
            aFiles.merge(Snapshot(m_pUnit->PubFolder()));
        }
        return aFiles;
    }

    static void Press(CRZKSETDlg& dialog, int nId) {
        auto* pButton = static_cast<QAbstractButton*>(dialog.Item(nId));
        ASSERT_TRUE(pButton->isEnabled()) << nId;
        pButton->click();
    }

    // "ストアの点検" from the main window's context menu.
    static void CheckStoreFromMenu(CRZKSETDlg& dialog) {
        ChooseFromMenu(dialog, QStringLiteral("ストアの点検"));
    }

    // The entry of the main window's context menu whose text starts so.
    static void ChooseFromMenu(CRZKSETDlg& dialog, const QString& strEntry) {
        QTimer::singleShot(0, [strEntry] {
            auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(pMenu, nullptr);
            for (QAction* pAction : pMenu->actions()) {
                if (pAction->text().startsWith(strEntry)) {
                    pAction->trigger();
                }
            }
            pMenu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
                                dialog.mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(&dialog, &event);
    }

    CDriveFixture m_drives;
    std::string m_strSystemDisk;
    std::unique_ptr<CUnitSimulator> m_pUnit;
};
