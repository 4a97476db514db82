#include "unitstore/UnitReadiness.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/StopRequest.h"
#include "platform/Text.h"
#include "platform/UiServices.h"

namespace {

constexpr const char* kNotPreparedOverNetwork =
    "RZK-70で利用できるＵＳＢメモリが接続されていません。\n"
    "RZK-70にＵＳＢメモリを接続しているか確認してください。\n"
    "正しくＵＳＢメモリを接続している場合は、ＵＳＢ設定を行ってください。";

UnitReadiness CheckNetworkStore(const UnitStoreSettings& settings,
                                const std::string& strStagingFolder) {
    std::string strStagingPath = strStagingFolder + kMarkerName;
    unlink(strStagingPath.c_str());
    CUnitStore store(settings);
    bool bReady =
        store.Connect() && store.SetFolder("/pub/") && store.GetFile(kMarkerName, strStagingPath);
    unlink(strStagingPath.c_str());
    store.Close();
    if (bReady || store.WasStopped()) {
        return {bReady, store.WasStopped(), ""};
    }
    return {false, false,
            store.HasConnectionFailed() ? store.ConnectionFailureMessage()
                                        : std::string(kNotPreparedOverNetwork)};
}

UnitReadiness CheckUsbStore(const UnitStoreSettings& settings, const std::string& strUsbDriveName,
                            const std::function<bool(const std::string&)>& isUsableUsbDrive) {
    if (!isUsableUsbDrive(settings.strUsbDrive)) {
        return {false, false,
                Format("ドライブ：%s はRZK-70では使用できません", settings.strUsbDrive.c_str())};
    }
    if (HasMarkerFile(settings.strUsbDrive)) {
        return {true, false, ""};
    }
    return {false, false,
            strUsbDriveName +
                "\nRZK-70で利用できるＵＳＢメモリが接続されていません。\n"
                "設定されているドライブに接続しているか確認してください。\n"
                "正しくＵＳＢメモリを接続している場合は、ＵＳＢ設定を行ってください。"};
}

}  // namespace

UnitReadiness CheckUnitStore(const UnitStoreSettings& settings, const std::string& strStagingFolder,
                             const std::string& strUsbDriveName,
                             const std::function<bool(const std::string&)>& isUsableUsbDrive) {
    return settings.nSousa == 1 ? CheckNetworkStore(settings, strStagingFolder)
                                : CheckUsbStore(settings, strUsbDriveName, isUsableUsbDrive);
}

bool HasMarkerFile(const std::string& strRoot) {
    int descriptor = open((strRoot + kMarkerName).c_str(), O_RDONLY);
    if (descriptor < 0) {
        return false;
    }
    struct stat status {};
    bool bFile = fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
    close(descriptor);
    return bFile;
}

bool CheckUnitReady(const UnitStoreSettings& settings, const std::string& strExeDir,
                    const std::string& strUsbDriveName, CUiServices& ui,
                    const std::function<bool(const std::string&)>& isUsableUsbDrive) {
    // A unit that does not answer keeps the check waiting: the operator may stop it.
    std::unique_ptr<CBusyIndicator> pBusy =
        settings.nSousa == 1 ? ui.ShowStoppableBusy() : std::unique_ptr<CBusyIndicator>();
    UnitReadiness readiness =
        CheckUnitStore(settings, strExeDir, strUsbDriveName, isUsableUsbDrive);
    if (pBusy) {
        pBusy->Close();
    }
    if (readiness.bStopped) {
        ui.MessageBox(StoppedMessage());
    } else if (!readiness.bReady) {
        ui.WarningBox(readiness.strMessage);
    }
    return readiness.bReady;
}
