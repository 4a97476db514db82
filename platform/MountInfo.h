#pragma once

#include <string>
#include <string_view>
#include <vector>

// One line of a mount table in the form of /proc/<pid>/mountinfo. Paths are unescaped (the
// kernel writes space, tab, newline and backslash as \040, \011, \012 and \134).
struct MountEntry {
    unsigned int nMajor = 0;  // device number of the file system; 0 for FUSE and pseudo ones
    unsigned int nMinor = 0;
    std::string strFolderInFileSystem;  // "/" when the whole file system is mounted
    std::string strMountPoint;
    std::string strType;    // "vfat", "ext4", "fuse.fusefat", ...
    std::string strSource;  // "/dev/sdb1", an image file, "tmpfs", ...
};

// The entries of a mount table's text in the order of the text; malformed lines are left out.
std::vector<MountEntry> ParseMountInfo(std::string_view text);

// The drive root of a mount point: the mount point followed by "/" ("/" stays "/").
std::string RootOfMountPoint(const std::string& strMountPoint);
