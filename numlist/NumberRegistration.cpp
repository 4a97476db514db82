#include "numlist/NumberRegistration.h"

#include <filesystem>

#include "app/RZKSETApp.h"
#include "numlist/FileNo.h"
#include "numlist/Registration.h"
#include "numlist/UnitListFile.h"
#include "platform/Progress.h"
#include "platform/Text.h"
#include "unitstore/StoreAction.h"

namespace {

const ListFileLocation kNumberList{kProgramFolder, kListFileName};

}  // namespace

std::string OpenNumberList(CFileNo& list) {
    CRZKSETApp& app = GetApp();
    if (app.Sousa == 1) {
        std::error_code error;
        std::filesystem::remove(LocalListPath(kNumberList), error);
    }
    CStoreAction action(app.StoreSettings(), "/pub/");
    CUnitStore& store = action.Store();
    std::string strFailure;
    if (action.IsOpen()) {
        store.CreateDirectory(kProgramFolder);
        strFailure =
            store.SetFolder(kProgramFolder)
                ? ReadListFile(store, store.FindFiles(kListFileName), kNumberList, list).strFailure
                : store.FolderFailureMessage();
    }
    action.Close();
    return action.Message(strFailure);
}

std::string RegisterNumberedFiles(CStoreAction& action, CFileNo& list,
                                  const std::vector<std::string>& aFiles, int nNo, size_t nPosition,
                                  const std::function<void(size_t)>& onInserted) {
    CRZKSETApp& app = GetApp();
    int nDone = 0;
    for (const std::string& strFile : aFiles) {
        if (!action.IsOpen()) {
            break;
        }
        app.Ui().PumpMessages();
        CProgress::StartFile(NameOfPath(strFile), nDone++, static_cast<int>(aFiles.size()));
        if (!list.IsFreeNo(nNo)) {
            return Format("%dは登録できません。", nNo);
        }
        std::optional<std::string> strName = ListNameOfFile(strFile, app.SetData.ADD_DOT);
        if (!strName || !action.Store().PutFile(strFile, ProgramFileName(nNo))) {
            // A stop is no failure of the file: the caller says what was registered.
            if (action.WasStopped()) {
                return {};
            }
            std::string strShown = strName ? Cp932ToDisplay(*strName) : NameOfPath(strFile);
            return Format("%sの登録に失敗しました。", strShown.c_str());
        }
        list.m_aData.insert(list.m_aData.begin() + static_cast<std::ptrdiff_t>(nPosition),
                            {nNo, *strName, ""});
        if (onInserted) {
            onInserted(nPosition);
        }
        ++nPosition;
        ++nNo;
    }
    return {};
}

std::string NumberListWriteFailureText() {
    return Format("%s の上書きに失敗しました。", kListFileName);
}

std::string SaveNumberList(const CFileNo& list) {
    return WriteBackListFile(
        kNumberList, list, [](const std::string&) { return NumberListWriteFailureText(); },
        [](CStoreAction& action) { return action.StoreFailureText(); });
}
