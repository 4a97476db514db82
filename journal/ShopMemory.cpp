#include "journal/ShopMemory.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <thread>

#include "journal/JournalScope.h"
#include "platform/AtomicFile.h"
#include "platform/Digest.h"
#include "platform/IniFile.h"
#include "platform/Text.h"
#include "platform/WholeFile.h"

namespace {

constexpr const char* kSection = "Journal";
constexpr int64_t kMegabyte = 1024 * 1024;

CShopMemory* g_pCurrent = nullptr;

// The message of a line whose change the operator stopped.
constexpr const char* kNoCopyMessage = "no copy could be kept; stopped by the operator";

// Whether the key of a unit file names a file in that folder itself, not in a subfolder.
bool IsDirectlyIn(std::string_view key, std::string_view folderKey) {
    return key.starts_with(folderKey) && key.find('/', folderKey.size()) == std::string_view::npos;
}

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

std::string CShopMemory::KeepList(std::string_view bytes) {
    if (!m_settings.bHistory) {
        return {};
    }
    std::lock_guard lock(m_mutex);
    return m_history.Keep(bytes).value_or("");
}

void CShopMemory::NoteFileWritten(const UnitStoreSettings& settings, const char* pszDirection,
                                  const std::string& strPcPath, const std::string& strUnitName,
                                  const std::string& strBytesPath, bool bDone, bool bStopped) {
    JournalRecord record = StoreRecord(settings, pszDirection, strUnitName);
    record.strPcPath = strPcPath;
    record.strKept = KeptIfReplaced(strPcPath.empty() ? strBytesPath : strPcPath, bDone);
    record.strOutcome = bDone      ? JournalRecord::kOutcomeDone
                        : bStopped ? JournalRecord::kOutcomeStopped
                                   : JournalRecord::kOutcomeFailed;
    if (bDone) {
        SetBytes(record, strBytesPath);
    }
    Write(std::move(record));
}

void CShopMemory::OnConnect(const CUnitStore& store) {
    std::string strUnit = StoreKey(store, "", true);
    std::lock_guard lock(m_mutex);
    std::erase_if(m_aListed, [&](const auto& listed) { return listed.first.starts_with(strUnit); });
    ForgetKeptBefore(strUnit);
    // A put that no listing of its own action confirmed stays unconfirmed: another client may
    // have written the name since.
    std::erase_if(m_aUnitFiles, [&](const auto& file) {
        return file.first.starts_with(strUnit) && file.second.strListedTime.empty();
    });
}

void CShopMemory::OnListed(CUnitStore& store, const std::vector<StoreEntry>& aEntries) {
    if (!m_settings.bHistory) {
        return;
    }
    std::vector<std::string> aConfirmed;
    {
        std::lock_guard lock(m_mutex);
        aConfirmed = TakeListing(store, aEntries);
    }
    NoteExactTimes(store, aConfirmed);
}

// The listing that confirms what this action put is taken before the action leaves the folder:
// the next action may be another day's, after the machine or another PC wrote to the unit.
void CShopMemory::BeforeLeaveFolder(CUnitStore& store) {
    if (!m_settings.bHistory) {
        return;
    }
    if (WaitsForListing(store)) {
        std::optional<std::vector<StoreEntry>> aEntries = store.FindFiles("*");
        std::vector<std::string> aConfirmed;
        {
            std::lock_guard lock(m_mutex);
            aConfirmed = TakeListing(store, std::move(aEntries));
        }
        NoteExactTimes(store, aConfirmed);
    }
    std::lock_guard lock(m_mutex);
    SaveUnitFiles();
    ForgetKeptBefore(StoreKey(store, ""));
}

// Copies kept ahead for changes that did not come (a stop, a failure) must not stand for what a
// later action finds under the same names.
void CShopMemory::ForgetKeptBefore(const std::string& strKeyStart) {
    std::erase_if(m_aKeptBefore,
                  [&](const auto& kept) { return kept.first.starts_with(strKeyStart); });
}

bool CShopMemory::BeforeStoreChange(CUnitStore& store, const std::string& strStoreName,
                                    bool bRemove) {
    if (!m_settings.bHistory) {
        return true;
    }
    std::string strKey = StoreKey(store, strStoreName);
    std::optional<KeptOrAbsent> kept = KeepBeforeChange(store, strStoreName, bRemove);
    if (kept && SyncHistory()) {
        if (*kept) {
            std::lock_guard lock(m_mutex);
            m_aKeptBefore[strKey] = **kept;
        }
        return true;
    }
    // A lost connection fails the command by itself, and so does a stop during the fetch: the
    // operator who pressed "中止" is asked nothing more. Anything else that could not be kept
    // needs the operator's word.
    return store.HasConnectionFailed() || store.WasStopped() ||
           GoOnWithoutCopy(Cp932ToDisplay(store.Folder() + strStoreName)) || Refuse(strKey);
}

void CShopMemory::BeforeStoreChanges(CUnitStore& store, const std::vector<std::string>& aNames) {
    if (!m_settings.bHistory) {
        return;
    }
    std::vector<std::string> aKeys;
    for (const std::string& strStoreName : aNames) {
        std::optional<KeptOrAbsent> kept = KeepBeforeChange(store, strStoreName, true);
        if (store.HasConnectionFailed() || store.WasStopped()) {
            break;
        }
        if (kept && *kept) {
            std::lock_guard lock(m_mutex);
            aKeys.push_back(StoreKey(store, strStoreName));
            m_aKeptBefore[aKeys.back()] = **kept;
        }
    }
    if (!SyncHistory()) {
        // Each change then keeps its copy again and asks when it cannot.
        std::lock_guard lock(m_mutex);
        for (const std::string& strKey : aKeys) {
            m_aKeptBefore.erase(strKey);
        }
    }
}

// The copy of a file kept earlier in the same folder (by BeforeStoreChanges) is taken as it
// is; nullopt when the file is there but could not be kept.
std::optional<CShopMemory::KeptOrAbsent> CShopMemory::KeepBeforeChange(
    CUnitStore& store, const std::string& strStoreName, bool bRemove) {
    {
        std::lock_guard lock(m_mutex);
        if (auto found = m_aKeptBefore.find(StoreKey(store, strStoreName));
            found != m_aKeptBefore.end()) {
            return found->second;
        }
    }
    std::optional<StoreEntry> listed = ListedEntry(store, strStoreName);
    if (listed && listed->strName.empty()) {
        return KeptOrAbsent();  // nothing under that name: nothing to keep
    }
    std::optional<Kept> kept = listed ? KeptAlready(store, *listed) : std::nullopt;
    bool bNoSuchFile = false;
    if (!kept) {
        kept = KeepStoreFile(store, listed ? listed->strName : strStoreName, bNoSuchFile);
    }
    // Where the listing could not tell, a fetch that finds no such file tells that the name is
    // new: a replacement goes on.
    if (!kept && !store.HasConnectionFailed() && !bRemove && !listed && bNoSuchFile) {
        return KeptOrAbsent();
    }
    return kept ? std::optional<KeptOrAbsent>(kept) : std::nullopt;
}

bool CShopMemory::SyncHistory() {
    std::lock_guard lock(m_mutex);
    return m_history.Sync();
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
    record.strKept = KeptIfReplaced(strKey, bDone);
    SetOutcome(record, store, strKey, bDone);
    // A put that was not done, stopped or failed, left nothing of itself on the unit.
    if (bDone) {
        SetBytes(record, strLocalPath);
    }
    bool bKnown = bDone && !record.strSha256.empty();
    NoteUnitFile(
        FileKey(store, strStoreName),
        bKnown ? std::optional<UnitFile>({record.strSha256, record.nSize, "", ""}) : std::nullopt);
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
    record.strKept = KeptIfReplaced(strLocalPath, bDone);
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
        NoteUnitFile(FileKey(store, strStoreName), std::nullopt);
    }
    JournalRecord record = StoreRecord(store.Settings(), JournalRecord::kDirectionDeleteOnUnit,
                                       store.Folder() + strStoreName);
    // The bytes removed are the bytes kept.
    Kept kept = TakeKept(strKey);
    record.nSize = kept.nSize;
    record.strSha256 = kept.strSha256;
    record.strKept = bDone ? kept.strSha256 : std::string();
    record.strList = CJournalScope::List();
    SetOutcome(record, store, strKey, bDone);
    Write(std::move(record));
}

std::optional<CShopMemory::Kept> CShopMemory::KeepStoreFile(CUnitStore& store,
                                                            const std::string& strStoreName,
                                                            bool& bNoSuchFile) {
    std::optional<std::string> bytes = store.ReadFile(strStoreName, &bNoSuchFile);
    std::lock_guard lock(m_mutex);
    std::optional<std::string> strSha256 = bytes ? m_history.Keep(*bytes) : std::nullopt;
    if (!strSha256) {
        return std::nullopt;
    }
    return Kept{*strSha256, static_cast<int64_t>(bytes->size())};
}

std::optional<CShopMemory::Kept> CShopMemory::KeptAlready(CUnitStore& store,
                                                          const StoreEntry& listed) {
    UnitFile file;
    {
        std::lock_guard lock(m_mutex);
        LoadUnitFiles();
        auto found = m_aUnitFiles.find(FileKey(store, listed.strName));
        if (found == m_aUnitFiles.end() || found->second.strListedTime.empty() ||
            found->second.nSize != listed.nSize) {
            return std::nullopt;
        }
        file = found->second;
    }
    // A listing shows the minute: what someone else wrote in the same size within it shows
    // only in the unit's time to the second, one question for the one file to be changed.
    // Where the unit tells that time, it decides alone: a listing may also write the same
    // time otherwise from one session to the next (vsftpd writes the year instead of the time
    // for a file younger than the session's clock).
    bool bSameTime = file.strExactTime.empty()
                         ? file.strListedTime == listed.strTime
                         : store.ExactTime(listed.strName) == file.strExactTime;
    if (!bSameTime) {
        return std::nullopt;
    }
    std::lock_guard lock(m_mutex);
    if (m_history.SizeOf(file.strSha256) != listed.nSize || !m_history.Refresh(file.strSha256)) {
        return std::nullopt;
    }
    return Kept{file.strSha256, file.nSize};
}

std::optional<StoreEntry> CShopMemory::ListedEntry(CUnitStore& store,
                                                   const std::string& strStoreName) {
    std::string strFolderKey = StoreKey(store, "");
    {
        std::lock_guard lock(m_mutex);
        if (auto found = m_aListed.find(strFolderKey); found != m_aListed.end()) {
            return EntryIn(found->second, strStoreName);
        }
    }
    std::optional<std::vector<StoreEntry>> aEntries = store.FindFiles("*");
    std::vector<std::string> aConfirmed;
    {
        std::lock_guard lock(m_mutex);
        aConfirmed = TakeListing(store, std::move(aEntries));
    }
    NoteExactTimes(store, aConfirmed);
    std::lock_guard lock(m_mutex);
    return EntryIn(m_aListed[strFolderKey], strStoreName);
}

std::optional<StoreEntry> CShopMemory::EntryIn(const std::optional<Listing>& listing,
                                               const std::string& strStoreName) {
    if (!listing) {
        return std::nullopt;
    }
    auto entry = listing->aEntries.find(MakeUpper(strStoreName));
    if (entry != listing->aEntries.end()) {
        return entry->second;
    }
    return listing->bWhole ? std::optional<StoreEntry>(StoreEntry()) : std::nullopt;
}

// Also confirms what the action put (the listing shows the size it put) and forgets what was
// put in earlier actions and has changed or gone since.
std::vector<std::string> CShopMemory::TakeListing(const CUnitStore& store,
                                                  std::optional<std::vector<StoreEntry>> aEntries) {
    std::string strFolderKey = StoreKey(store, "");
    std::optional<Listing>& listing = m_aListed[strFolderKey];
    listing.reset();
    std::vector<std::string> aConfirmed;
    if (!aEntries) {
        return aConfirmed;
    }
    listing.emplace();
    listing->bWhole = store.ListedWhole();
    for (StoreEntry& entry : *aEntries) {
        if (!entry.bFolder) {
            std::string strName = MakeUpper(entry.strName);
            listing->aEntries.insert_or_assign(std::move(strName), std::move(entry));
        }
    }
    LoadUnitFiles();
    for (auto file = m_aUnitFiles.lower_bound(strFolderKey);
         file != m_aUnitFiles.end() && file->first.starts_with(strFolderKey);) {
        if (!IsDirectlyIn(file->first, strFolderKey)) {
            ++file;
            continue;
        }
        auto listed = listing->aEntries.find(file->first.substr(strFolderKey.size()));
        UnitFile& unitFile = file->second;
        bool bSameSize = listed != listing->aEntries.end() &&
                         listed->second.nSize == unitFile.nSize && !listed->second.strTime.empty();
        if (bSameSize && unitFile.strListedTime.empty()) {
            unitFile.strListedTime = listed->second.strTime;
            aConfirmed.push_back(listed->second.strName);
            m_bUnitFilesChanged = true;
            ++file;
        } else if (bSameSize && (unitFile.strListedTime == listed->second.strTime ||
                                 !unitFile.strExactTime.empty())) {
            ++file;
        } else {
            file = m_aUnitFiles.erase(file);
            m_bUnitFilesChanged = true;
        }
    }
    return aConfirmed;
}

void CShopMemory::NoteExactTimes(CUnitStore& store, const std::vector<std::string>& aNames) {
    for (const std::string& strName : aNames) {
        std::optional<std::string> time = store.ExactTime(strName);
        if (!time) {
            continue;
        }
        std::lock_guard lock(m_mutex);
        if (auto file = m_aUnitFiles.find(FileKey(store, strName)); file != m_aUnitFiles.end()) {
            file->second.strExactTime = std::move(*time);
            m_bUnitFilesChanged = true;
        }
    }
}

void CShopMemory::UpdateListing(const CUnitStore& store, const std::string& strStoreName,
                                bool bThere) {
    std::lock_guard lock(m_mutex);
    auto listed = m_aListed.find(StoreKey(store, ""));
    if (listed == m_aListed.end() || !listed->second) {
        return;
    }
    if (bThere) {
        StoreEntry entry;
        entry.strName = strStoreName;
        listed->second->aEntries[MakeUpper(strStoreName)] = std::move(entry);
    } else {
        listed->second->aEntries.erase(MakeUpper(strStoreName));
    }
}

void CShopMemory::NoteUnitFile(const std::string& strKey, std::optional<UnitFile> file) {
    if (!m_settings.bHistory) {
        return;
    }
    std::lock_guard lock(m_mutex);
    LoadUnitFiles();
    if (file) {
        m_aUnitFiles.insert_or_assign(strKey, std::move(*file));
        m_bUnitFilesChanged = true;
    } else if (m_aUnitFiles.erase(strKey) > 0) {
        m_bUnitFilesChanged = true;
    }
}

bool CShopMemory::WaitsForListing(const CUnitStore& store) {
    std::string strFolderKey = StoreKey(store, "");
    std::lock_guard lock(m_mutex);
    for (auto file = m_aUnitFiles.lower_bound(strFolderKey);
         file != m_aUnitFiles.end() && file->first.starts_with(strFolderKey); ++file) {
        if (file->second.strListedTime.empty() && IsDirectlyIn(file->first, strFolderKey)) {
            return true;
        }
    }
    return false;
}

void CShopMemory::LoadUnitFiles() {
    if (m_bUnitFilesLoaded) {
        return;
    }
    m_bUnitFilesLoaded = true;
    std::optional<std::string> text = ReadWholeFile(UnitFilesPath());
    for (auto& [strKey, file] :
         ReadUnitFiles(text ? std::string_view(*text) : std::string_view())) {
        m_aUnitFiles.try_emplace(strKey, std::move(file));
    }
}

void CShopMemory::SaveUnitFiles() {
    if (!m_bUnitFilesChanged) {
        return;
    }
    bool bAnyListed = std::any_of(m_aUnitFiles.begin(), m_aUnitFiles.end(), [](const auto& file) {
        return !file.second.strListedTime.empty();
    });
    if (!bAnyListed && !IsRegularFile(UnitFilesPath())) {
        return;
    }
    std::string strText = WriteUnitFiles(m_aUnitFiles);
    std::error_code error;
    std::filesystem::create_directories(m_history.Folder(), error);
    CAtomicFile save(UnitFilesPath(), false);
    if (save.Open()) {
        save.Write(strText);
        m_bUnitFilesChanged = !save.Commit();
    }
}

std::string CShopMemory::FileKey(const CUnitStore& store, const std::string& strStoreName) {
    return StoreKey(store, MakeUpper(strStoreName));
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
    if (!bDone && store.WasStopped()) {
        record.strOutcome = JournalRecord::kOutcomeStopped;
        return;
    }
    record.strOutcome = bDone ? JournalRecord::kOutcomeDone : JournalRecord::kOutcomeFailed;
    if (!bDone && store.HasConnectionFailed()) {
        record.strMessage =
            store.ConnectionFailureMessage() + "\n(" + store.ConnectionFailureDetail() + ")";
    }
}

JournalRecord CShopMemory::StoreRecord(const UnitStoreSettings& settings, const char* pszDirection,
                                       const std::string& strUnitName) const {
    JournalRecord record;
    bool bNetwork = settings.nSousa == 1;
    bool bOnPc = std::string_view(pszDirection) == JournalRecord::kDirectionOnPc;
    record.strProfile = settings.strProfile;
    record.strTransport = bOnPc ? "pc" : bNetwork ? "ftp" : "usb";
    record.strAddress = bOnPc ? "" : bNetwork ? settings.strServer : settings.strUsbDrive;
    record.strDirection = pszDirection;
    record.strUnitName = Cp932ToDisplay(strUnitName);
    if (!Cp932ToUtf8(strUnitName)) {
        // The display lost bytes; a restore must reach the file under its own.
        record.strUnitNameBytes = strUnitName;
    }
    return record;
}

void CShopMemory::SetBytes(JournalRecord& record, const std::string& strPath) const {
    if (std::optional<FileDigest> digest = Sha256OfFile(strPath)) {
        record.nSize = digest->nSize;
        record.strSha256 = std::move(digest->strSha256);
    }
}

void CShopMemory::Write(JournalRecord record) {
    if (!m_settings.bJournal) {
        return;
    }
    record.strTime = JournalTimeNow();
    if (record.strProfile.empty() && m_hooks.profile) {
        record.strProfile = m_hooks.profile();
    }
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

std::string CShopMemory::KeptIfReplaced(const std::string& strKey, bool bReplaced) {
    std::string strSha256 = TakeKept(strKey).strSha256;
    return bReplaced ? strSha256 : std::string();
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
