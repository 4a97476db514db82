#include "settings/UnitSettingsOperation.h"

#include "app/RZKSETApp.h"
#include "settings/SelRzkDlg.h"
#include "settings/SetDlg.h"

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
    if (!app.SetData.WriteUnitConfig(app.UsbDrive)) {
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
