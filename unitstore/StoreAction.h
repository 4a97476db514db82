#pragma once

#include <functional>
#include <string>

#include "unitstore/UnitStore.h"

// One action of an operation on the unit file store: connect, change into one folder, the
// commands, and the close when the action goes, so that no connection outlives it. It also
// holds the rule by which every operation reports how its action ended: a connection failure
// at any step is reported with the connection-failure text, a refused folder change with the
// folder-failure text, anything else with the operation's own text.
class CStoreAction {
public:
    // Connects and changes into strFolder ("/pub/", "RzFilesOut", ...).
    CStoreAction(const UnitStoreSettings& settings, const std::string& strFolder);

    // The store stands in its folder and has not lost its connection since, nor been stopped.
    bool IsOpen() const;
    // The operator stopped the work; the step under way left nothing of itself. Not a failure:
    // StoreFailureText stays empty.
    bool WasStopped() const { return m_store.WasStopped(); }
    CUnitStore& Store() { return m_store; }
    void Close() { m_store.Close(); }

    // The store's own wording of a connection failure or of the refused folder change (UTF-8);
    // empty when the store did not fail.
    std::string StoreFailureText() const;
    // The text to report: the store's failure text, else strOwn.
    std::string Message(const std::string& strOwn) const;

private:
    CUnitStore m_store;
    bool m_bInFolder = false;
};

// How one command in one folder of the store ended.
struct StoreCommandResult {
    bool bDone = false;  // the command was carried out
    std::string strStoreFailure;
    bool bStopped = false;  // the operator stopped it; it left nothing of itself

    // The text to report: "中止しました。" after a stop, the store's failure text, else
    // strDone or strRefused.
    std::string Message(const std::string& strDone, const std::string& strRefused) const;
};

// One store action that runs one command.
StoreCommandResult RunStoreCommand(const UnitStoreSettings& settings, const std::string& strFolder,
                                   const std::function<bool(CUnitStore&)>& command);
