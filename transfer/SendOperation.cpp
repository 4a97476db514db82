#include "transfer/SendOperation.h"

#include <filesystem>

#include "app/RZKSETApp.h"
#include "numlist/Registration.h"
#include "platform/LocalFailure.h"
#include "platform/Progress.h"
#include "platform/StopRequest.h"
#include "platform/Text.h"
#include "transfer/MRetDlg.h"
#include "transfer/ProgramMerger.h"
#include "transfer/TapeCheck.h"
#include "unitstore/StoreAction.h"

namespace {

struct SendReport {
    std::string strMessage;
    bool bOk = false;
    std::vector<std::string> aMergedNames;
    bool bStopped = false;  // nothing reached the unit: the file stayed as it was
};

SendReport SendFile(const std::string& strLocalPath, const std::string& strFileName) {
    CRZKSETApp& app = GetApp();
    std::string strOutputName = CUnitStore::OutputName(app.SetData);
    CProgress::StartFile(strFileName, 0, 1);
    StoreCommandResult result = RunStoreCommand(
        app.StoreSettings(), "/pub/",
        [&](CUnitStore& store) { return store.PutFile(strLocalPath, strOutputName); });
    return {result.Message(Format("%sの登録が正常終了しました。", strFileName.c_str()),
                           Format("%sの登録に失敗しました。", strFileName.c_str())),
            result.bDone,
            {},
            result.bStopped};
}

// The files are merged into a tape in the program folder, which goes to the unit only when
// every file went into it: a tape missing one of the chosen programs must not reach the
// machine.
SendReport SendMerged(const std::vector<std::string>& aPaths) {
    CRZKSETApp& app = GetApp();
    std::string strOutputName = CUnitStore::OutputName(app.SetData);
    std::string strMergedPath = app.ExeDir + Cp932ToDisplay(strOutputName);
    MergeResult merge = MergeProgramFiles(aPaths, strMergedPath);
    if (merge.bStopped) {
        return {StoppedMessage(), false, {}, true};
    }
    if (!merge.bOk) {
        // The tape is written on the PC: a full disk there is said as such.
        return {merge.strFailedName.empty()
                    ? "登録に失敗しました。\n" + LocalFailureReason(merge.nWriteError)
                    : Format("%sの登録に失敗しました。", merge.strFailedName.c_str()),
                false,
                {}};
    }
    CProgress::StartFile(Cp932ToDisplay(strOutputName), 0, 1);
    StoreCommandResult result = RunStoreCommand(
        app.StoreSettings(), "/pub/",
        [&](CUnitStore& store) { return store.PutFile(strMergedPath, strOutputName); });
    std::error_code error;
    std::filesystem::remove(strMergedPath, error);
    return {result.Message(Format("%dファイルの登録が正常終了しました。",
                                  static_cast<int>(merge.aMergedNames.size())),
                           "登録に失敗しました。"),
            result.bDone, std::move(merge.aMergedNames), result.bStopped};
}

}  // namespace

void RunSimpleSend(QWidget* pParent, const std::vector<std::string>& aDroppedPaths) {
    CRZKSETApp& app = GetApp();
    CUiServices& ui = app.Ui();
    std::vector<std::string> aPaths = !aDroppedPaths.empty()
                                          ? aDroppedPaths
                                          : ui.OpenFiles(ProgramFileDialogOptions(
                                                app.SetData.ADD_DOT, app.SetData.DOT, app.NC_Dir));
    if (aPaths.empty()) {
        return;
    }
    // All chosen files share one folder; the last path looked at names it.
    const std::string& strLastPath = aPaths[std::min<size_t>(aPaths.size(), 2) - 1];
    app.NC_Dir = FolderOfPath(strLastPath);
    std::string strFileName = strLastPath.substr(app.NC_Dir.size());
    if (!CTapeCheck::ConfirmFiles(ui, aPaths, true, app.SetData.REMOTE_NO,
                                  app.SetData.REMOTE_NO2)) {
        return;
    }

    std::unique_ptr<CBusyIndicator> pBusy = ui.ShowStoppableBusy();
    SendReport report =
        aPaths.size() == 1 ? SendFile(aPaths.front(), strFileName) : SendMerged(aPaths);
    pBusy->Close();

    if (report.bOk && aPaths.size() > 1) {
        CMRetDlg dialog(report.aMergedNames, pParent);
        dialog.m_strMessage = report.strMessage;
        ui.RunModal(dialog);
    } else {
        ui.ReportOutcome(report.bOk || report.bStopped, report.strMessage);
    }
}
