#include "maint/StoreCheckupOperation.h"

#include "app/RZKSETApp.h"
#include "maint/StoreCheckup.h"
#include "platform/UiServices.h"
#include "unitstore/StoreAction.h"

void RunStoreCheckup() {
    CRZKSETApp& app = GetApp();
    CUiServices& ui = app.Ui();
    std::unique_ptr<CBusyIndicator> pBusy = ui.ShowBusy();
    CStoreAction action(app.StoreSettings(), "");
    CStoreCheckup checkup(app.SetData, app.ExeDir);
    const bool bDone = action.IsOpen() && checkup.Run(action.Store());
    action.Close();
    pBusy->Close();
    if (!bDone) {
        ui.WarningBox(action.Message("ストアの点検に失敗しました。"));
        return;
    }
    ui.ReportWithDetails(!checkup.HasProblems(), checkup.Summary(), checkup.Details());
}
