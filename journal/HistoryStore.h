#pragma once

#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <string_view>

// The kept versions of replaced and deleted programs: one file a version in the history
// folder, named after the SHA-256 of its bytes, so the same bytes are kept once. A version is
// written to a temporary name and renamed into place, so a kill leaves no half version under
// a version's name. Versions older than the age limit go first, then the oldest until the
// size limit holds; keeping bytes already kept makes them young again. The version just kept
// never goes for the limits, even when it alone passes the size: it is what the operator may
// need back next. Versions are written without waiting for the disk; Sync puts every version
// written since on the medium at once, which the caller does before the original goes.
class CHistoryStore {
public:
    struct Limits {
        int64_t nMaxBytes = 500LL * 1024 * 1024;
        int nMaxDays = 180;
    };

    // strFolder ends in "/"; it is made when the first version is kept.
    CHistoryStore(std::string strFolder, Limits limits);

    // Keeps the bytes and answers their SHA-256; nullopt when the folder cannot take them. A
    // file under their name that holds other bytes (damaged on the disk, or put there by hand)
    // is written anew.
    std::optional<std::string> Keep(std::string_view bytes);
    // Puts every version written since the last call on the medium; false when the disk did
    // not take them.
    bool Sync();
    // Whether every version written is on the medium.
    bool IsDurable() const { return !m_bUnsynced; }
    // Whether those bytes are kept; if so they are young again, as when kept once more.
    bool Refresh(const std::string& strSha256);
    // The kept bytes, checked against their name; nullopt when not kept (or dropped).
    std::optional<std::string> Load(const std::string& strSha256) const;
    bool Holds(const std::string& strSha256) const;
    // The size of the kept file of that name; -1 when there is none.
    int64_t SizeOf(const std::string& strSha256) const;

    int64_t TotalBytes();
    const std::string& Folder() const { return m_strFolder; }

private:
    // When a version was kept: its file time, and in the session the order of keeping, since
    // file times are coarser than a quick run of deletions.
    struct Version {
        int64_t nSize = 0;
        int64_t nKeptNs = 0;
        uint64_t nOrder = 0;
    };
    void LoadIndex();
    // strSpared: the version just kept, which stays whatever the limits say.
    void DropBeyondLimits(const std::string& strSpared = {});
    bool WriteVersion(const std::string& strSha256, std::string_view bytes);
    bool HoldsBytes(const std::string& strSha256, std::string_view bytes) const;
    void Drop(const std::string& strSha256);
    std::string PathOf(const std::string& strSha256) const { return m_strFolder + strSha256; }

    std::string m_strFolder;
    Limits m_limits;
    bool m_bIndexLoaded = false;
    std::map<std::string, Version> m_aVersions;
    int64_t m_nTotalBytes = 0;
    // No version was kept earlier than this; it may lag behind after a version was kept again.
    int64_t m_nOldestKeptNs = std::numeric_limits<int64_t>::max();
    uint64_t m_nNextOrder = 0;
    bool m_bUnsynced = false;
};
