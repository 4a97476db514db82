#include "transfer/SampleOperation.h"

#include <filesystem>

#include "app/RZKSETApp.h"
#include "journal/ShopMemory.h"
#include "platform/Text.h"
#include "transfer/SampleDlg.h"
#include "transfer/SampleProgram.h"
#include "unitstore/StoreAction.h"

void RunSampleProgram(QWidget* pParent) {
    CRZKSETApp& app = GetApp();
    CUiServices& ui = app.Ui();
    CSampleDlg dialog(pParent);
    if (!ui.QuestionBox(
            "サンプルは単純送信用のデータとして作成されます。\n作成してもよろしいですか？", true) ||
        ui.RunModal(dialog) != QDialog::Accepted) {
        return;
    }

    // On the USB memory the sample is written straight into the store; over the network it is
    // staged in the program folder and uploaded.
    std::string strOutputName = CUnitStore::OutputName(app.SetData);
    bool bNetwork = app.Sousa == 1;
    std::string strPath = (bNetwork ? app.ExeDir : app.UsbDrive) + Cp932ToDisplay(strOutputName);
    CShopMemory* pMemory = bNetwork ? nullptr : CShopMemory::Current();
    if (pMemory != nullptr && !pMemory->KeepLocalFile(strPath)) {
        return;
    }
    bool bWritten = WriteSampleProgram(strPath, dialog.m_nKind, dialog.m_nProgramNumber,
                                       dialog.m_strCallName, dialog.m_nCallNumber);
    if (pMemory != nullptr) {
        pMemory->NoteFileWritten(app.StoreSettings(), JournalRecord::kDirectionToUnit, "",
                                 strOutputName, strPath, bWritten);
    }
    if (!bWritten) {
        ui.WarningBox("サンプルの作成に失敗しました。");
        return;
    }

    std::unique_ptr<CBusyIndicator> pBusy = ui.ShowBusy();
    // On the USB memory the sample is already where it belongs.
    StoreCommandResult result{true, {}};
    if (bNetwork) {
        result = RunStoreCommand(app.StoreSettings(), "/pub/", [&](CUnitStore& store) {
            return store.PutFile(strPath, strOutputName);
        });
        std::error_code error;
        std::filesystem::remove(strPath, error);
    }
    pBusy->Close();
    std::string strMessage =
        result.Message("サンプルの登録が正常終了しました。", "サンプルの登録に失敗しました。");
    ui.ReportOutcome(result.bDone, strMessage);
}
