#pragma once

#include <string>

class CDriveTable;

// Whether the drive with this root can hold a unit file store: a volume on removable media or
// on the USB bus, shown as "USB ドライブ" or "リムーバブル ディスク", whose information can be
// read and whose file system is FAT or FAT32, the file systems the unit reads.
bool IsUsableUsbDrive(const CDriveTable& drives, const std::string& strRoot);
