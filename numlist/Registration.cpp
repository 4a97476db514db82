#include "numlist/Registration.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "numlist/FileNo.h"
#include "platform/Text.h"

RegistrationStart ProposeRegistration(const CFileNo& list, int nSelectedRow) {
    const auto& aData = list.m_aData;
    if (nSelectedRow < 0 || static_cast<size_t>(nSelectedRow) >= aData.size()) {
        return {aData.empty() ? 1 : aData.back().nNo + 1, aData.size()};
    }
    if (nSelectedRow == 0) {
        return {1, 0};
    }
    size_t nPosition = static_cast<size_t>(nSelectedRow);
    return {aData[nPosition - 1].nNo + 1, nPosition};
}

std::string ProgramFileName(int nNo) {
    return Format("%04d.fno", nNo);
}

std::string RegisteredNumbers(int nFirst, int nEnd) {
    if (nEnd <= nFirst) {
        return {};
    }
    return nEnd - nFirst == 1 ? Format("%dを登録しました。", nFirst)
                              : Format("%d〜%dを登録しました。", nFirst, nEnd - 1);
}

std::optional<std::string> ListNameOfFile(const std::string& strPath, bool bAddDot) {
    std::string strName = NameOfPath(strPath);
    if (bAddDot) {
        size_t nDot = strName.find_last_of('.');
        if (nDot != std::string::npos) {
            strName.erase(nDot);
        }
    }
    // A line break would split the entry's line in the list file.
    if (strName.find_first_of("\r\n") != std::string::npos) {
        return std::nullopt;
    }
    return Utf8ToCp932(strName);
}

void StampWithNow(const std::string& strPath) {
    utimensat(AT_FDCWD, strPath.c_str(), nullptr, 0);
}

std::string FolderOfPath(const std::string& strPath) {
    size_t nSlash = strPath.find_last_of('/');
    return nSlash == std::string::npos ? std::string() : strPath.substr(0, nSlash + 1);
}

FileDialogOptions ProgramFileDialogOptions(bool bAddDot, const std::string& strDot,
                                           const std::string& strInitialFolder) {
    FileDialogOptions options;
    options.strInitialFolder = strInitialFolder;
    if (bAddDot) {
        std::string strExtension = Cp932ToDisplay(strDot);
        options.strFilter = Format("NC Files (*.%s)|*.%s|すべてのﾌｧｲﾙ (*.*)|*.*||",
                                   strExtension.c_str(), strExtension.c_str());
        options.strDefaultExtension = strExtension;
    } else {
        options.strFilter = "すべてのﾌｧｲﾙ (*.*)|*.*||";
    }
    return options;
}
