#pragma once

#include <functional>
#include <string>

#include "unitstore/UnitStore.h"

class CSetData;

// What the fleet view shows of one unit: whether it answers, whether its store is prepared
// (the marker "PVN_RZK70" at the root, fetched as the readiness check fetches it), and how
// many programs wait in RzFilesIn and stand in the two lists. A count is -1 when it could not
// be read.
struct UnitStatus {
    bool bAnswers = false;  // network: connected and logged in; USB memory: a usable drive
    bool bReady = false;
    int nWaiting = -1;       // numbered programs in RzFilesIn
    int nNumbered = -1;      // entries of RzFilesOut/FileList.fno
    int nNamed = -1;         // entries of FileNList.fnl
    std::string strFailure;  // why it does not answer, or how the connection was lost (UTF-8)
};

// Reads the status of the unit that settings reach, on its own connection, without changing
// the store. Staging copies go to strStagingFolder (ending in "/", made and removed here), so
// that checks of several units can run at once. isUsableUsbDrive decides the drive test of the
// USB memory transport.
UnitStatus ReadUnitStatus(const UnitStoreSettings& settings, const CSetData& setData,
                          const std::string& strStagingFolder,
                          const std::function<bool(const std::string&)>& isUsableUsbDrive);
