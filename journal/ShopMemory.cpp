#include "journal/ShopMemory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "journal/JournalScope.h"
#include "journal/Sha256.h"
#include "platform/IniFile.h"
#include "platform/Text.h"
#include "platform/WholeFile.h"

namespace {

constexpr const char* kSection = "Journal";
constexpr int64_t kMegabyte = 1024 * 1024;

CShopMemory* g_pCurrent = nullptr;

// The message of a line whose change the operator stopped.
constexpr const char* kNoCopyMessage = "no copy could be kept; stopped by the operator";

bool IsRegularFile(const std::string& strPath) {
    struct stat status {};
    return stat(strPath.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

CShopMemory::Settings CShopMemory::Settings::Read(const std::string& strIniPath) {
    CIniFile ini(strIniPath);
    ini.Load();
    Settings settings;
    settings.bJournal = ini.GetInt(kSection, "Journal", 1) != 0;
    settings.bHistory = ini.GetInt(kSection, "History", 1) != 0;
    settings.limits.nMaxBytes = std::max(0, ini.GetInt(kSection, "HistoryMaxMB", 500)) * kMegabyte;
    settings.limits.nMaxDays = std::max(0, ini.GetInt(kSection, "HistoryMaxDays", 180));
    settings.nJournalRotateBytes =
        std::max(1, ini.GetInt(kSection, "JournalRotateMB", 16)) * kMegabyte;
    return settings;
}

CShopMemory::CShopMemory(const std::string& strDataFolder, Settings settings, Hooks hooks)
    : m_strDataFolder(strDataFolder),
      m_settings(settings),
      m_hooks(std::move(hooks)),
      m_journal(strDataFolder, settings.nJournalRotateBytes),
      m_history(strDataFolder + "History/", settings.limits),
      m_windowThread(std::this_thread::get_id()) {}

CShopMemory::~CShopMemory() {
    if (g_pCurrent == this) {
        SetCurrent(nullptr);
    }
}

CShopMemory* CShopMemory::Current() {
    return g_pCurrent;
}

void CShopMemory::SetCurrent(CShopMemory* pMemory) {
    g_pCurrent = pMemory;
    CUnitStore::SetWatch(pMemory);
}

bool CShopMemory::KeepLocalFile(const std::string& strPath, bool bAsk) {
    if (KeepLocalCopy(strPath)) {
        return true;
    }
    if (!bAsk) {
        return false;
    }
    if (GoOnWithoutCopy(strPath)) {
        return true;
    }
    JournalRecord record;
    record.strTransport = "pc";
    record.strDirection = JournalRecord::kDirectionOnPc;
    record.strPcPath = strPath;
    record.strOutcome = JournalRecord::kOutcomeRefused;
    record.strMessage = kNoCopyMessage;
    Write(std::move(record));
    return false;
}

bool CShopMemory::KeepLocalCopy(const std::string& strPath) {
    if (!m_settings.bHistory || !IsRegularFile(strPath)) {
        return true;
    }
    std::optional<std::string> bytes = ReadWholeFile(strPath);
    std::lock_guard lock(m_mutex);
    std::optional<std::string> strSha256 = bytes ? m_history.Keep(*bytes) : std::nullopt;
    if (!strSha256) {
        return false;
    }
    m_aKeptBefore[strPath] = {*strSha256, static_cast<int64_t>(bytes->size())};
    return true;
}

void CShopMemory::NoteFileWritten(const UnitStoreSettings& settings, const char* pszDirection,
                                  const std::string& strPcPath, const std::string& strUnitName,
                                  const std::string& strBytesPath, bool bDone) {
    JournalRecord record = StoreRecord(settings, pszDirection, strUnitName);
    record.strPcPath = strPcPath;
    record.strKept = TakeKept(strPcPath.empty() ? strBytesPath : strPcPath).strSha256;
    record.strOutcome = bDone ? JournalRecord::kOutcomeDone : JournalRecord::kOutcomeFailed;
    if (bDone) {
        SetBytes(record, strBytesPath);
    }
    Write(std::move(record));
}

void CShopMemory::OnConnect(const CUnitStore& store) {
    std::string strUnit = StoreKey(store, "", true);
    std::lock_guard lock(m_mutex);
    std::erase_if(m_aListed, [&](const auto& listed) { return listed.first.starts_with(strUnit); });
}

bool CShopMemory::BeforeStoreChange(CUnitStore& store, const std::string& strStoreName,
                                    bool bRemove) {
    if (!m_settings.bHistory) {
        return true;
    }
    std::optional<std::string> strListedName = ListedName(store, strStoreName);
    if (strListedName && strListedName->empty()) {
        return true;  // nothing under that name: nothing to keep
    }
    std::optional<Kept> kept = KeepStoreFile(
        store, strListedName && !strListedName->empty() ? *strListedName : strStoreName);
    if (kept) {
        std::lock_guard lock(m_mutex);
        m_aKeptBefore[StoreKey(store, strStoreName)] = *kept;
        return true;
    }
    // A lost connection fails the command by itself. After a listing that failed, a fetch
    // that is refused tells that the name is new: a replacement goes on. Anything else
    // that could not be kept needs the operator's word.
    if (store.HasConnectionFailed() || (!bRemove && !strListedName)) {
        return true;
    }
    return GoOnWithoutCopy(Cp932ToDisplay(store.Folder() + strStoreName)) ||
           Refuse(StoreKey(store, strStoreName));
}

bool CShopMemory::BeforeLocalReplace(const std::string& strLocalPath) {
    // Staging copies and the list files the dialogs fetch live in the data folder: they are
    // no programs of the operator's.
    return strLocalPath.starts_with(m_strDataFolder) || KeepLocalCopy(strLocalPath) ||
           GoOnWithoutCopy(strLocalPath) || Refuse(strLocalPath);
}

void CShopMemory::AfterPut(const CUnitStore& store, const std::string& strLocalPath,
                           const std::string& strStoreName, bool bDone) {
    std::string strKey = StoreKey(store, strStoreName);
    if (bDone) {
        UpdateListing(store, strStoreName, true);
    }
    JournalRecord record = StoreRecord(store.Settings(), JournalRecord::kDirectionToUnit,
                                       store.Folder() + strStoreName);
    record.strPcPath = strLocalPath;
    record.strSources = CJournalScope::Sources();
    record.strKept = TakeKept(strKey).strSha256;
    SetOutcome(record, store, strKey, bDone);
    SetBytes(record, strLocalPath);
    Write(std::move(record));
}

void CShopMemory::AfterGet(const CUnitStore& store, const std::string& strStoreName,
                           const std::string& strLocalPath, bool bDone) {
    if (strLocalPath.starts_with(m_strDataFolder)) {
        return;
    }
    JournalRecord record =
        StoreRecord(store.Settings(), JournalRecord::kDirectionToPc, store.Folder() + strStoreName);
    record.strPcPath = strLocalPath;
    record.strKept = TakeKept(strLocalPath).strSha256;
    SetOutcome(record, store, strLocalPath, bDone);
    if (bDone) {
        SetBytes(record, strLocalPath);
    }
    Write(std::move(record));
}

void CShopMemory::AfterRemove(const CUnitStore& store, const std::string& strStoreName,
                              bool bDone) {
    std::string strKey = StoreKey(store, strStoreName);
    if (bDone) {
        UpdateListing(store, strStoreName, false);
    }
    JournalRecord record = StoreRecord(store.Settings(), JournalRecord::kDirectionDeleteOnUnit,
                                       store.Folder() + strStoreName);
    // The bytes removed are the bytes kept.
    Kept kept = TakeKept(strKey);
    record.nSize = kept.nSize;
    record.strSha256 = kept.strSha256;
    record.strKept = kept.strSha256;
    SetOutcome(record, store, strKey, bDone);
    Write(std::move(record));
}

std::optional<CShopMemory::Kept> CShopMemory::KeepStoreFile(CUnitStore& store,
                                                            const std::string& strStoreName) {
    // A name of this store's own: stores of several units may fetch at the same time.
    std::string strFetchPath =
        m_strDataFolder + Format("~History.fetch.%p", static_cast<const void*>(&store));
    std::optional<std::string> bytes;
    if (store.GetFile(strStoreName, strFetchPath)) {
        bytes = ReadWholeFile(strFetchPath);
    }
    unlink(strFetchPath.c_str());
    std::lock_guard lock(m_mutex);
    std::optional<std::string> strSha256 = bytes ? m_history.Keep(*bytes) : std::nullopt;
    if (!strSha256) {
        return std::nullopt;
    }
    return Kept{*strSha256, static_cast<int64_t>(bytes->size())};
}

std::optional<std::string> CShopMemory::ListedName(CUnitStore& store,
                                                   const std::string& strStoreName) {
    std::string strFolderKey = StoreKey(store, "");
    {
        std::lock_guard lock(m_mutex);
        if (auto found = m_aListed.find(strFolderKey); found != m_aListed.end()) {
            return NameIn(found->second, strStoreName);
        }
    }
    std::optional<std::map<std::string, std::string>> names;
    if (std::optional<std::vector<StoreEntry>> aEntries = store.FindFiles("*")) {
        names.emplace();
        for (const StoreEntry& entry : *aEntries) {
            if (!entry.bFolder) {
                (*names)[MakeUpper(entry.strName)] = entry.strName;
            }
        }
    }
    std::lock_guard lock(m_mutex);
    return NameIn(m_aListed.insert_or_assign(strFolderKey, std::move(names)).first->second,
                  strStoreName);
}

std::optional<std::string> CShopMemory::NameIn(
    const std::optional<std::map<std::string, std::string>>& names,
    const std::string& strStoreName) {
    if (!names) {
        return std::nullopt;
    }
    auto name = names->find(MakeUpper(strStoreName));
    return name == names->end() ? std::string() : name->second;
}

void CShopMemory::UpdateListing(const CUnitStore& store, const std::string& strStoreName,
                                bool bThere) {
    std::lock_guard lock(m_mutex);
    auto listed = m_aListed.find(StoreKey(store, ""));
    if (listed == m_aListed.end() || !listed->second) {
        return;
    }
    if (bThere) {
        (*listed->second)[MakeUpper(strStoreName)] = strStoreName;
    } else {
        listed->second->erase(MakeUpper(strStoreName));
    }
}

std::string CShopMemory::StoreKey(const CUnitStore& store, const std::string& strStoreName,
                                  bool bUnitOnly) {
    const UnitStoreSettings& settings = store.Settings();
    std::string strUnit = settings.nSousa == 1
                              ? settings.strServer + ":" + std::to_string(settings.nPort)
                              : settings.strUsbDrive;
    return bUnitOnly ? strUnit + "|" : strUnit + "|" + store.Folder() + strStoreName;
}

bool CShopMemory::GoOnWithoutCopy(const std::string& strName) {
    // Only the thread of the windows may ask; a worker sending to several units stops instead.
    return std::this_thread::get_id() == m_windowThread && m_hooks.goOnWithoutCopy &&
           m_hooks.goOnWithoutCopy(strName);
}

bool CShopMemory::Refuse(const std::string& strKey) {
    std::lock_guard lock(m_mutex);
    m_aRefused.insert(strKey);
    return false;
}

void CShopMemory::SetOutcome(JournalRecord& record, const CUnitStore& store,
                             const std::string& strKey, bool bDone) {
    bool bRefused = false;
    {
        std::lock_guard lock(m_mutex);
        bRefused = m_aRefused.erase(strKey) > 0;
    }
    if (bRefused) {
        record.strOutcome = JournalRecord::kOutcomeRefused;
        record.strMessage = kNoCopyMessage;
        return;
    }
    record.strOutcome = bDone ? JournalRecord::kOutcomeDone : JournalRecord::kOutcomeFailed;
    if (!bDone && store.HasConnectionFailed()) {
        record.strMessage = store.ConnectionFailureMessage();
    }
}

JournalRecord CShopMemory::StoreRecord(const UnitStoreSettings& settings, const char* pszDirection,
                                       const std::string& strUnitName) const {
    JournalRecord record;
    bool bNetwork = settings.nSousa == 1;
    bool bOnPc = std::string_view(pszDirection) == JournalRecord::kDirectionOnPc;
    record.strTransport = bOnPc ? "pc" : bNetwork ? "ftp" : "usb";
    record.strAddress = bOnPc ? "" : bNetwork ? settings.strServer : settings.strUsbDrive;
    record.strDirection = pszDirection;
    record.strUnitName = Cp932ToDisplay(strUnitName);
    return record;
}

void CShopMemory::SetBytes(JournalRecord& record, const std::string& strPath) const {
    if (std::optional<std::string> bytes = ReadWholeFile(strPath)) {
        record.nSize = static_cast<int64_t>(bytes->size());
        record.strSha256 = Sha256Hex(*bytes);
    }
}

void CShopMemory::Write(JournalRecord record) {
    if (!m_settings.bJournal) {
        return;
    }
    record.strTime = JournalTimeNow();
    record.strProfile = m_hooks.profile ? m_hooks.profile() : std::string();
    record.strOperation = CJournalScope::Operation();
    std::lock_guard lock(m_mutex);
    if (!m_journal.Append(record) && m_journalFailure == JournalFailure::None) {
        m_journalFailure = JournalFailure::ToReport;
    }
}

bool CShopMemory::TakeJournalFailure() {
    std::lock_guard lock(m_mutex);
    if (m_journalFailure != JournalFailure::ToReport) {
        return false;
    }
    m_journalFailure = JournalFailure::Reported;
    return true;
}

CShopMemory::Kept CShopMemory::TakeKept(const std::string& strKey) {
    std::lock_guard lock(m_mutex);
    auto found = m_aKeptBefore.find(strKey);
    if (found == m_aKeptBefore.end()) {
        return {};
    }
    Kept kept = found->second;
    m_aKeptBefore.erase(found);
    return kept;
}
