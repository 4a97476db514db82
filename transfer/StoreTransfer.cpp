#include "transfer/StoreTransfer.h"

#include "platform/UiServices.h"
#include "unitstore/UnitStore.h"

namespace {

StoreTransferResult Transfer(CUnitStore& store, const std::function<bool(CUnitStore&)>& transfer) {
    StoreTransferResult result;
    if (store.Connect() && store.SetFolder("/pub/")) {
        result.outcome = transfer(store) ? StoreTransferResult::DONE : StoreTransferResult::REFUSED;
    } else if (!store.HasConnectionFailed()) {
        result.outcome = StoreTransferResult::FOLDER_REFUSED;
        result.strFailureText = store.FolderFailureMessage();
    }
    // An internet error at any step ends the action with the connection-failure text.
    if (store.HasConnectionFailed()) {
        result.outcome = StoreTransferResult::CONNECTION_FAILED;
        result.strFailureText = store.ConnectionFailureMessage();
    }
    return result;
}

}  // namespace

std::string StoreTransferResult::Message(const std::string& strDone,
                                         const std::string& strRefused) const {
    switch (outcome) {
        case DONE:
            return strDone;
        case REFUSED:
            return strRefused;
        default:
            return strFailureText;
    }
}

StoreTransferResult TransferAtStoreRoot(const UnitStoreSettings& settings,
                                        const std::function<bool(CUnitStore&)>& transfer) {
    CUnitStore store(settings);
    return Transfer(store, transfer);
}

void ReportOutcome(CUiServices& ui, bool bOk, const std::string& strMessage) {
    if (bOk) {
        ui.MessageBox(strMessage);
    } else {
        ui.WarningBox(strMessage);
    }
}
