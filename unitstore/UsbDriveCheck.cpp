#include "unitstore/UsbDriveCheck.h"

#include "platform/DriveTable.h"

bool IsUsableUsbDrive(const CDriveTable& drives, const std::string& strRoot) {
    const DriveVolume* pVolume = drives.Find(strRoot);
    if (pVolume == nullptr || !(pVolume->bRemovable || pVolume->bUsb)) {
        return false;
    }
    if (pVolume->strTypeName != "USB ドライブ" && pVolume->strTypeName != "リムーバブル ディスク") {
        return false;
    }
    // An empty name stands for volume information that could not be read.
    return pVolume->strFileSystem == "FAT" || pVolume->strFileSystem == "FAT32";
}
