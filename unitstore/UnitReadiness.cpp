#include "unitstore/UnitReadiness.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/StopRequest.h"
#include "platform/Text.h"
#include "platform/UiServices.h"

namespace {

bool CheckNetworkStore(const UnitStoreSettings& settings, const std::string& strExeDir,
                       CUiServices& ui) {
    // A unit that does not answer keeps the check waiting: the operator may stop it.
    std::unique_ptr<CBusyIndicator> pBusy = ui.ShowStoppableBusy();
    std::string strStagingPath = strExeDir + kMarkerName;
    unlink(strStagingPath.c_str());
    CUnitStore store(settings);
    bool bReady =
        store.Connect() && store.SetFolder("/pub/") && store.GetFile(kMarkerName, strStagingPath);
    pBusy->Close();
    unlink(strStagingPath.c_str());
    store.Close();
    if (bReady) {
        return true;
    }
    if (store.WasStopped()) {
        ui.MessageBox(StoppedMessage());
        return false;
    }
    ui.WarningBox(store.HasConnectionFailed()
                      ? store.ConnectionFailureMessage()
                      : "RZK-70で利用できるＵＳＢメモリが接続されていません。\n"
                        "RZK-70にＵＳＢメモリを接続しているか確認してください。\n"
                        "正しくＵＳＢメモリを接続している場合は、ＵＳＢ設定を行ってください。");
    return false;
}

bool CheckUsbStore(const UnitStoreSettings& settings, const std::string& strUsbDriveName,
                   CUiServices& ui,
                   const std::function<bool(const std::string&)>& isUsableUsbDrive) {
    if (!isUsableUsbDrive(settings.strUsbDrive)) {
        ui.WarningBox(
            Format("ドライブ：%s はRZK-70では使用できません", settings.strUsbDrive.c_str()));
        return false;
    }
    if (HasMarkerFile(settings.strUsbDrive)) {
        return true;
    }
    ui.WarningBox(strUsbDriveName +
                  "\nRZK-70で利用できるＵＳＢメモリが接続されていません。\n"
                  "設定されているドライブに接続しているか確認してください。\n"
                  "正しくＵＳＢメモリを接続している場合は、ＵＳＢ設定を行ってください。");
    return false;
}

}  // namespace

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
    if (settings.nSousa == 1) {
        return CheckNetworkStore(settings, strExeDir, ui);
    }
    return CheckUsbStore(settings, strUsbDriveName, ui, isUsableUsbDrive);
}
