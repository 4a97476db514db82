#pragma once

#include <functional>
#include <string>

#include "unitstore/UnitStore.h"

class CUiServices;

// The check before every operation that touches the unit: the store is reachable and holds
// the marker file "PVN_RZK70" at its root. Network: shows the busy dialog, fetches the marker
// from "/pub/" into strExeDir (the copy is removed again whatever happens). USB memory: the
// drive must pass isUsableUsbDrive and hold the marker. When the answer is no, the reason has
// been reported in a warning box, after the busy dialog was closed. strExeDir ends in "/";
// strUsbDriveName is the drive's display name (UTF-8).
bool CheckUnitReady(const UnitStoreSettings& settings, const std::string& strExeDir,
                    const std::string& strUsbDriveName, CUiServices& ui,
                    const std::function<bool(const std::string&)>& isUsableUsbDrive);

// The same check without the user interface, for work on several units at once: the marker
// is fetched into strStagingFolder, and the answer carries the text the warning would show.
struct UnitReadiness {
    bool bReady = false;
    bool bStopped = false;  // the operator stopped the check
    std::string strMessage;
};
UnitReadiness CheckUnitStore(const UnitStoreSettings& settings, const std::string& strStagingFolder,
                             const std::string& strUsbDriveName,
                             const std::function<bool(const std::string&)>& isUsableUsbDrive);

// The file at the store root that marks a memory prepared for the unit.
constexpr const char* kMarkerName = "PVN_RZK70";

// Whether the folder strRoot (ending in "/") holds the marker "PVN_RZK70": a regular file that
// opens for reading. A folder of that name is no marker. The one marker test of the program.
bool HasMarkerFile(const std::string& strRoot);
