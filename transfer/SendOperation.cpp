#include "transfer/SendOperation.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/RZKSETApp.h"
#include "journal/JournalScope.h"
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

SendReport SendFile(const std::string& strLocalPath, const UnitStoreSettings& settings,
                    const std::string& strOutputName) {
    std::string strFileName = strLocalPath.substr(FolderOfPath(strLocalPath).size());
    if (int nError = ProbeFileForRead(strLocalPath); nError != 0) {
        return {Format("%sの登録に失敗しました。\n%s", strFileName.c_str(),
                       LocalReadFailureReason(nError).c_str()),
                false,
                {},
                false};
    }
    CProgress::StartFile(strFileName, 0, 1);
    StoreCommandResult result = RunStoreCommand(settings, "/pub/", [&](CUnitStore& store) {
        return store.PutFile(strLocalPath, strOutputName);
    });
    return {result.Message(Format("%sの登録が正常終了しました。", strFileName.c_str()),
                           Format("%sの登録に失敗しました。", strFileName.c_str())),
            result.bDone,
            {},
            result.bStopped};
}

// The files are merged into a tape in the staging folder, which goes to the unit only when
// every file went into it: a tape missing one of the chosen programs must not reach the
// machine.
SendReport SendMerged(const std::vector<std::string>& aPaths, const UnitStoreSettings& settings,
                      const std::string& strOutputName, const std::string& strStagingFolder) {
    std::string strMergedPath = strStagingFolder + Cp932ToDisplay(strOutputName);
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
    CJournalScope::SetSources(merge.aMergedNames);
    StoreCommandResult result = RunStoreCommand(settings, "/pub/", [&](CUnitStore& store) {
        return store.PutFile(strMergedPath, strOutputName);
    });
    std::error_code error;
    std::filesystem::remove(strMergedPath, error);
    return {result.Message(Format("%dファイルの登録が正常終了しました。",
                                  static_cast<int>(merge.aMergedNames.size())),
                           "登録に失敗しました。"),
            result.bDone, std::move(merge.aMergedNames), result.bStopped};
}

// Remembers the files' folder, then lets the tape check ask; false when the operator stopped
// there and nothing is to be sent.
bool AcceptChosenFiles(const std::vector<std::string>& aPaths) {
    CRZKSETApp& app = GetApp();
    // All chosen files share one folder; the last path looked at names it.
    app.NC_Dir = FolderOfPath(aPaths[std::min<size_t>(aPaths.size(), 2) - 1]);
    return CTapeCheck::ConfirmFiles(app.Ui(), aPaths, true, app.SetData.REMOTE_NO,
                                    app.SetData.REMOTE_NO2);
}

// The files to the current profile's unit, behind the busy dialog.
SendReport SendToCurrentUnit(const std::vector<std::string>& aPaths) {
    CRZKSETApp& app = GetApp();
    std::unique_ptr<CBusyIndicator> pBusy = app.Ui().ShowStoppableBusy();
    SendReport report =
        SendPrograms(aPaths, app.StoreSettings(), CUnitStore::OutputName(app.SetData), app.ExeDir);
    pBusy->Close();
    return report;
}

}  // namespace

std::vector<std::string> ChooseProgramFiles(const std::vector<std::string>& aDroppedPaths) {
    CRZKSETApp& app = GetApp();
    std::vector<std::string> aPaths = !aDroppedPaths.empty()
                                          ? aDroppedPaths
                                          : app.Ui().OpenFiles(ProgramFileDialogOptions(
                                                app.SetData.ADD_DOT, app.SetData.DOT, app.NC_Dir));
    if (aPaths.empty() || !AcceptChosenFiles(aPaths)) {
        return {};
    }
    return aPaths;
}

SendReport SendPrograms(const std::vector<std::string>& aPaths, const UnitStoreSettings& settings,
                        const std::string& strOutputName, const std::string& strStagingFolder) {
    return aPaths.size() == 1 ? SendFile(aPaths.front(), settings, strOutputName)
                              : SendMerged(aPaths, settings, strOutputName, strStagingFolder);
}

std::optional<SendReport> SendChosenFiles(const std::vector<std::string>& aPaths) {
    if (!AcceptChosenFiles(aPaths)) {
        return std::nullopt;
    }
    return SendToCurrentUnit(aPaths);
}

void RunSimpleSend(QWidget* pParent, const std::vector<std::string>& aDroppedPaths) {
    CUiServices& ui = GetApp().Ui();
    std::vector<std::string> aPaths = ChooseProgramFiles(aDroppedPaths);
    if (aPaths.empty()) {
        return;
    }
    SendReport report = SendToCurrentUnit(aPaths);

    if (report.bOk && aPaths.size() > 1) {
        CMRetDlg dialog(report.aMergedNames, pParent);
        dialog.m_strMessage = report.strMessage;
        ui.RunModal(dialog);
    } else {
        ui.ReportOutcome(report.bOk || report.bStopped, report.strMessage);
    }
}
