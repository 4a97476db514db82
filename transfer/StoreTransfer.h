#pragma once

#include <functional>
#include <string>

class CUiServices;
class CUnitStore;
struct UnitStoreSettings;

// How one transfer with the unit file store ended.
struct StoreTransferResult {
    enum Outcome { DONE, REFUSED, FOLDER_REFUSED, CONNECTION_FAILED };
    Outcome outcome = DONE;
    // The store's own wording of a folder or connection failure (UTF-8); empty otherwise.
    std::string strFailureText;

    bool IsDone() const { return outcome == DONE; }
    // The text to report: the store's wording of a folder or connection failure, else the
    // caller's text for success or for a refused transfer.
    std::string Message(const std::string& strDone, const std::string& strRefused) const;
};

// One action at the root of the store: Connect, SetFolder "/pub/", the transfer, Close. No
// connection outlives it.
StoreTransferResult TransferAtStoreRoot(const UnitStoreSettings& settings,
                                        const std::function<bool(CUnitStore&)>& transfer);

// The one report that ends an operation: a success in a plain box, a failure in a warning box.
void ReportOutcome(CUiServices& ui, bool bOk, const std::string& strMessage);
