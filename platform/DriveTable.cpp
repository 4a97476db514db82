#include "platform/DriveTable.h"

#include <blkid.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <type_traits>

#include "platform/MountInfo.h"
#include "platform/Text.h"
#include "platform/WholeFile.h"

namespace fs = std::filesystem;

namespace {

// Kernel and desktop file systems that never hold a user's files on a medium of their own.
const std::set<std::string> g_aPseudoTypes = {
    "autofs",      "binfmt_misc",   "bpf",      "cgroup",    "cgroup2",         "configfs",
    "debugfs",     "devpts",        "devtmpfs", "efivarfs",  "fuse.gvfsd-fuse", "fuse.lxcfs",
    "fuse.portal", "fuse.snapfuse", "fusectl",  "hugetlbfs", "mqueue",          "nfsd",
    "nsfs",        "overlay",       "proc",     "pstore",    "ramfs",           "rpc_pipefs",
    "securityfs",  "selinuxfs",     "squashfs", "sysfs",     "tmpfs",           "tracefs"};

const std::set<std::string> g_aNetworkTypes = {"cifs", "fuse.sshfs", "nfs", "nfs4", "smb3"};

// FUSE drivers that mount a FAT medium report "fuse.<name>"; the kernel ones "vfat", "msdos".
const std::set<std::string> g_aFatTypes = {"fuse.fusefat", "msdos", "vfat"};

// What a probe of the medium tells, under libblkid's names.
struct MediumProbe {
    std::string strType;     // "vfat", "exfat", "ntfs", ...
    std::string strVersion;  // "FAT12", "FAT16", "FAT32" for FAT
    std::string strLabel;    // raw bytes as stored on the medium
};

std::string FirstLine(const fs::path& path) {
    std::ifstream file(path);
    std::string strLine;
    std::getline(file, strLine);
    return strLine;
}

std::string ProbeValue(blkid_probe pProbe, const char* pName) {
    const char* pValue = nullptr;
    size_t nLength = 0;
    if (blkid_probe_lookup_value(pProbe, pName, &pValue, &nLength) != 0 || pValue == nullptr) {
        return {};
    }
    // The length counts the terminating zero.
    return std::string(pValue, nLength > 0 ? nLength - 1 : 0);
}

std::optional<MediumProbe> ProbeWithBlkid(const std::string& strPath) {
    std::error_code error;
    if (!fs::is_block_file(strPath, error) && !fs::is_regular_file(strPath, error)) {
        return std::nullopt;
    }
    using ProbeHandle =
        std::unique_ptr<std::remove_pointer_t<blkid_probe>, decltype(&blkid_free_probe)>;
    ProbeHandle pProbe(blkid_new_probe_from_filename(strPath.c_str()), &blkid_free_probe);
    if (!pProbe) {
        return std::nullopt;
    }
    blkid_probe_enable_superblocks(pProbe.get(), 1);
    blkid_probe_set_superblocks_flags(
        pProbe.get(), BLKID_SUBLKS_TYPE | BLKID_SUBLKS_VERSION | BLKID_SUBLKS_LABEL);
    if (blkid_do_safeprobe(pProbe.get()) != 0) {
        return std::nullopt;
    }
    return MediumProbe{ProbeValue(pProbe.get(), "TYPE"), ProbeValue(pProbe.get(), "VERSION"),
                       ProbeValue(pProbe.get(), "LABEL")};
}

int HexDigitValue(char character) {
    if (character >= '0' && character <= '9') {
        return character - '0';
    }
    if (character >= 'a' && character <= 'f') {
        return character - 'a' + 10;
    }
    if (character >= 'A' && character <= 'F') {
        return character - 'A' + 10;
    }
    return -1;
}

// udev writes the label's bytes that are unsafe in its database as \xNN.
std::string DecodeUdevText(std::string_view text) {
    std::string strBytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' &&
            HexDigitValue(text[i + 2]) >= 0 && HexDigitValue(text[i + 3]) >= 0) {
            strBytes +=
                static_cast<char>(HexDigitValue(text[i + 2]) * 16 + HexDigitValue(text[i + 3]));
            i += 3;
        } else {
            strBytes += text[i];
        }
    }
    return strBytes;
}

// udev's record of a block device ("E:ID_FS_VERSION=FAT32" lines) is readable by every user,
// unlike the device itself.
std::optional<MediumProbe> ProbeFromUdev(const fs::path& recordPath) {
    std::ifstream file(recordPath);
    if (!file) {
        return std::nullopt;
    }
    std::map<std::string, std::string> aProperties;
    std::string strLine;
    while (std::getline(file, strLine)) {
        size_t nEquals = strLine.find('=');
        if (strLine.starts_with("E:") && nEquals != std::string::npos) {
            aProperties[strLine.substr(2, nEquals - 2)] = strLine.substr(nEquals + 1);
        }
    }
    if (!aProperties.contains("ID_FS_TYPE")) {
        return std::nullopt;
    }
    return MediumProbe{aProperties["ID_FS_TYPE"], aProperties["ID_FS_VERSION"],
                       DecodeUdevText(aProperties["ID_FS_LABEL_ENC"])};
}

size_t FollowingByteCount(unsigned char leadByte) {
    if (leadByte < 0x80) {
        return 0;
    }
    if ((leadByte & 0xE0) == 0xC0) {
        return 1;
    }
    if ((leadByte & 0xF0) == 0xE0) {
        return 2;
    }
    if ((leadByte & 0xF8) == 0xF0) {
        return 3;
    }
    return std::string_view::npos;
}

bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        size_t nFollowing = FollowingByteCount(static_cast<unsigned char>(text[i]));
        if (nFollowing == std::string_view::npos || nFollowing >= text.size() - i) {
            return false;
        }
        for (size_t j = 1; j <= nFollowing; ++j) {
            if ((static_cast<unsigned char>(text[i + j]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += nFollowing + 1;
    }
    return true;
}

// Labels of FAT media written on a Japanese Windows PC are code page 932 bytes; labels of
// the other file systems, and those given on Linux, are UTF-8.
std::string LabelText(const std::string& strLabel) {
    return IsValidUtf8(strLabel) ? strLabel : Cp932ToDisplay(strLabel);
}

std::string FatName(const std::string& strVersion) {
    if (strVersion == "FAT12" || strVersion == "FAT16") {
        return "FAT";
    }
    if (strVersion == "FAT32") {
        return "FAT32";
    }
    return {};
}

// The file system's name as the program compares it; the FAT names only when the medium tells
// its FAT version.
std::string FileSystemName(const MountEntry& entry, const std::optional<MediumProbe>& probe) {
    if (g_aFatTypes.contains(entry.strType)) {
        return probe && probe->strType == "vfat" ? FatName(probe->strVersion) : std::string();
    }
    // FUSE drivers of block devices (ntfs-3g, exfat-fuse) all mount as "fuseblk".
    std::string strType = entry.strType == "fuseblk" && probe && !probe->strType.empty()
                              ? probe->strType
                              : entry.strType;
    if (strType == "exfat") {
        return "exFAT";
    }
    if (strType == "ntfs" || strType == "ntfs3") {
        return "NTFS";
    }
    return strType;
}

bool IsUsbBusFolder(const std::string& strName) {
    return strName.size() > 3 && strName.starts_with("usb") &&
           strName.find_first_not_of("0123456789", 3) == std::string::npos;
}

// Where the device hangs in the device tree, as sysfs shows it:
// devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/.../block/sdb/sdb1.
struct DevicePlace {
    bool bRemovable = false;
    bool bUsb = false;
    bool bOptical = false;
    std::string strDeviceNumber;  // "8:17", the key of the udev record
};

DevicePlace FindDevicePlace(const fs::path& sysRoot, const MountEntry& entry) {
    DevicePlace place;
    std::error_code error;
    fs::path link;
    if (entry.nMajor != 0) {
        place.strDeviceNumber = std::to_string(entry.nMajor) + ":" + std::to_string(entry.nMinor);
        link = sysRoot / "dev" / "block" / place.strDeviceNumber;
    } else if (entry.strSource.starts_with("/dev/")) {
        // A FUSE mount names its device only as its source ("/dev/sdb1", "/dev/disk/by-...").
        link =
            sysRoot / "class" / "block" / fs::weakly_canonical(entry.strSource, error).filename();
    } else {
        return place;
    }
    fs::path folder = fs::canonical(link, error);
    if (error) {
        return place;
    }
    if (place.strDeviceNumber.empty()) {
        place.strDeviceNumber = FirstLine(folder / "dev");
    }
    // A partition carries no removable flag of its own: its disk, the folder above, does.
    fs::path disk = fs::exists(folder / "partition", error) ? folder.parent_path() : folder;
    place.bRemovable = FirstLine(disk / "removable") == "1";
    place.bOptical = disk.filename().string().starts_with("sr");
    for (const fs::path& component : folder.lexically_relative(fs::canonical(sysRoot, error))) {
        place.bUsb = place.bUsb || IsUsbBusFolder(component.string());
    }
    return place;
}

std::string TypeName(const MountEntry& entry, const DevicePlace& place) {
    if (place.bOptical) {
        return "CD ドライブ";
    }
    if (place.bUsb) {
        return "USB ドライブ";
    }
    if (place.bRemovable) {
        return "リムーバブル ディスク";
    }
    if (g_aNetworkTypes.contains(entry.strType)) {
        return "ネットワーク ドライブ";
    }
    return "ローカル ディスク";
}

std::string DisplayName(const std::string& strLabel, const std::string& strMountPoint,
                        const std::string& strTypeName) {
    std::string strName = strLabel;
    if (strName.empty()) {
        strName = fs::path(strMountPoint).filename().string();
    }
    if (strName.empty()) {
        strName = strTypeName;
    }
    return strName + " (" + strMountPoint + ")";
}

}  // namespace

CDriveTable::CDriveTable(std::string strProcRoot, std::string strSysRoot, std::string strUdevRoot)
    : m_strProcRoot(std::move(strProcRoot)),
      m_strSysRoot(std::move(strSysRoot)),
      m_strUdevRoot(std::move(strUdevRoot)) {
    Refresh();
}

void CDriveTable::Refresh() {
    std::vector<MountEntry> aEntries = ParseMountInfo(
        ReadWholeFile((fs::path(m_strProcRoot) / "self" / "mountinfo").string()).value_or(""));
    // A later mount on the same point hides the earlier one. The map also puts the volumes in
    // the order of their mount point paths.
    std::map<std::string, const MountEntry*> aVisible;
    for (const MountEntry& entry : aEntries) {
        aVisible[entry.strMountPoint] = &entry;
    }
    m_aVolumes.clear();
    for (const auto& [strMountPoint, pEntry] : aVisible) {
        // A folder of a file system mounted a second time elsewhere (a bind mount, a file
        // mounted over a file) is no volume of its own.
        if (!g_aPseudoTypes.contains(pEntry->strType) && pEntry->strFolderInFileSystem == "/") {
            m_aVolumes.push_back(MakeVolume(*pEntry));
        }
    }
}

const DriveVolume* CDriveTable::Find(const std::string& strRoot) const {
    for (const DriveVolume& volume : m_aVolumes) {
        if (volume.strRoot == strRoot) {
            return &volume;
        }
    }
    return nullptr;
}

DriveVolume CDriveTable::MakeVolume(const MountEntry& entry) const {
    DevicePlace place = FindDevicePlace(m_strSysRoot, entry);
    std::optional<MediumProbe> probe;
    if (entry.strSource.starts_with("/")) {
        probe = ProbeWithBlkid(entry.strSource);
    }
    if (!probe && !place.strDeviceNumber.empty()) {
        probe = ProbeFromUdev(fs::path(m_strUdevRoot) / "data" / ("b" + place.strDeviceNumber));
    }
    DriveVolume volume;
    volume.strRoot = RootOfMountPoint(entry.strMountPoint);
    volume.strMountPoint = entry.strMountPoint;
    volume.strDevice = entry.strSource;
    volume.strFileSystem = FileSystemName(entry, probe);
    volume.strTypeName = TypeName(entry, place);
    volume.strDisplayName = DisplayName(probe ? LabelText(probe->strLabel) : std::string(),
                                        entry.strMountPoint, volume.strTypeName);
    volume.bRemovable = place.bRemovable;
    volume.bUsb = place.bUsb;
    return volume;
}
