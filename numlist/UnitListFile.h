#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "unitstore/UnitStore.h"

class CFileNo;
class CStoreAction;

// Where a list file lives: its folder in the store ("" for the root) and its name.
struct ListFileLocation {
    std::string strFolder;
    std::string strFileName;
};

// What opening a list found of its list file on the unit.
struct ListFileRead {
    // The folder's listing shows no such file: the list starts empty.
    bool bAbsent = false;
    // CFileNo::Load's result when the file was read.
    int nLoadResult = 0;
    // The file is there but could not be read: the message naming it and why; empty otherwise.
    std::string strFailure;
};

// The unit's program list files, read when a list is opened and written back when it closes,
// over the current transport. The list dialogs and the command line share them.

// The copy of the list file on the PC while it travels over the network.
std::string LocalListPath(const ListFileLocation& location);
// The list file on the USB memory, read and written in place.
std::string UsbListPath(const ListFileLocation& location);

// With the store in the list's folder, reads the list file into list. The list is new only
// when the folder's listing shows no file of its name: a file that is there but cannot be read
// (refused by the unit, the PC's disk full, an unreadable file on the memory) is a failure,
// never an empty list that closing would write over it. Without a listing the file is taken to
// be there.
ListFileRead ReadListFile(CUnitStore& store, const std::optional<std::vector<StoreEntry>>& listing,
                          const ListFileLocation& location, CFileNo& list);

// Saves the list and, over the network, uploads it. failureText names a list file that could
// not be saved or uploaded, storeFailureText words a failed store action. The message of a
// failure, "" on success.
std::string WriteBackListFile(const ListFileLocation& location, const CFileNo& list,
                              const std::function<std::string(const std::string&)>& failureText,
                              const std::function<std::string(CStoreAction&)>& storeFailureText);
