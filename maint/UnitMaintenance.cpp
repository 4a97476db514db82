#include "maint/UnitMaintenance.h"

#include <filesystem>
#include <system_error>

#include "maint/MaintenanceReport.h"
#include "unitstore/StoreAction.h"

namespace {

constexpr const char* kImagesFolder = "images";

void RemoveStagedFiles(const std::string& strFolder) {
    for (const char* pszName : kMaintenanceFileNames) {
        std::error_code error;
        std::filesystem::remove(strFolder + pszName, error);
    }
}

}  // namespace

std::string CollectMaintenanceReport(const UnitStoreSettings& settings,
                                     const std::string& strStagingFolder) {
    if (settings.nSousa != 1) {
        return BuildMaintenanceReport(
            ReadMaintenanceFiles(settings.strUsbDrive + kImagesFolder + "/"));
    }
    // Copies left by an earlier run must not pass for files the unit no longer has.
    RemoveStagedFiles(strStagingFolder);
    CStoreAction action(settings, kImagesFolder);
    if (action.IsOpen()) {
        for (const char* pszName : kMaintenanceFileNames) {
            action.Store().GetFile(pszName, strStagingFolder + pszName);
        }
    }
    action.Close();
    std::string strReport = action.Store().HasConnectionFailed()
                                ? action.Store().ConnectionFailureMessage()
                                : BuildMaintenanceReport(ReadMaintenanceFiles(strStagingFolder));
    RemoveStagedFiles(strStagingFolder);
    return strReport;
}

void DeleteMaintenanceFiles(const UnitStoreSettings& settings) {
    CStoreAction action(settings, kImagesFolder);
    for (const char* pszName : kMaintenanceFileNames) {
        if (action.IsOpen()) {
            action.Store().Remove(pszName);
        }
    }
}
