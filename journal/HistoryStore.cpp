#include "journal/HistoryStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <tuple>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/Digest.h"
#include "platform/WholeFile.h"

namespace {

bool IsVersionName(const std::string& strName) {
    return strName.size() == 64 && std::all_of(strName.begin(), strName.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

int64_t Nanoseconds(const timespec& time) {
    return static_cast<int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

int64_t NowNs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return Nanoseconds(now);
}

}  // namespace

CHistoryStore::CHistoryStore(std::string strFolder, Limits limits)
    : m_strFolder(std::move(strFolder)), m_limits(limits) {}

std::optional<std::string> CHistoryStore::Keep(std::string_view bytes) {
    std::string strSha256 = Sha256Hex(bytes);
    if (strSha256.empty()) {
        return std::nullopt;
    }
    if (Refresh(strSha256) && HoldsBytes(strSha256, bytes)) {
        return strSha256;
    }
    if (!WriteVersion(strSha256, bytes)) {
        return std::nullopt;
    }
    auto nSize = static_cast<int64_t>(bytes.size());
    int64_t nNow = NowNs();
    Version& version = m_aVersions[strSha256];
    m_nTotalBytes += nSize - version.nSize;
    version = {nSize, nNow, ++m_nNextOrder};
    m_nOldestKeptNs = std::min(m_nOldestKeptNs, nNow);
    DropBeyondLimits(strSha256);
    return strSha256;
}

bool CHistoryStore::WriteVersion(const std::string& strSha256, std::string_view bytes) {
    std::error_code error;
    std::filesystem::create_directories(m_strFolder, error);
    CAtomicFile file(PathOf(strSha256), false);
    if (!file.Open()) {
        return false;
    }
    file.Write(bytes);
    m_bUnsynced = true;
    return file.Commit();
}

// Comparing the bytes costs one read of a file the same size; a name is trusted for nothing.
bool CHistoryStore::HoldsBytes(const std::string& strSha256, std::string_view bytes) const {
    if (SizeOf(strSha256) != static_cast<int64_t>(bytes.size())) {
        return false;
    }
    std::optional<std::string> held = ReadWholeFile(PathOf(strSha256));
    return held && *held == bytes;
}

// One syncfs for a group of versions: each fsync of its own would wait for the disk once a
// version, and a delete all keeps hundreds of them.
bool CHistoryStore::Sync() {
    if (!m_bUnsynced) {
        return true;
    }
    int nFolder = open(m_strFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (nFolder < 0) {
        return false;
    }
    bool bSynced = syncfs(nFolder) == 0;
    close(nFolder);
    m_bUnsynced = !bSynced;
    return bSynced;
}

bool CHistoryStore::Refresh(const std::string& strSha256) {
    LoadIndex();
    auto found = m_aVersions.find(strSha256);
    if (found == m_aVersions.end() ||
        utimensat(AT_FDCWD, PathOf(strSha256).c_str(), nullptr, 0) != 0) {
        return false;
    }
    found->second.nKeptNs = NowNs();
    found->second.nOrder = ++m_nNextOrder;
    return true;
}

std::optional<std::string> CHistoryStore::Load(const std::string& strSha256) const {
    if (!IsVersionName(strSha256)) {
        return std::nullopt;
    }
    std::optional<std::string> bytes = ReadWholeFile(PathOf(strSha256));
    if (!bytes || Sha256Hex(*bytes) != strSha256) {
        return std::nullopt;
    }
    return bytes;
}

bool CHistoryStore::Holds(const std::string& strSha256) const {
    return SizeOf(strSha256) >= 0;
}

int64_t CHistoryStore::SizeOf(const std::string& strSha256) const {
    struct stat status {};
    if (!IsVersionName(strSha256) || stat(PathOf(strSha256).c_str(), &status) != 0 ||
        !S_ISREG(status.st_mode)) {
        return -1;
    }
    return status.st_size;
}

int64_t CHistoryStore::TotalBytes() {
    LoadIndex();
    return m_nTotalBytes;
}

void CHistoryStore::LoadIndex() {
    if (m_bIndexLoaded) {
        return;
    }
    m_bIndexLoaded = true;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(m_strFolder, error)) {
        std::string strName = entry.path().filename().string();
        struct stat status {};
        if (!IsVersionName(strName) || stat(entry.path().c_str(), &status) != 0 ||
            !S_ISREG(status.st_mode)) {
            continue;
        }
        m_aVersions[strName] = {status.st_size, Nanoseconds(status.st_mtim), 0};
        m_nTotalBytes += status.st_size;
        m_nOldestKeptNs = std::min(m_nOldestKeptNs, Nanoseconds(status.st_mtim));
    }
    DropBeyondLimits();
}

// Called after every version kept: a history of a hundred thousand versions is looked through
// only when something is to go.
void CHistoryStore::DropBeyondLimits(const std::string& strSpared) {
    int64_t nOldest = NowNs() - static_cast<int64_t>(m_limits.nMaxDays) * 86400 * 1000000000;
    if (m_nTotalBytes <= m_limits.nMaxBytes && m_nOldestKeptNs >= nOldest) {
        return;
    }
    std::vector<std::tuple<uint64_t, int64_t, std::string>> aByAge;
    for (const auto& [strSha256, version] : m_aVersions) {
        // Versions found on disk (order 0) are older than any kept in this session.
        aByAge.emplace_back(version.nOrder, version.nKeptNs, strSha256);
    }
    std::sort(aByAge.begin(), aByAge.end());
    for (const auto& [nOrder, nKeptNs, strSha256] : aByAge) {
        if (nKeptNs >= nOldest && m_nTotalBytes <= m_limits.nMaxBytes) {
            break;
        }
        if (strSha256 != strSpared) {
            Drop(strSha256);
        }
    }
    m_nOldestKeptNs = std::numeric_limits<int64_t>::max();
    for (const auto& entry : m_aVersions) {
        m_nOldestKeptNs = std::min(m_nOldestKeptNs, entry.second.nKeptNs);
    }
}

void CHistoryStore::Drop(const std::string& strSha256) {
    auto found = m_aVersions.find(strSha256);
    if (found == m_aVersions.end()) {
        return;
    }
    unlink(PathOf(strSha256).c_str());
    m_nTotalBytes -= found->second.nSize;
    m_aVersions.erase(found);
}
