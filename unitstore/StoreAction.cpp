#include "unitstore/StoreAction.h"

#include "platform/StopRequest.h"

CStoreAction::CStoreAction(const UnitStoreSettings& settings, const std::string& strFolder)
    : m_store(settings) {
    m_bInFolder = m_store.Connect() && m_store.SetFolder(strFolder);
}

bool CStoreAction::IsOpen() const {
    return m_bInFolder && !m_store.HasConnectionFailed() && !m_store.WasStopped();
}

std::string CStoreAction::StoreFailureText() const {
    if (m_store.WasStopped()) {
        return {};
    }
    if (m_store.HasConnectionFailed()) {
        return m_store.ConnectionFailureMessage();
    }
    return m_bInFolder ? std::string() : m_store.FolderFailureMessage();
}

std::string CStoreAction::Message(const std::string& strOwn) const {
    std::string strStoreFailure = StoreFailureText();
    return strStoreFailure.empty() ? strOwn : strStoreFailure;
}

std::string StoreCommandResult::Message(const std::string& strDone,
                                        const std::string& strRefused) const {
    if (bStopped) {
        return StoppedMessage();
    }
    if (!strStoreFailure.empty()) {
        return strStoreFailure;
    }
    return bDone ? strDone : strRefused;
}

StoreCommandResult RunStoreCommand(const UnitStoreSettings& settings, const std::string& strFolder,
                                   const std::function<bool(CUnitStore&)>& command) {
    CStoreAction action(settings, strFolder);
    StoreCommandResult result;
    result.bDone = action.IsOpen() && command(action.Store());
    result.bStopped = action.WasStopped();
    result.strStoreFailure = action.StoreFailureText();
    // A command that lost the connection was not carried out, whatever it answered.
    result.bDone = result.bDone && result.strStoreFailure.empty();
    return result;
}
