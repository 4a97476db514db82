#include "maint/StoreCheckupOperation.h"

#include "app/RZKSETApp.h"
#include "maint/StoreCheckup.h"
#include "platform/UiServices.h"
#include "unitstore/StoreAction.h"

StoreCheckupResult CheckCurrentStore() {
    CRZKSETApp& app = GetApp();
    std::unique_ptr<CBusyIndicator> pBusy = app.Ui().ShowBusy();
    CStoreAction action(app.StoreSettings(), "");
    StoreCheckupResult result;
    result.checkup.emplace(app.SetData, app.ExeDir);
    if (!action.IsOpen() || !result.checkup->Run(action.Store())) {
        result.checkup.reset();
        result.strFailure = action.Message("ストアの点検に失敗しました。");
    }
    action.Close();
    pBusy->Close();
    return result;
}

void RunStoreCheckup() {
    CUiServices& ui = GetApp().Ui();
    StoreCheckupResult result = CheckCurrentStore();
    if (!result.checkup) {
        ui.WarningBox(result.strFailure);
        return;
    }
    const CStoreCheckup& checkup = *result.checkup;
    ui.ReportWithDetails(!checkup.HasProblems(), checkup.Summary(), checkup.Details());
}
