#pragma once

#include <map>
#include <string>

#include "platform/DriveTable.h"

// A plugged-in USB memory and its neighbours, for tests: a folder that looks like /proc, /sys
// and the udev database of a machine with the volumes a test mounts. The sysfs part follows
// the kernel's tree (devices/pci.../usb2/2-1/.../block/sdb/sdb1, with class/block and
// dev/block symlinks into it); FAT media are real images made by mkfs.vfat. The folder is
// removed when the fixture goes.
class CDriveFixture {
public:
    enum class Port { Usb, Sata };

    CDriveFixture();
    ~CDriveFixture();
    CDriveFixture(const CDriveFixture&) = delete;
    CDriveFixture& operator=(const CDriveFixture&) = delete;

    const std::string& Folder() const { return m_strFolder; }
    std::string ProcRoot() const { return m_strFolder + "/proc"; }
    std::string SysRoot() const { return m_strFolder + "/sys"; }
    std::string UdevRoot() const { return m_strFolder + "/udev"; }
    // A table over the fixture as it stands.
    CDriveTable Table() const { return CDriveTable(ProcRoot(), SysRoot(), UdevRoot()); }

    // A disk behind a USB or SATA port with its removable flag; its device number ("8:16").
    std::string AddDisk(const std::string& strDisk, Port port, bool bRemovable, unsigned nMajor,
                        unsigned nMinor);
    // Partition nNumber of a disk added before ("sdb", 1 -> sdb1); its device number.
    std::string AddPartition(const std::string& strDisk, unsigned nNumber);
    // What udev records of a device: lines "E:ID_FS_TYPE=vfat" and so on.
    void AddUdevRecord(const std::string& strDeviceNumber, const std::string& strLines);

    // An image file formatted by mkfs.vfat with 12, 16 or 32 bit FAT and the label (none when
    // empty); its path.
    std::string MakeFatImage(const std::string& strName, int nFatBits,
                             const std::string& strLabel = "");
    // A FAT16 USB memory on disk strDisk ("sdb", minor 16) mounted under media/ with its label
    // as the folder's name; the mount point.
    std::string AddUsbMemory(const std::string& strDisk, unsigned nMinor,
                             const std::string& strLabel);
    // A folder under media/ that serves as a mount point; its path.
    std::string MakeMountPoint(const std::string& strName);
    // Adds a line to the mount table. strFolder is the folder of the file system that is
    // mounted ("/" for all of it).
    void Mount(const std::string& strDeviceNumber, const std::string& strMountPoint,
               const std::string& strType, const std::string& strSource,
               const std::string& strFolder = "/");

private:
    std::string m_strFolder;
    std::map<std::string, std::string> m_aDiskFolders;    // disk name -> folder under sys/
    std::map<std::string, std::string> m_aDeviceNumbers;  // disk name -> "major:minor"
    int m_nNextHost = 0;
    int m_nNextMountId = 100;
};
