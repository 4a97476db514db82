#include "settings/UnitSettingsOperation.h"

#include "app/RZKSETApp.h"
#include "journal/ShopMemory.h"
#include "settings/SelRzkDlg.h"
#include "settings/SetDlg.h"

namespace {

// The unit's configuration files on the USB memory, as store names and as paths.
std::vector<std::pair<std::string, std::string>> UnitConfigFiles(const std::string& strRoot) {
    std::vector<std::pair<std::string, std::string>> aFiles;
    for (const char* pszName : {kUnitRsioName, kUnitInterfacesName}) {
        std::string strStoreName = std::string(kUnitConfigFolder) + pszName;
        aFiles.emplace_back(strStoreName, strRoot + strStoreName);
    }
    return aFiles;
}

// The files the configuration replaces are kept first; false when the operator chose not to
// go on without a copy.
bool KeepUnitConfig(const std::string& strRoot) {
    CShopMemory* pMemory = CShopMemory::Current();
    for (const auto& [strStoreName, strPath] : UnitConfigFiles(strRoot)) {
        if (pMemory != nullptr && !pMemory->KeepLocalFile(strPath)) {
            return false;
        }
    }
    return true;
}

void NoteUnitConfig(const CRZKSETApp& app, bool bWritten) {
    if (CShopMemory* pMemory = CShopMemory::Current()) {
        for (const auto& [strStoreName, strPath] : UnitConfigFiles(app.UsbDrive)) {
            pMemory->NoteFileWritten(app.StoreSettings(), JournalRecord::kDirectionToUnit, "",
                                     strStoreName, strPath, bWritten);
        }
    }
}

}  // namespace

void RunUnitSettings(QWidget* pParent) {
    CRZKSETApp& app = GetApp();
    CUiServices& ui = app.Ui();
    app.SetData.ReadUnitInDot(app.UsbDrive);
    CSetDlg dialog(pParent);
    dialog.CopyFromProfile(app.SetData);
    if (ui.RunModal(dialog) != QDialog::Accepted) {
        return;
    }
    dialog.CopyToProfile(app.SetData);
    if (!app.SetData.SaveProfile(app.SetFilePath)) {
        ui.WarningBox("パソコンに設定ファイルが作成できませんでした。");
        return;
    }
    if (!KeepUnitConfig(app.UsbDrive)) {
        return;
    }
    bool bWritten = app.SetData.WriteUnitConfig(app.UsbDrive);
    NoteUnitConfig(app, bWritten);
    if (!bWritten) {
        ui.WarningBox("RZKに設定ファイルが作成できませんでした。");
        return;
    }
    app.SetData.unitInDot = !app.SetData.ADD_DOT;
    ui.MessageBox("設定ファイルを作成しました。");
}

void RunProfileSelection(QWidget* pParent) {
    CSelRzkDlg dialog(pParent);
    GetApp().Ui().RunModal(dialog);
}
