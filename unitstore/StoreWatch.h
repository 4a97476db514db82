#pragma once

#include <string>
#include <vector>

#include "platform/FtpListParser.h"

class CUnitStore;

// Looks on while the unit store moves, replaces and deletes files, so that what goes can be
// kept and what happened written down. The store does not call it while it runs, so it may
// use the same store (to fetch a file before it is replaced).
class IStoreWatch {
public:
    virtual ~IStoreWatch() = default;

    // A new action has connected: what was known about the unit's folders may be stale.
    virtual void OnConnect(const CUnitStore& store) = 0;
    // Before the store file is replaced (bRemove false) or removed; false stops the command.
    virtual bool BeforeStoreChange(CUnitStore& store, const std::string& strStoreName,
                                   bool bRemove) = 0;
    // Before a group of store files of the current folder is removed one by one: what is kept
    // of them all may reach the disk at once, ahead of the first removal.
    virtual void BeforeStoreChanges(CUnitStore& store, const std::vector<std::string>& aNames) = 0;
    // Every listing of the store's current folder, whole, before the store hands it on.
    virtual void OnListed(CUnitStore& store, const std::vector<FtpListEntry>& aEntries) = 0;
    // The action is about to change its folder or to end while still connected.
    virtual void BeforeLeaveFolder(CUnitStore& store) = 0;
    // Before a download replaces a local file; false stops the download.
    virtual bool BeforeLocalReplace(const std::string& strLocalPath) = 0;

    virtual void AfterPut(const CUnitStore& store, const std::string& strLocalPath,
                          const std::string& strStoreName, bool bDone) = 0;
    virtual void AfterGet(const CUnitStore& store, const std::string& strStoreName,
                          const std::string& strLocalPath, bool bDone) = 0;
    virtual void AfterRemove(const CUnitStore& store, const std::string& strStoreName,
                             bool bDone) = 0;
};
