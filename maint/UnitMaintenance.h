#pragma once

#include <string>

struct UnitStoreSettings;

// The maintenance report of the unit as its transport reaches it (UTF-8, CR LF). Over the
// network the four files are fetched from the store's images folder into strStagingFolder (the
// program folder, ending in "/") for the time of the reading, and a unit that cannot be
// reached makes the connection failure text the whole report; on the USB memory they are read
// where they are.
std::string CollectMaintenanceReport(const UnitStoreSettings& settings,
                                     const std::string& strStagingFolder);

// Deletes the four files in the store's images folder. Nothing is reported: the report made
// afterwards shows what is still there.
void DeleteMaintenanceFiles(const UnitStoreSettings& settings);
