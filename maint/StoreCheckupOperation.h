#pragma once

#include <optional>
#include <string>

#include "maint/StoreCheckup.h"

// Looks the store of the current transport over (CStoreCheckup) under the busy dialog and
// shows what it found, the names behind each problem on request.
void RunStoreCheckup();

// The same look without showing it: the checks made, and the failure text when the store
// failed (then the checks are nullopt).
struct StoreCheckupResult {
    std::optional<CStoreCheckup> checkup;
    std::string strFailure;
};
StoreCheckupResult CheckCurrentStore();
