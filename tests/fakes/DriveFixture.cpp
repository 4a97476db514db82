#include "tests/fakes/DriveFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& path, const std::string& strText, bool bAppend = false) {
    fs::create_directories(path.parent_path());
    std::ofstream file(path, bAppend ? std::ios::app : std::ios::trunc);
    file << strText;
    EXPECT_TRUE(file.good()) << path;
}

// The kernel writes these characters of paths in the mount table as octal escapes.
std::string EscapeForMountTable(const std::string& strPath) {
    std::string strEscaped;
    for (char character : strPath) {
        switch (character) {
            case ' ':
                strEscaped += "\\040";
                break;
            case '\t':
                strEscaped += "\\011";
                break;
            case '\n':
                strEscaped += "\\012";
                break;
            case '\\':
                strEscaped += "\\134";
                break;
            default:
                strEscaped += character;
        }
    }
    return strEscaped;
}

std::string ShellQuoted(const std::string& strText) {
    std::string strQuoted = "'";
    for (char character : strText) {
        strQuoted += character == '\'' ? std::string("'\\''") : std::string(1, character);
    }
    return strQuoted + "'";
}

}  // namespace

CDriveFixture::CDriveFixture() {
    std::string strTemplate = (fs::temp_directory_path() / "drivesXXXXXX").string();
    if (mkdtemp(strTemplate.data()) == nullptr) {
        ADD_FAILURE() << "no temporary folder";
    }
    m_strFolder = fs::canonical(strTemplate).string();
    WriteFile(ProcRoot() + "/self/mountinfo", "");
    fs::create_directories(SysRoot() + "/class/block");
    fs::create_directories(SysRoot() + "/dev/block");
    fs::create_directories(UdevRoot() + "/data");
}

CDriveFixture::~CDriveFixture() {
    std::error_code error;
    fs::remove_all(m_strFolder, error);
}

std::string CDriveFixture::AddDisk(const std::string& strDisk, Port port, bool bRemovable,
                                   unsigned nMajor, unsigned nMinor) {
    int nHost = m_nNextHost++;
    std::string strHost = std::to_string(nHost);
    std::string strScsi = "host" + strHost + "/target" + strHost + ":0:0/" + strHost + ":0:0:0";
    std::string strController =
        port == Port::Usb
            ? "devices/pci0000:00/0000:00:14.0/usb2/2-" + std::to_string(nHost + 1) + "/2-" +
                  std::to_string(nHost + 1) + ":1.0/" + strScsi
            : "devices/pci0000:00/0000:00:17.0/ata" + std::to_string(nHost + 1) + "/" + strScsi;
    std::string strDiskFolder = strController + "/block/" + strDisk;
    std::string strDeviceNumber = std::to_string(nMajor) + ":" + std::to_string(nMinor);
    WriteFile(SysRoot() + "/" + strDiskFolder + "/removable", bRemovable ? "1\n" : "0\n");
    WriteFile(SysRoot() + "/" + strDiskFolder + "/dev", strDeviceNumber + "\n");
    fs::create_symlink("../../" + strDiskFolder, SysRoot() + "/class/block/" + strDisk);
    fs::create_symlink("../../" + strDiskFolder, SysRoot() + "/dev/block/" + strDeviceNumber);
    m_aDiskFolders[strDisk] = strDiskFolder;
    m_aDeviceNumbers[strDisk] = strDeviceNumber;
    return strDeviceNumber;
}

std::string CDriveFixture::AddPartition(const std::string& strDisk, unsigned nNumber) {
    const std::string& strDiskNumber = m_aDeviceNumbers.at(strDisk);
    size_t nColon = strDiskNumber.find(':');
    std::string strDeviceNumber =
        strDiskNumber.substr(0, nColon + 1) +
        std::to_string(std::stoul(strDiskNumber.substr(nColon + 1)) + nNumber);
    std::string strPartition = strDisk + std::to_string(nNumber);
    std::string strFolder = m_aDiskFolders.at(strDisk) + "/" + strPartition;
    WriteFile(SysRoot() + "/" + strFolder + "/partition", std::to_string(nNumber) + "\n");
    WriteFile(SysRoot() + "/" + strFolder + "/dev", strDeviceNumber + "\n");
    fs::create_symlink("../../" + strFolder, SysRoot() + "/class/block/" + strPartition);
    fs::create_symlink("../../" + strFolder, SysRoot() + "/dev/block/" + strDeviceNumber);
    return strDeviceNumber;
}

void CDriveFixture::AddUdevRecord(const std::string& strDeviceNumber, const std::string& strLines) {
    WriteFile(UdevRoot() + "/data/b" + strDeviceNumber, strLines);
}

std::string CDriveFixture::MakeFatImage(const std::string& strName, int nFatBits,
                                        const std::string& strLabel) {
    std::string strPath = m_strFolder + "/images/" + strName;
    fs::create_directories(m_strFolder + "/images");
    // Sparse files big enough for the FAT type: mkfs.vfat refuses FAT32 on small ones.
    std::uintmax_t nSize = nFatBits == 32 ? 40u << 20 : nFatBits == 16 ? 20u << 20 : 2u << 20;
    { std::ofstream image(strPath, std::ios::binary); }
    fs::resize_file(strPath, nSize);
    std::string strCommand = "PATH=\"$PATH:/usr/sbin:/sbin\" mkfs.vfat -F " +
                             std::to_string(nFatBits) +
                             (strLabel.empty() ? "" : " -n " + ShellQuoted(strLabel)) + " " +
                             ShellQuoted(strPath) + " >/dev/null";
    EXPECT_EQ(std::system(strCommand.c_str()), 0) << strCommand;
    return strPath;
}

std::string CDriveFixture::AddUsbMemory(const std::string& strDisk, unsigned nMinor,
                                        const std::string& strLabel) {
    AddDisk(strDisk, Port::Usb, true, 8, nMinor);
    std::string strMountPoint = MakeMountPoint(strLabel);
    Mount(AddPartition(strDisk, 1), strMountPoint, "vfat", MakeFatImage(strDisk, 16, strLabel));
    return strMountPoint;
}

std::string CDriveFixture::MakeMountPoint(const std::string& strName) {
    std::string strPath = m_strFolder + "/media/" + strName;
    fs::create_directories(strPath);
    return strPath;
}

void CDriveFixture::Mount(const std::string& strDeviceNumber, const std::string& strMountPoint,
                          const std::string& strType, const std::string& strSource,
                          const std::string& strFolder) {
    int nId = m_nNextMountId++;
    // Optional fields vary from line to line, as they do in a real table.
    std::string strOptional = nId % 2 == 0 ? " shared:" + std::to_string(nId) : "";
    WriteFile(ProcRoot() + "/self/mountinfo",
              std::to_string(nId) + " 1 " + strDeviceNumber + " " + EscapeForMountTable(strFolder) +
                  " " + EscapeForMountTable(strMountPoint) + " rw,nosuid,nodev,relatime" +
                  strOptional + " - " + strType + " " + EscapeForMountTable(strSource) + " rw\n",
              true);
}
