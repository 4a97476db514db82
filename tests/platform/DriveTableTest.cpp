#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/DriveTable.h"
#include "tests/fakes/DriveFixture.h"
#include "unitstore/UsbDriveCheck.h"

namespace {

using Port = CDriveFixture::Port;

// One machine with every kind of volume the program meets.
class DriveTableTest : public testing::Test {
protected:
    void SetUp() override {
        // The system disk: root file system and a FAT32 EFI partition, neither removable.
        fixture.AddDisk("sda", Port::Sata, false, 8, 0);
        fixture.Mount(fixture.AddPartition("sda", 1), fixture.MakeMountPoint("boot-efi"), "vfat",
                      fixture.MakeFatImage("esp", 32, "EFI"));
        fixture.Mount(fixture.AddPartition("sda", 2), fixture.MakeMountPoint("system"), "ext4",
                      fixture.Folder() + "/images/missing-sda2");
        // USB sticks with FAT32, exFAT and NTFS; a card in a removable-media slot with FAT16.
        fixture.AddDisk("sdb", Port::Usb, true, 8, 16);
        fixture.Mount(fixture.AddPartition("sdb", 1), fixture.MakeMountPoint("STICK32"), "vfat",
                      fixture.MakeFatImage("sdb1", 32, "STICK32"));
        fixture.AddDisk("sdc", Port::Sata, true, 8, 32);
        fixture.Mount(fixture.AddPartition("sdc", 1), fixture.MakeMountPoint("SD CARD"), "vfat",
                      fixture.MakeFatImage("sdc1", 16, "CARD16"));
        fixture.AddDisk("sdd", Port::Usb, true, 8, 48);
        fixture.Mount(fixture.AddPartition("sdd", 1), fixture.MakeMountPoint("EXSTICK"), "exfat",
                      fixture.Folder() + "/images/missing-sdd1");
        fixture.AddDisk("sde", Port::Usb, true, 8, 64);
        fixture.Mount(fixture.AddPartition("sde", 1), fixture.MakeMountPoint("NTSTICK"), "ntfs3",
                      fixture.Folder() + "/images/missing-sde1");
        // A USB hard disk reports fixed media but is on the USB bus.
        fixture.AddDisk("sdf", Port::Usb, false, 8, 80);
        fixture.Mount(fixture.AddPartition("sdf", 1), fixture.MakeMountPoint("USBHDD"), "vfat",
                      fixture.MakeFatImage("sdf1", 32));
        // An ordinary user cannot open the device: udev's record tells the FAT version and the
        // label, here written on a Japanese Windows PC in code page 932 ("テスト").
        fixture.AddDisk("sdg", Port::Usb, true, 8, 96);
        std::string strUnreadable = fixture.AddPartition("sdg", 1);
        fixture.AddUdevRecord(strUnreadable,
                              "E:ID_FS_TYPE=vfat\nE:ID_FS_VERSION=FAT16\n"
                              "E:ID_FS_LABEL=___\nE:ID_FS_LABEL_ENC=\\x83e\\x83X\\x83g\n");
        fixture.Mount(strUnreadable, fixture.MakeMountPoint("UNREADABLE"), "vfat",
                      fixture.Folder() + "/images/missing-sdg1");
        // Neither the device nor a udev record: the FAT version cannot be told.
        fixture.AddDisk("sdh", Port::Usb, true, 8, 112);
        fixture.Mount(fixture.AddPartition("sdh", 1), fixture.MakeMountPoint("UNKNOWN"), "vfat",
                      fixture.Folder() + "/images/missing-sdh1");
        // An optical drive reports removable media.
        fixture.AddDisk("sr0", Port::Sata, true, 11, 0);
        fixture.Mount("11:0", fixture.MakeMountPoint("DVD"), "iso9660",
                      fixture.Folder() + "/images/missing-sr0");
        // A FAT image mounted through FUSE: no device number, the source is probed.
        fixture.Mount("0:52", fixture.MakeMountPoint("fuse image"), "fuse.fusefat",
                      fixture.MakeFatImage("floppy", 12, "FLOPPY"));
    }

    CDriveFixture fixture;
};

TEST_F(DriveTableTest, DescribesEachKindOfVolume) {
    struct Case {
        std::string strMountPoint;  // under media/
        std::string strFileSystem;
        std::string strTypeName;
        std::string strName;  // the display name before " (mount point)"
        bool bUsable;
    };
    const std::vector<Case> aCases = {
        {"boot-efi", "FAT32", "ローカル ディスク", "EFI", false},
        {"system", "ext4", "ローカル ディスク", "system", false},
        {"STICK32", "FAT32", "USB ドライブ", "STICK32", true},
        {"SD CARD", "FAT", "リムーバブル ディスク", "CARD16", true},
        {"EXSTICK", "exFAT", "USB ドライブ", "EXSTICK", false},
        {"NTSTICK", "NTFS", "USB ドライブ", "NTSTICK", false},
        {"USBHDD", "FAT32", "USB ドライブ", "USBHDD", true},
        {"UNREADABLE", "FAT", "USB ドライブ", "テスト", true},
        {"UNKNOWN", "", "USB ドライブ", "UNKNOWN", false},
        {"DVD", "iso9660", "CD ドライブ", "DVD", false},
        {"fuse image", "FAT", "ローカル ディスク", "FLOPPY", false},
    };
    CDriveTable drives = fixture.Table();
    for (const Case& test : aCases) {
        SCOPED_TRACE(test.strMountPoint);
        std::string strMountPoint = fixture.Folder() + "/media/" + test.strMountPoint;
        const DriveVolume* pVolume = drives.Find(strMountPoint + "/");
        ASSERT_NE(pVolume, nullptr);
        EXPECT_EQ(pVolume->strMountPoint, strMountPoint);
        EXPECT_EQ(pVolume->strFileSystem, test.strFileSystem);
        EXPECT_EQ(pVolume->strTypeName, test.strTypeName);
        EXPECT_EQ(pVolume->strDisplayName, test.strName + " (" + strMountPoint + ")");
        EXPECT_EQ(IsUsableUsbDrive(drives, strMountPoint + "/"), test.bUsable);
    }
}

TEST_F(DriveTableTest, RemovableFlagComesFromTheDiskOfAPartition) {
    CDriveTable drives = fixture.Table();
    const DriveVolume* pCard = drives.Find(fixture.Folder() + "/media/SD CARD/");
    const DriveVolume* pHardDisk = drives.Find(fixture.Folder() + "/media/USBHDD/");
    ASSERT_NE(pCard, nullptr);
    ASSERT_NE(pHardDisk, nullptr);
    EXPECT_TRUE(pCard->bRemovable);
    EXPECT_FALSE(pCard->bUsb);
    EXPECT_FALSE(pHardDisk->bRemovable);
    EXPECT_TRUE(pHardDisk->bUsb);
    EXPECT_EQ(pCard->strDevice, fixture.Folder() + "/images/sdc1");
}

TEST_F(DriveTableTest, ListsOnlyVolumesInMountPointOrder) {
    std::string strMedia = fixture.Folder() + "/media/";
    // Pseudo file systems, a folder of a volume mounted again elsewhere, and a stick hidden
    // by a later mount on the same point.
    fixture.Mount("0:20", "/proc", "proc", "proc");
    fixture.Mount("0:21", strMedia + "sys", "sysfs", "sysfs");
    fixture.Mount("0:22", strMedia + "run", "tmpfs", "tmpfs");
    fixture.Mount("0:23", strMedia + "cgroup", "cgroup2", "cgroup2");
    fixture.Mount("0:24", strMedia + "container", "overlay", "overlay");
    fixture.Mount("8:2", strMedia + "hosts", "ext4", fixture.Folder() + "/images/missing-sda2",
                  "/etc/hosts");
    fixture.Mount("8:17", strMedia + "HIDDEN", "vfat", fixture.Folder() + "/images/sdb1");
    fixture.Mount("0:25", strMedia + "HIDDEN", "tmpfs", "tmpfs");

    std::vector<std::string> aRoots;
    CDriveTable drives = fixture.Table();
    for (const DriveVolume& volume : drives.Volumes()) {
        aRoots.push_back(volume.strRoot);
    }
    std::vector<std::string> aExpected;
    for (const char* pName : {"DVD", "EXSTICK", "NTSTICK", "SD CARD", "STICK32", "UNKNOWN",
                              "UNREADABLE", "USBHDD", "boot-efi", "fuse image", "system"}) {
        aExpected.push_back(strMedia + pName + "/");
    }
    EXPECT_EQ(aRoots, aExpected);
}

TEST_F(DriveTableTest, RefreshSeesNewMountsAndUnknownRootsAreNotUsable) {
    CDriveTable drives = fixture.Table();
    std::string strRoot = fixture.MakeMountPoint("LATE") + "/";
    EXPECT_EQ(drives.Find(strRoot), nullptr);
    EXPECT_FALSE(IsUsableUsbDrive(drives, strRoot));

    fixture.AddDisk("sdi", Port::Usb, true, 8, 128);
    fixture.Mount(fixture.AddPartition("sdi", 1), fixture.Folder() + "/media/LATE", "vfat",
                  fixture.MakeFatImage("sdi1", 16));
    drives.Refresh();
    EXPECT_TRUE(IsUsableUsbDrive(drives, strRoot));
    // Roots are compared exactly: the mount point without its "/" names no drive.
    EXPECT_FALSE(IsUsableUsbDrive(drives, fixture.Folder() + "/media/LATE"));
}

TEST(MountRootTest, RootFileSystemKeepsItsSingleSlash) {
    CDriveFixture fixture;
    fixture.AddDisk("vda", Port::Sata, false, 254, 0);
    fixture.Mount("254:0", "/", "ext4", fixture.Folder() + "/images/missing-vda");
    CDriveTable drives = fixture.Table();
    ASSERT_EQ(drives.Volumes().size(), 1u);
    EXPECT_EQ(drives.Volumes()[0].strRoot, "/");
    EXPECT_EQ(drives.Volumes()[0].strDisplayName, "ローカル ディスク (/)");
}

}  // namespace
