#include "fleet/UnitStatus.h"

#include <filesystem>
#include <optional>

#include "maint/StoreCheckup.h"
#include "numlist/FileNo.h"
#include "numlist/ImportList.h"
#include "numlist/NamedProgram.h"
#include "numlist/Registration.h"
#include "platform/Text.h"
#include "unitstore/UnitReadiness.h"

namespace {

constexpr const char* kWaitingFolder = "RzFilesIn";

// The unit's memory is FAT: a name in any case is the same entry.
bool HasEntry(const std::vector<StoreEntry>& aEntries, const std::string& strName, bool bFolder) {
    const std::string strUpper = MakeUpper(strName);
    for (const StoreEntry& entry : aEntries) {
        if (entry.bFolder == bFolder && MakeUpper(entry.strName) == strUpper) {
            return true;
        }
    }
    return false;
}

// The entries of a list file at the store's current folder; 0 when the program has not made
// it yet, -1 when it cannot be read.
int CountListEntries(CUnitStore& store, CStoreCheckup& fetcher, bool bThere,
                     const std::string& strName) {
    if (!bThere) {
        return 0;
    }
    CFileNo list;
    return fetcher.FetchList(store, strName, list) == CFileNo::LOAD_OK
               ? static_cast<int>(list.m_aData.size())
               : -1;
}

int CountWaitingPrograms(CUnitStore& store, bool bThere) {
    if (!bThere) {
        return 0;
    }
    std::optional<std::vector<StoreEntry>> aEntries;
    if (store.SetFolder(kWaitingFolder)) {
        aEntries = store.FindFiles("*.fno");
    }
    if (!aEntries) {
        return -1;
    }
    std::vector<std::string> aNames;
    for (const StoreEntry& entry : *aEntries) {
        if (!entry.bFolder) {
            aNames.push_back(entry.strName);
        }
    }
    return static_cast<int>(ListWaitingPrograms(aNames).size());
}

void ReadCounts(CUnitStore& store, const CSetData& setData, const std::string& strStagingFolder,
                UnitStatus& status) {
    std::optional<std::vector<StoreEntry>> aRoot =
        store.SetFolder("") ? store.FindFiles("*") : std::nullopt;
    if (!aRoot) {
        return;
    }
    CStoreCheckup fetcher(setData, strStagingFolder);
    status.nNamed = CountListEntries(store, fetcher, HasEntry(*aRoot, kNamedListFileName, false),
                                     kNamedListFileName);
    status.nWaiting = CountWaitingPrograms(store, HasEntry(*aRoot, kWaitingFolder, true));
    std::optional<std::vector<StoreEntry>> aProgramFolder;
    if (HasEntry(*aRoot, kProgramFolder, true) && store.SetFolder(kProgramFolder)) {
        aProgramFolder = store.FindFiles("*.fno");
    }
    status.nNumbered =
        aProgramFolder
            ? CountListEntries(store, fetcher, HasEntry(*aProgramFolder, kListFileName, false),
                               kListFileName)
            : (HasEntry(*aRoot, kProgramFolder, true) ? -1 : 0);
}

bool IsMarkerThere(CUnitStore& store, const std::string& strStagingFolder) {
    if (store.Settings().nSousa != 1) {
        return HasMarkerFile(store.Settings().strUsbDrive);
    }
    const std::string strCopy = strStagingFolder + kMarkerName;
    bool bThere = store.SetFolder("/pub/") && store.GetFile(kMarkerName, strCopy);
    std::filesystem::remove(strCopy);
    return bThere;
}

}  // namespace

UnitStatus ReadUnitStatus(const UnitStoreSettings& settings, const CSetData& setData,
                          const std::string& strStagingFolder,
                          const std::function<bool(const std::string&)>& isUsableUsbDrive) {
    UnitStatus status;
    if (settings.nSousa != 1 && !isUsableUsbDrive(settings.strUsbDrive)) {
        status.strFailure =
            Format("ドライブ：%s はRZK-70では使用できません", settings.strUsbDrive.c_str());
        return status;
    }
    CUnitStore store(settings);
    if (!store.Connect()) {
        status.strFailure = store.ConnectionFailureMessage();
        return status;
    }
    status.bAnswers = true;
    std::error_code error;
    std::filesystem::create_directories(strStagingFolder, error);
    status.bReady = IsMarkerThere(store, strStagingFolder);
    if (status.bReady) {
        ReadCounts(store, setData, strStagingFolder, status);
    }
    std::filesystem::remove_all(strStagingFolder, error);
    if (store.HasConnectionFailed()) {
        status.strFailure = store.ConnectionFailureMessage();
        status.nWaiting = status.nNumbered = status.nNamed = -1;
    }
    return status;
}
