#include "platform/ProgramFolder.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace {

bool IsOwnFolderWritable(const std::string& strExeFolder) {
    return !strExeFolder.starts_with("/usr/") && access(strExeFolder.c_str(), W_OK) == 0;
}

std::string UserDataFolder(const std::string& strXdgDataHome, const std::string& strHome) {
    if (strXdgDataHome.starts_with('/')) {
        return strXdgDataHome + "/rzkset/";
    }
    if (strHome.starts_with('/')) {
        return strHome + "/.local/share/rzkset/";
    }
    return {};
}

}  // namespace

std::string ProgramFolder(const std::string& strExeFolder, const std::string& strXdgDataHome,
                          const std::string& strHome) {
    if (IsOwnFolderWritable(strExeFolder)) {
        return strExeFolder;
    }
    std::string strDataFolder = UserDataFolder(strXdgDataHome, strHome);
    if (strDataFolder.empty()) {
        return strExeFolder;
    }
    std::error_code error;
    std::filesystem::create_directories(strDataFolder + "Data", error);
    return error ? strExeFolder : strDataFolder;
}

bool CopyShippedProfiles(const std::string& strProgramFolder,
                         const std::string& strShippedProfiles) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path profiles = fs::path(strProgramFolder) / "Data";
    if (fs::exists(fs::path(strProgramFolder) / "RZKSET.ini", error) ||
        !fs::is_directory(strShippedProfiles, error) ||
        (fs::exists(profiles, error) && !fs::is_empty(profiles, error))) {
        return false;
    }
    fs::create_directories(profiles, error);
    bool bCopied = false;
    for (const fs::directory_entry& entry : fs::directory_iterator(strShippedProfiles, error)) {
        if (entry.is_regular_file(error) && entry.path().extension() == ".txt") {
            bCopied =
                fs::copy_file(entry.path(), profiles / entry.path().filename(), error) || bCopied;
        }
    }
    return bCopied;
}
