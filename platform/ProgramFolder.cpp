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
