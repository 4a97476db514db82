#include "transfer/ReceiveOperation.h"

#include <filesystem>

#include "app/RZKSETApp.h"
#include "journal/ShopMemory.h"
#include "numlist/Registration.h"
#include "platform/Progress.h"
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

void ReceiveNormally() {
    CRZKSETApp& app = GetApp();
    CUiServices& ui = app.Ui();
    std::optional<std::string> path =
        ui.SaveFile(ProgramFileDialogOptions(app.SetData.ADD_DOT, app.SetData.DOT, app.NC_Dir));
    if (!path) {
        return;
    }
    app.NC_Dir = FolderOfPath(*path);
    std::string strFileName = path->substr(app.NC_Dir.size());

    std::unique_ptr<CBusyIndicator> pBusy = ui.ShowBusy();
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
    }
    pBusy->Close();
    ui.ReportOutcome(result.bDone, strMessage);
}

// Each program the split writes: what the PC file held is kept first, and its journal line
// follows once the split has ended.
void RememberSplitFile(CReplacedPrograms& replaced, const std::string& strPath) {
    replaced.Remember(strPath);
    if (CShopMemory* pMemory = CShopMemory::Current()) {
        pMemory->KeepLocalFile(strPath, false);
    }
}

void NoteSplitFiles(const CReplacedPrograms& replaced, bool bOk) {
    CRZKSETApp& app = GetApp();
    if (CShopMemory* pMemory = CShopMemory::Current()) {
        for (const std::string& strPath : replaced.WrittenPaths()) {
            pMemory->NoteFileWritten(app.StoreSettings(), JournalRecord::kDirectionToPc, strPath,
                                     CUnitStore::InputName(app.SetData), strPath, bOk);
        }
    }
}

const char* SplitMessage(bool bOk) {
    return bOk ? "登録が正常終了しました。" : "登録に失敗しました。";
}

// Over the network the input file is fetched into the program folder first and split from
// there; the staging copy goes whatever happens.
StoreCommandResult SplitFromNetwork(const std::string& strDestinationFolder,
                                    const std::string& strSuffix, CReplacedPrograms& replaced,
                                    bool& bSplit) {
    CRZKSETApp& app = GetApp();
    std::string strInputName = CUnitStore::InputName(app.SetData);
    std::string strStagingPath = app.ExeDir + Cp932ToDisplay(strInputName);
    std::error_code error;
    std::filesystem::remove(strStagingPath, error);
    CProgress::StartFile(Cp932ToDisplay(strInputName), 0, 1);
    StoreCommandResult result = RunStoreCommand(
        app.StoreSettings(), "/pub/",
        [&](CUnitStore& store) { return store.GetFile(strInputName, strStagingPath); });
    bSplit = result.bDone && SplitByProgramNumber(strStagingPath, strDestinationFolder, strSuffix,
                                                  [&](const std::string& strPath) {
                                                      RememberSplitFile(replaced, strPath);
                                                  });
    std::filesystem::remove(strStagingPath, error);
    return result;
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

    std::unique_ptr<CBusyIndicator> pBusy = ui.ShowBusy();
    app.NC_Dir = dialog.m_strBaseFolder;
    std::string strDestinationFolder = dialog.m_strBaseFolder + dialog.m_strFolderName;
    std::error_code error;
    std::filesystem::create_directory(strDestinationFolder, error);
    strDestinationFolder += "/";
    std::string strSuffix = "." + dialog.m_strExtension;

    bool bOk = false;
    std::string strMessage;
    CReplacedPrograms replaced;
    if (app.Sousa == 1) {
        StoreCommandResult result =
            SplitFromNetwork(strDestinationFolder, strSuffix, replaced, bOk);
        strMessage = result.Message(SplitMessage(bOk), "読み込みに失敗しました。");
    } else {
        std::string strSource = app.UsbDrive + Cp932ToDisplay(CUnitStore::InputName(app.SetData));
        bOk = SplitByProgramNumber(
            strSource, strDestinationFolder, strSuffix,
            [&](const std::string& strPath) { RememberSplitFile(replaced, strPath); });
        strMessage = SplitMessage(bOk);
    }
    NoteSplitFiles(replaced, bOk);
    if (bOk) {
        strMessage += WithLeadingLineBreak(replaced.FolderReport());
    }
    pBusy->Close();
    ui.ReportOutcome(bOk, strMessage);
}

}  // namespace

void RunSimpleReceive(QWidget* pParent) {
    CSelInTypeDlg dialog(pParent);
    GetApp().Ui().RunModal(dialog);
    if (dialog.m_nSelect == CSelInTypeDlg::SELECT_NORMAL) {
        ReceiveNormally();
    } else if (dialog.m_nSelect == CSelInTypeDlg::SELECT_SPLIT) {
        ReceiveSplit(pParent);
    }
}
