#include "settings/ProfileFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/Text.h"
#include "settings/SetData.h"

namespace {

constexpr std::string_view kExtension = ".txt";

// What names are compared and sorted by: the code page 932 form, as the profiles were made
// for; a name without one keeps its UTF-8 bytes.
std::string Cp932Form(const std::string& strName) {
    return Utf8ToCp932(strName).value_or(strName);
}

bool IsSameName(const std::string& strLeft, const std::string& strRight) {
    return MakeUpper(Cp932Form(strLeft)) == MakeUpper(Cp932Form(strRight));
}

// Renames without ever replacing the target, also where the file system lacks the flag.
bool RenameWithoutReplacing(const std::string& strFrom, const std::string& strTo) {
    if (renameat2(AT_FDCWD, strFrom.c_str(), AT_FDCWD, strTo.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    return link(strFrom.c_str(), strTo.c_str()) == 0 && unlink(strFrom.c_str()) == 0;
}

}  // namespace

CProfileFolder::CProfileFolder(std::string strFolder) : m_strFolder(std::move(strFolder)) {}

std::vector<std::string> CProfileFolder::Names() const {
    std::vector<std::string> aNames;
    DIR* pFolder = opendir(m_strFolder.c_str());
    if (pFolder == nullptr) {
        return aNames;
    }
    while (const dirent* pEntry = readdir(pFolder)) {
        std::string strFile = pEntry->d_name;
        if (strFile.size() <= kExtension.size() || !strFile.ends_with(kExtension)) {
            continue;
        }
        struct stat status {};
        if (stat((m_strFolder + strFile).c_str(), &status) != 0 || S_ISDIR(status.st_mode)) {
            continue;
        }
        aNames.push_back(strFile.substr(0, strFile.size() - kExtension.size()));
    }
    closedir(pFolder);
    std::sort(aNames.begin(), aNames.end(),
              [](const std::string& strLeft, const std::string& strRight) {
                  return Cp932Form(strLeft) < Cp932Form(strRight);
              });
    return aNames;
}

std::string CProfileFolder::PathOf(const std::string& strName) const {
    return m_strFolder + strName + std::string(kExtension);
}

bool CProfileFolder::Contains(const std::string& strName) const {
    std::vector<std::string> aNames = Names();
    return std::any_of(aNames.begin(), aNames.end(),
                       [&](const std::string& strOther) { return IsSameName(strOther, strName); });
}

int CProfileFolder::NextIndex() const {
    int nLargest = 0;
    for (const std::string& strName : Names()) {
        CSetData profile;
        profile.LoadProfile(PathOf(strName));
        nLargest = std::max(nLargest, profile.INDEX);
    }
    return nLargest + 1;
}

bool CProfileFolder::IsValidName(const std::string& strName) {
    return !strName.empty() && strName != "." && strName != ".." &&
           strName.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

bool CProfileFolder::Create(const std::string& strName, int nIndex) const {
    if (!IsValidName(strName)) {
        return false;
    }
    CSetData profile;
    profile.INDEX = nIndex;
    return profile.SaveProfile(PathOf(strName));
}

bool CProfileFolder::Rename(const std::string& strOldName, const std::string& strNewName) const {
    if (!IsValidName(strOldName) || !IsValidName(strNewName)) {
        return false;
    }
    std::vector<std::string> aNames = Names();
    // A name that only changes its case stays the same profile; any other profile's name is
    // taken.
    bool bTaken = std::any_of(aNames.begin(), aNames.end(), [&](const std::string& strOther) {
        return strOther != strOldName && IsSameName(strOther, strNewName);
    });
    return !bTaken && RenameWithoutReplacing(PathOf(strOldName), PathOf(strNewName));
}

bool CProfileFolder::Remove(const std::string& strName) const {
    return IsValidName(strName) && unlink(PathOf(strName).c_str()) == 0;
}
