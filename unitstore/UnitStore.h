#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/FtpListParser.h"

class CFtpClient;
class CSetData;
class IStoreWatch;
enum class FtpResult;

// How one user action reaches the unit file store: the transport chosen in the main window
// and what each transport needs.
struct UnitStoreSettings {
    int nSousa = 0;         // 0 = USB memory, 1 = network (FTP)
    std::string strServer;  // unit address, "%d.%d.%d.%d"
    int nPort = 21;
    bool bPasv = true;
    std::string strUsbDrive;   // root of the USB memory: mount point ending in "/", UTF-8
    int nTimeoutSeconds = 30;  // a silent unit fails a connect or a stalled transfer after this
    // Ends the action from another thread as a lost connection (see FtpClientOptions).
    const std::atomic<bool>* pCancel = nullptr;
    // The machine profile whose unit this is (UTF-8): the journal names it on each line, also
    // for units that are not the current profile's.
    std::string strProfile;
};

// One entry of a folder listing; the name in code page 932 bytes. The FTP listing's own
// entries, so that a listing of tens of thousands of files is not copied on its way up.
using StoreEntry = FtpListEntry;

// The unit's file area over FTP ("/pub/") or on the USB memory. Store names are code page 932
// bytes, local paths UTF-8. Every operation answers success or failure; after a connection
// failure (no answer, cut or stalled connection, internet error) every further operation of
// the same action fails at once and ConnectionFailureMessage() holds the text to report. So
// it does after the operator stopped the work (CStopRequest): the operation that was stopped
// left nothing of itself, neither on the unit nor on the PC, and WasStopped() tells.
class CUnitStore {
public:
    explicit CUnitStore(UnitStoreSettings settings);
    ~CUnitStore();
    CUnitStore(const CUnitStore&) = delete;
    CUnitStore& operator=(const CUnitStore&) = delete;

    // Network: connects and logs in; a failure is a connection failure. USB memory: nothing
    // to do. Starts a new action: an earlier failure is forgotten.
    bool Connect();
    // "/pub/", "/pub/RzFilesOut/", "RzFilesOut" or "" (the root): all name a folder of the store,
    // relative names counting from the store root. Over the network the server is asked to
    // change there, and a refusal is a failure without a connection failure.
    bool SetFolder(const std::string& strFolder);
    // Replaces the store file of that name wholly or not at all: a failed transfer leaves the
    // old file, or none, under the name. The USB copy is left readable and writable; the first
    // copy of an action into a folder of the memory removes the temporary files that earlier
    // copies, cut off by a pulled memory, left there. An upload first deletes the temporary
    // files that earlier uploads of this program left on the unit when it went away.
    bool PutFile(const std::string& strLocalPath, const std::string& strStoreName);
    // Replaces the local file only when the whole file has arrived; the local file is left
    // readable and writable.
    bool GetFile(const std::string& strStoreName, const std::string& strLocalPath);
    // The whole store file in memory, unwatched: what the watch itself reads to keep a copy.
    // After a failure *pbNoSuchFile tells whether the store has no file of that name (the
    // unit's 550 to RETR, ENOENT on the memory), as against one that could not be read.
    std::optional<std::string> ReadFile(const std::string& strStoreName,
                                        bool* pbNoSuchFile = nullptr);
    bool Remove(const std::string& strStoreName);
    // Removes the files of the current folder one by one, calling back after each with whether
    // it went (false from the call back stops). The watch keeps their copies a group at a time,
    // so that a group reaches the PC's disk at once, ahead of its first removal.
    void RemoveEach(
        const std::vector<std::string>& aStoreNames,
        const std::function<bool(const std::string& strStoreName, bool bRemoved)>& afterRemove);
    // When the store file last changed, to the second where a listing of the unit shows
    // minutes ("YYYYMMDDHHMMSS"): from one MLSD of the folder for all its files, or the unit's
    // answer to MDTM where it lists no MLSD. nullopt where the unit answers neither, and on the
    // USB memory, whose listing has the time to the second already.
    std::optional<std::string> ExactTime(const std::string& strStoreName);
    // A folder that exists already counts as created.
    bool CreateDirectory(const std::string& strFolderName);
    // Entries of the current folder whose names match the pattern ("*", "*.fno", "*.NC"),
    // compared without regard to case as the unit's FAT memory does (see MatchesFilePattern),
    // in the order the transport lists them; never "." or "..", never a temporary file of a
    // write under way or cut off (see TemporaryName.h), and on the USB memory never a name
    // without a code page 932 form. nullopt when the listing failed. Over the network the
    // temporary files of uploads that the listing shows older than any upload takes are
    // deleted on the way: uploads killed part-way left them.
    std::optional<std::vector<StoreEntry>> FindFiles(const std::string& strPattern);
    // Whether the last listing of FindFiles was read whole: every line of the unit's reply an
    // entry or a line that listings hold without one, every name of the memory looked at. Only
    // such a listing tells that a name is absent; the entries of another are still entries.
    bool ListedWhole() const { return m_bListedWhole; }
    // Ends the connection; the store also closes itself when it goes.
    void Close();

    const UnitStoreSettings& Settings() const { return m_settings; }
    // The current folder relative to the store root: "" or "RzFilesOut/".
    const std::string& Folder() const { return m_strFolder; }
    // The watch of every store's changes (the journal); nullptr for none.
    static void SetWatch(IStoreWatch* pWatch);
    bool HasConnectionFailed() const { return m_bConnectionFailed; }
    bool WasStopped() const { return m_bStopped; }
    // "%s\n%sへの接続に失敗しました。" with the reason in the operator's words and the unit
    // address (UTF-8).
    std::string ConnectionFailureMessage() const;
    // The FTP client's own wording of the connection failure and the server's last reply, for
    // the journal.
    const std::string& ConnectionFailureDetail() const { return m_strErrorDetail; }
    // Why the unit or the memory refused the last command that failed without a connection
    // failure, in the operator's words ("ファイルがありません。"); empty when unknown.
    const std::string& RefusalText() const { return m_strRefusal; }
    // "%sのフォルダ移動に失敗しました。" with the unit address (UTF-8).
    std::string FolderFailureMessage() const;

    // The output name: OUT_FILE_NAME, plus "." + DOT when ADD_DOT is set.
    static std::string OutputName(const CSetData& setData);
    // The input name: the output name when SAME is set, else IN_FILE_NAME (+ "." + DOT).
    static std::string InputName(const CSetData& setData);

private:
    bool IsNetwork() const { return m_settings.nSousa == 1; }
    // The watch, unless it is at work already (it may use this store itself).
    IStoreWatch* Watch() const;
    // Whether an operation may go ahead: the action is still connected.
    bool CanContinue();
    // Keeps the text of a connection failure; true when the operation was done.
    bool TakeResult(FtpResult result);
    bool PutFileNow(const std::string& strLocalPath, const std::string& strStoreName);
    bool GetFileNow(const std::string& strStoreName, const std::string& strLocalPath);
    bool RemoveNow(const std::string& strStoreName);
    std::optional<std::vector<StoreEntry>> ListFolder(const std::string& strPattern);
    // Tells the watch that the action is done with the current folder.
    void LeaveFolder();
    FtpResult UploadReplacing(const std::string& strLocalPath, const std::string& strServerPath);
    std::string ServerPath(const std::string& strStoreName) const;
    // The file system path of a store name on the USB memory; nullopt when the name has no
    // UTF-8 form or leaves the store.
    std::optional<std::string> UsbPath(const std::string& strStoreName) const;
    static void RemoveLeftOverTemporaryFiles(const std::string& strFolder);
    void RemoveUploadsLeftOnUnit();
    void ReadFolderTimes();
    // The file's time is no longer known; bChanged: it was written, so a new MLSD is worth it.
    void ForgetFolderTime(const std::string& strStoreName, bool bChanged);
    void RemoveStaleUploads(const std::vector<StoreEntry>& aEntries);

    UnitStoreSettings m_settings;
    std::unique_ptr<CFtpClient> m_pFtp;
    std::string m_strFolder;  // current folder relative to the store root, "" or "RzFilesOut/"
    std::set<std::string> m_aClearedFolders;  // folders of the memory cleared in this action
    bool m_bConnected = false;                // from a connection made until Close
    bool m_bConnectionFailed = false;
    bool m_bStopped = false;
    bool m_bListedWhole = false;
    std::string m_strErrorText;
    std::string m_strErrorDetail;
    std::string m_strRefusal;
    // The times to the second of the current folder's files, by the name in upper case, while
    // the action has changed nothing there since MLSD listed them (m_bFolderTimesStale: a file
    // was put since); nullopt before.
    std::optional<std::map<std::string, std::string>> m_folderTimes;
    bool m_bFolderTimesStale = false;
    bool m_bOffersMachineListing = true;  // the unit has not refused MLSD in this action
    mutable bool m_bWatching = false;
};
