#pragma once

#include <string>
#include <vector>

struct MountEntry;

// A mounted volume as the program offers it for a drive. Texts and paths are UTF-8.
struct DriveVolume {
    std::string strRoot;        // the drive root: mount point + "/"
    std::string strMountPoint;  // "/media/user/STICK"
    std::string strDevice;      // what is mounted: "/dev/sdb1", an image file, ...
    // "FAT" (FAT12 or FAT16), "FAT32", "exFAT", "NTFS", "ext4", ...; empty when the volume's
    // information could not be read (a FAT volume whose version no probe could tell).
    std::string strFileSystem;
    // "USB ドライブ", "リムーバブル ディスク", "CD ドライブ", "ネットワーク ドライブ" or
    // "ローカル ディスク".
    std::string strTypeName;
    // The volume label, else the mount point's last component, then the mount point in
    // parentheses: "STICK (/media/user/STICK)".
    std::string strDisplayName;
    bool bRemovable = false;  // the disk reports removable media
    bool bUsb = false;        // the disk sits on the USB bus
};

// The mounted volumes that can serve as drives, in the order of their mount point paths (the
// order in which drive letters would be gone through). Mount points come from
// <proc>/self/mountinfo, removable media and the USB bus from sysfs, file system versions and
// labels from libblkid, or from the udev database (which holds libblkid's findings) when the
// device cannot be opened, as for an ordinary user. The table is a snapshot: Refresh reads the
// system again.
class CDriveTable {
public:
    explicit CDriveTable(std::string strProcRoot = "/proc", std::string strSysRoot = "/sys",
                         std::string strUdevRoot = "/run/udev");

    void Refresh();

    const std::vector<DriveVolume>& Volumes() const { return m_aVolumes; }
    // The volume whose root is exactly the given one; nullptr when there is none.
    const DriveVolume* Find(const std::string& strRoot) const;

private:
    DriveVolume MakeVolume(const MountEntry& entry) const;

    std::string m_strProcRoot;
    std::string m_strSysRoot;
    std::string m_strUdevRoot;
    std::vector<DriveVolume> m_aVolumes;
};
