#include "numlist/UnitListFile.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "app/RZKSETApp.h"
#include "numlist/FileNo.h"
#include "platform/FilePattern.h"
#include "platform/LocalFailure.h"
#include "platform/Text.h"
#include "platform/WholeFile.h"
#include "unitstore/StoreAction.h"

namespace {

bool IsNetwork() {
    return GetApp().Sousa == 1;
}

void RemoveLocalFile(const std::string& strPath) {
    std::error_code error;
    std::filesystem::remove(strPath, error);
}

}  // namespace

std::string LocalListPath(const ListFileLocation& location) {
    return GetApp().ExeDir + location.strFileName;
}

std::string UsbListPath(const ListFileLocation& location) {
    std::string strFolder = location.strFolder.empty() ? "" : location.strFolder + "/";
    return GetApp().UsbDrive + strFolder + location.strFileName;
}

ListFileRead ReadListFile(CUnitStore& store, const std::optional<std::vector<StoreEntry>>& listing,
                          const ListFileLocation& location, CFileNo& list) {
    const std::string& strName = location.strFileName;
    list = CFileNo();
    ListFileRead read;
    // The unit's memory is FAT: a name in other case is the same file.
    read.bAbsent = listing && std::none_of(listing->begin(), listing->end(),
                                           [&strName](const StoreEntry& entry) {
                                               return MatchesFilePattern(entry.strName, strName);
                                           });
    if (read.bAbsent) {
        return read;
    }
    std::string strPath = IsNetwork() ? LocalListPath(location) : UsbListPath(location);
    std::string strReason;
    if (IsNetwork() && !store.GetFile(strName, strPath)) {
        // The transfer says only that it failed: the PC's side is asked why, else it was the
        // unit's refusal.
        int nError = ProbeFolderForWrite(strPath);
        strReason = nError != 0 ? LocalFailureReason(nError) : "ユニットが送信を拒否しました。";
    } else if (!ReadWholeFile(strPath, kMaxListFileBytes)) {
        // A list far larger than any the program writes is damaged beyond reading: it is
        // refused like one that cannot be read, never replaced by the little read of it.
        strReason = LocalFailureReason(errno);
    } else {
        read.nLoadResult = list.Load(strPath);
    }
    if (IsNetwork()) {
        RemoveLocalFile(strPath);
    }
    if (!strReason.empty()) {
        read.strFailure =
            Format("%sの読み込みに失敗しました。\n%s", strName.c_str(), strReason.c_str());
    }
    return read;
}

std::string WriteBackListFile(const ListFileLocation& location, const CFileNo& list,
                              const std::function<std::string(const std::string&)>& failureText,
                              const std::function<std::string(CStoreAction&)>& storeFailureText) {
    if (!IsNetwork()) {
        std::string strPath = UsbListPath(location);
        return list.Save(strPath) ? std::string() : failureText(strPath);
    }
    std::string strLocal = LocalListPath(location);
    RemoveLocalFile(strLocal);
    if (!list.Save(strLocal)) {
        RemoveLocalFile(strLocal);
        return failureText(strLocal);
    }
    CStoreAction action(GetApp().StoreSettings(), location.strFolder);
    bool bUploaded = action.IsOpen() && action.Store().PutFile(strLocal, location.strFileName);
    std::string strMessage = storeFailureText(action);
    if (strMessage.empty() && !bUploaded) {
        strMessage = failureText(strLocal);
    }
    action.Close();
    RemoveLocalFile(strLocal);
    return strMessage;
}
