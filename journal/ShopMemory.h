#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>

#include "journal/HistoryStore.h"
#include "journal/Journal.h"
#include "journal/UnitFilesIndex.h"
#include "unitstore/StoreWatch.h"
#include "unitstore/UnitStore.h"

// The shop's memory: the journal of every program moved, replaced or deleted, and the history
// store that keeps the old bytes first. It watches the unit store and is told by the
// operations about files they write on the PC themselves. Nothing here fails an operation:
// a journal line that cannot be written is reported once; only a copy that cannot be kept
// asks the operator, who may stop the replacement or deletion.
class CShopMemory : public IStoreWatch {
public:
    // Section "Journal" of RZKSET.ini.
    struct Settings {
        bool bJournal = true;
        bool bHistory = true;
        CHistoryStore::Limits limits;
        int64_t nJournalRotateBytes = CJournal::kDefaultRotateBytes;

        static Settings Read(const std::string& strIniPath);
    };
    // What the memory asks of the program around it.
    struct Hooks {
        std::function<std::string()> profile;
        // The copy of the named file could not be kept: true to go on without it.
        std::function<bool(const std::string& strName)> goOnWithoutCopy;
    };

    // strDataFolder ends in "/": the journal lies there, the history in its "History/".
    CShopMemory(const std::string& strDataFolder, Settings settings, Hooks hooks);
    ~CShopMemory() override;

    // The memory the operations tell about their own PC files, and the watch of every unit
    // store; nullptr when none is open.
    static CShopMemory* Current();
    static void SetCurrent(CShopMemory* pMemory);

    // Before an operation writes over a file itself: keeps what the file holds. False when
    // the copy could not be kept and the operator (asked when bAsk) chose not to go on.
    bool KeepLocalFile(const std::string& strPath, bool bAsk = true);
    // After an operation wrote a file itself: strBytesPath holds the bytes that went over.
    // bStopped: not done because the operator stopped the work.
    void NoteFileWritten(const UnitStoreSettings& settings, const char* pszDirection,
                         const std::string& strPcPath, const std::string& strUnitName,
                         const std::string& strBytesPath, bool bDone, bool bStopped = false);

    // Keeps a list as a command holds it before it deletes programs the list names; answers
    // the version's SHA-256 for CJournalScope::SetList, "" when it could not be kept.
    std::string KeepList(std::string_view bytes);

    // True once in a session, after a journal line could not be written: the operator is told
    // when the operation has ended, not in the middle of its work.
    bool TakeJournalFailure();

    const std::string& DataFolder() const { return m_strDataFolder; }
    CJournal& Journal() { return m_journal; }
    CHistoryStore& History() { return m_history; }
    const Settings& CurrentSettings() const { return m_settings; }

    void OnConnect(const CUnitStore& store) override;
    void OnListed(CUnitStore& store, const std::vector<StoreEntry>& aEntries) override;
    void BeforeLeaveFolder(CUnitStore& store) override;
    bool BeforeStoreChange(CUnitStore& store, const std::string& strStoreName,
                           bool bRemove) override;
    void BeforeStoreChanges(CUnitStore& store, const std::vector<std::string>& aNames) override;
    bool BeforeLocalReplace(const std::string& strLocalPath) override;
    void AfterPut(const CUnitStore& store, const std::string& strLocalPath,
                  const std::string& strStoreName, bool bDone) override;
    void AfterGet(const CUnitStore& store, const std::string& strStoreName,
                  const std::string& strLocalPath, bool bDone) override;
    void AfterRemove(const CUnitStore& store, const std::string& strStoreName, bool bDone) override;

private:
    struct Kept {
        std::string strSha256;
        int64_t nSize = 0;
    };
    // A listing of a folder of the unit as the action took it.
    struct Listing {
        std::map<std::string, StoreEntry> aEntries;  // by the name in upper case
        bool bWhole = false;                         // it tells which names are absent
    };
    // What stood under a name before a change: the copy kept, or nullopt for no file.
    using KeptOrAbsent = std::optional<Kept>;

    // Keeps what the store file holds before a change, without waiting for the disk; nullopt
    // when it could not be kept.
    std::optional<KeptOrAbsent> KeepBeforeChange(CUnitStore& store, const std::string& strStoreName,
                                                 bool bRemove);
    // Puts the versions kept so far on the disk: a kept copy counts once it is there.
    bool SyncHistory();
    // Forgets the copies kept ahead under keys that start so; the caller holds the lock.
    void ForgetKeptBefore(const std::string& strKeyStart);

    // Fetches the store file and keeps it; nullopt when it could not be fetched or kept, and
    // bNoSuchFile then tells whether the store has no file of that name.
    std::optional<Kept> KeepStoreFile(CUnitStore& store, const std::string& strStoreName,
                                      bool& bNoSuchFile);
    // The history holds what the listed file holds: the program put those bytes there itself.
    std::optional<Kept> KeptAlready(CUnitStore& store, const StoreEntry& listed);
    // The current folder's entry of the name (strName "" for none); nullopt when it cannot be
    // told: the listing failed, or it was not whole and does not show the name.
    std::optional<StoreEntry> ListedEntry(CUnitStore& store, const std::string& strStoreName);
    static std::optional<StoreEntry> EntryIn(const std::optional<Listing>& listing,
                                             const std::string& strStoreName);
    // Takes a whole listing of the store's current folder; the caller holds the lock. Answers
    // the names of what the action put that the listing confirmed now.
    std::vector<std::string> TakeListing(const CUnitStore& store,
                                         std::optional<std::vector<StoreEntry>> aEntries);
    // Notes the unit's time to the second of each file that a listing confirmed; asks the
    // unit, so the caller does not hold the lock.
    void NoteExactTimes(CUnitStore& store, const std::vector<std::string>& aNames);
    void UpdateListing(const CUnitStore& store, const std::string& strStoreName, bool bThere);
    void NoteUnitFile(const std::string& strKey, std::optional<UnitFile> file);
    // Whether a name of the store's current folder waits for the listing that follows its put.
    bool WaitsForListing(const CUnitStore& store);
    // "History/UnitFiles.tsv" (UnitFilesIndex.h): the unit files whose listing was seen.
    std::string UnitFilesPath() const { return m_history.Folder() + "UnitFiles.tsv"; }
    void LoadUnitFiles();
    void SaveUnitFiles();
    static std::string FileKey(const CUnitStore& store, const std::string& strStoreName);
    // The unit (address or memory), folder and name: the key of what is known about a file,
    // since stores of several units may work at once. bUnitOnly: the unit's prefix alone.
    static std::string StoreKey(const CUnitStore& store, const std::string& strStoreName,
                                bool bUnitOnly = false);
    // Keeps what a local file holds; true also when there is nothing to keep. Asks nothing.
    bool KeepLocalCopy(const std::string& strPath);
    bool GoOnWithoutCopy(const std::string& strName);
    // Notes that the operator stopped the change of that name; answers false.
    bool Refuse(const std::string& strKey);
    void SetOutcome(JournalRecord& record, const CUnitStore& store, const std::string& strKey,
                    bool bDone);
    JournalRecord StoreRecord(const UnitStoreSettings& settings, const char* pszDirection,
                              const std::string& strUnitName) const;
    void SetBytes(JournalRecord& record, const std::string& strPath) const;
    void Write(JournalRecord record);
    Kept TakeKept(const std::string& strKey);
    // The old bytes kept before the change of that key, for its journal line. The history
    // keeps them in any case, but a line names them only when the file was in fact replaced
    // or removed: otherwise there is nothing to compare them with or to restore.
    std::string KeptIfReplaced(const std::string& strKey, bool bReplaced);

    // The state below is shared by the stores of several units working at once.
    std::mutex m_mutex;
    std::string m_strDataFolder;
    Settings m_settings;
    Hooks m_hooks;
    CJournal m_journal;
    CHistoryStore m_history;
    std::thread::id m_windowThread;  // the thread that may ask the operator
    enum class JournalFailure { None, ToReport, Reported };
    JournalFailure m_journalFailure = JournalFailure::None;
    std::set<std::string> m_aRefused;  // keys of the changes the operator stopped
    // The SHA-256 of the bytes kept before a file was replaced or removed, by unit name or PC
    // path, until the journal line of that change takes it.
    std::map<std::string, Kept> m_aKeptBefore;
    // The folders of the unit this action has listed (nullopt when the listing failed).
    std::map<std::string, std::optional<Listing>> m_aListed;
    UnitFiles m_aUnitFiles;
    bool m_bUnitFilesLoaded = false;
    bool m_bUnitFilesChanged = false;
};
