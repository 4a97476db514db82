#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "unitstore/UnitStore.h"

// A folder listing as sorted names, folders marked with a final "/", so that a test compares it
// in one expectation whatever order the server listed it in.
inline std::vector<std::string> Described(const std::optional<std::vector<StoreEntry>>& entries) {
    std::vector<std::string> aDescribed;
    for (const StoreEntry& entry : entries.value_or(std::vector<StoreEntry>())) {
        aDescribed.push_back(entry.strName + (entry.bFolder ? "/" : ""));
    }
    std::sort(aDescribed.begin(), aDescribed.end());
    return aDescribed;
}
