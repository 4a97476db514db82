#include "transfer/ReceiveOperation.h"

#include <filesystem>

#include "app/RZKSETApp.h"
#include "journal/ShopMemory.h"
#include "numlist/Registration.h"
#include "platform/LocalFailure.h"
#include "platform/Progress.h"
#include "platform/StopRequest.h"
#include "platform/Text.h"
#include "transfer/OBunkaiDlg.h"
#include "transfer/ProgramSplitter.h"
#include "transfer/ReplacedPrograms.h"
#include "transfer/SelInTypeDlg.h"
#include "unitstore/StoreAction.h"

namespace {

// What a receive found about the files it replaced goes on the lines after its end message.
std::string WithLeadingLineBreak(const std::string& strReport) {
    return strReport.empty() ? strReport : "\n" + strReport;
}

// A transfer answers only whether it was done: when it was not, the PC folder it wrote into is
// asked whether it can take a file. The line this adds tells a full disk, a read-only folder or
// a drive that has gone from a file the unit did not send; empty when the folder is fine.
std::string LocalReasonLine(const std::string& strPath) {
    int nError = ProbeFolderForWrite(strPath);
    return nError == 0 ? std::string() : Format("\n%s", LocalFailureReason(nError).c_str());
}

// A split that stopped part-way tells how many files it wrote, and where and why it stopped,
// so that the operator knows which files of the folder are new.
std::string SplitStopLines(const SplitResult& split) {
    if (split.bOk || split.bStopped || split.strFailedName.empty()) {
        return {};
    }
    return Format("\n%dファイルを書き込んだところで止まりました。\n%s: %s", split.nWritten,
                  split.strFailedName.c_str(), LocalFailureReason(split.nError).c_str());
}

}  // namespace

void RunNormalReceive() {
    CRZKSETApp& app = GetApp();
    CUiServices& ui = app.Ui();
    std::optional<std::string> path =
        ui.SaveFile(ProgramFileDialogOptions(app.SetData.ADD_DOT, app.SetData.DOT, app.NC_Dir));
    if (!path) {
        return;
    }
    app.NC_Dir = FolderOfPath(*path);
    std::string strFileName = path->substr(app.NC_Dir.size());

    std::unique_ptr<CBusyIndicator> pBusy = ui.ShowStoppableBusy();
    std::string strInputName = CUnitStore::InputName(app.SetData);
    CProgress::StartFile(strFileName, 0, 1);
    CReplacedPrograms replaced;
    replaced.Remember(*path);
    StoreCommandResult result =
        RunStoreCommand(app.StoreSettings(), "/pub/",
                        [&](CUnitStore& store) { return store.GetFile(strInputName, *path); });
    if (result.bDone && app.Sousa == 0) {
        StampWithNow(*path);
    }
    std::string strMessage =
        result.Message(Format("%sの登録が正常終了しました。", strFileName.c_str()),
                       Format("%sの登録に失敗しました。", strFileName.c_str()));
    if (result.bDone) {
        strMessage += WithLeadingLineBreak(replaced.FileReport());
    } else if (result.strStoreFailure.empty()) {
        strMessage += LocalReasonLine(*path);
    }
    pBusy->Close();
    ui.ReportOutcome(result.bDone || result.bStopped, strMessage);
}

namespace {

// Each program the split writes: what the PC file held is kept first, and its journal line
// follows once the split has ended.
void RememberSplitFile(CReplacedPrograms& replaced, const std::string& strPath) {
    replaced.Remember(strPath);
    if (CShopMemory* pMemory = CShopMemory::Current()) {
        pMemory->KeepLocalFile(strPath, false);
    }
}

// The files the split wrote are done; the one it could not write, if any, failed or was
// stopped.
void NoteSplitFiles(const CReplacedPrograms& replaced, const SplitResult& split,
                    const std::string& strDestinationFolder) {
    CRZKSETApp& app = GetApp();
    CShopMemory* pMemory = CShopMemory::Current();
    if (pMemory == nullptr) {
        return;
    }
    auto note = [&](const std::string& strPath, bool bDone) {
        pMemory->NoteFileWritten(app.StoreSettings(), JournalRecord::kDirectionToPc, strPath,
                                 CUnitStore::InputName(app.SetData), strPath, bDone,
                                 split.bStopped);
    };
    for (const std::string& strPath : replaced.WrittenPaths()) {
        note(strPath, true);
    }
    if (!split.bOk && !split.strFailedName.empty()) {
        note(strDestinationFolder + split.strFailedName, false);
    }
}

// A stopped split names how many program files it finished; the folder report below names them.
std::string SplitMessage(const SplitResult& split) {
    if (split.bStopped) {
        return StoppedMessage(Format("%dファイルを書き込みました。", split.nWritten));
    }
    return split.bOk ? "登録が正常終了しました。" : "登録に失敗しました。";
}

// Splits the tape, keeping what each replaced file held; a file the split could not write was
// not replaced.
SplitResult SplitRemembering(const std::string& strSource, const std::string& strDestinationFolder,
                             const std::string& strSuffix, CReplacedPrograms& replaced) {
    SplitResult split = SplitByProgramNumber(
        strSource, strDestinationFolder, strSuffix,
        [&](const std::string& strPath) { RememberSplitFile(replaced, strPath); });
    if (!split.bOk) {
        replaced.Forget(strDestinationFolder + split.strFailedName);
    }
    return split;
}

// Over the network the input file is fetched into the program folder first and split from
// there; the staging copy goes whatever happens. The message of the fetch, or of the split.
std::string SplitFromNetwork(const std::string& strDestinationFolder, const std::string& strSuffix,
                             CReplacedPrograms& replaced, SplitResult& split) {
    CRZKSETApp& app = GetApp();
    std::string strInputName = CUnitStore::InputName(app.SetData);
    std::string strStagingPath = app.ExeDir + Cp932ToDisplay(strInputName);
    std::error_code error;
    std::filesystem::remove(strStagingPath, error);
    CProgress::StartFile(Cp932ToDisplay(strInputName), 0, 1);
    StoreCommandResult result = RunStoreCommand(
        app.StoreSettings(), "/pub/",
        [&](CUnitStore& store) { return store.GetFile(strInputName, strStagingPath); });
    std::string strMessage = result.Message("", "読み込みに失敗しました。");
    split.bStopped = result.bStopped;
    if (result.bDone) {
        split = SplitRemembering(strStagingPath, strDestinationFolder, strSuffix, replaced);
        strMessage = SplitMessage(split) + SplitStopLines(split);
    } else if (result.strStoreFailure.empty()) {
        strMessage += LocalReasonLine(strStagingPath);
    }
    std::filesystem::remove(strStagingPath, error);
    return strMessage;
}

void ReceiveSplit(QWidget* pParent) {
    CRZKSETApp& app = GetApp();
    CUiServices& ui = app.Ui();
    COBunkaiDlg dialog(pParent);
    dialog.m_strBaseFolder = app.NC_Dir;
    if (app.SetData.ADD_DOT) {
        dialog.m_strExtension = Cp932ToDisplay(app.SetData.DOT);
        dialog.m_bExtensionEditable = false;
    } else {
        dialog.m_bExtensionEditable = true;
    }
    if (ui.RunModal(dialog) != QDialog::Accepted) {
        return;
    }

    std::unique_ptr<CBusyIndicator> pBusy = ui.ShowStoppableBusy();
    app.NC_Dir = dialog.m_strBaseFolder;
    std::string strDestinationFolder = dialog.m_strBaseFolder + dialog.m_strFolderName;
    std::error_code error;
    std::filesystem::create_directory(strDestinationFolder, error);
    strDestinationFolder += "/";
    std::string strSuffix = "." + dialog.m_strExtension;

    SplitResult split;
    std::string strMessage;
    CReplacedPrograms replaced;
    if (app.Sousa == 1) {
        strMessage = SplitFromNetwork(strDestinationFolder, strSuffix, replaced, split);
    } else {
        std::string strSource = app.UsbDrive + Cp932ToDisplay(CUnitStore::InputName(app.SetData));
        split = SplitRemembering(strSource, strDestinationFolder, strSuffix, replaced);
        strMessage = SplitMessage(split) + SplitStopLines(split);
    }
    NoteSplitFiles(replaced, split, strDestinationFolder);
    // Files replaced before a failure are reported as well: the operator sees what changed.
    strMessage += WithLeadingLineBreak(replaced.FolderReport());
    pBusy->Close();
    ui.ReportOutcome(split.bOk || split.bStopped, strMessage);
}

}  // namespace

void RunSimpleReceive(QWidget* pParent) {
    CSelInTypeDlg dialog(pParent);
    GetApp().Ui().RunModal(dialog);
    if (dialog.m_nSelect == CSelInTypeDlg::SELECT_NORMAL) {
        RunNormalReceive();
    } else if (dialog.m_nSelect == CSelInTypeDlg::SELECT_SPLIT) {
        ReceiveSplit(pParent);
    }
}
