#include "unitstore/UnitStore.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <map>
#include <mutex>
#include <set>

#include "platform/AtomicFile.h"
#include "platform/FilePattern.h"
#include "platform/FtpClient.h"
#include "platform/FtpFailureText.h"
#include "platform/LocalFailure.h"
#include "platform/Progress.h"
#include "platform/StopRequest.h"
#include "platform/TemporaryName.h"
#include "platform/Text.h"
#include "platform/WholeFile.h"
#include "settings/SetData.h"
#include "unitstore/StoreWatch.h"

namespace {

// "YYYYMMDDHHMMSS": a time to the second as MDTM and MLSD write it, without a fraction.
constexpr size_t kSecondDigits = 14;

constexpr const char* kStoreRoot = "/pub/";
constexpr const char* kUser = "anonymous";
constexpr const char* kPassword = "zvb";

// Temporary files of uploads that a unit, gone in the middle, kept: by the unit's address, the
// paths that could not be deleted then. The next upload to that unit deletes them, so that
// files nobody sees do not pile up on its memory. Several units may be sent to at once (the
// fleet view), so the table is only reached under its lock.
struct UploadsLeftOnUnits {
    std::mutex mutex;
    std::map<std::string, std::set<std::string>> aPaths;
};

UploadsLeftOnUnits& LeftOnUnits() {
    static UploadsLeftOnUnits leftOnUnits;
    return leftOnUnits;
}

void RememberUploadsLeftOnUnit(const std::string& strServer, std::set<std::string> aPaths) {
    std::lock_guard lock(LeftOnUnits().mutex);
    LeftOnUnits().aPaths[strServer].merge(aPaths);
}

std::set<std::string> TakeUploadsLeftOnUnit(const std::string& strServer) {
    std::lock_guard lock(LeftOnUnits().mutex);
    auto node = LeftOnUnits().aPaths.extract(strServer);
    return node ? std::move(node.mapped()) : std::set<std::string>();
}

// "/pub/RzFilesOut/", "/pub", "RzFilesOut/" -> "RzFilesOut/" or ""; nullopt for a path outside
// the store.
std::optional<std::string> StoreFolderOf(std::string strFolder) {
    if (strFolder.starts_with('/')) {
        if (strFolder != "/pub" && !strFolder.starts_with(kStoreRoot)) {
            return std::nullopt;
        }
        strFolder.erase(0, strFolder == "/pub" ? 4 : 5);
    }
    while (strFolder.ends_with('/')) {
        strFolder.pop_back();
    }
    return strFolder.empty() ? strFolder : strFolder + "/";
}

// A store name (or folder path) that stays inside its folder: no empty, "." or ".."
// component, and no character that would end an FTP command. "/" is never a trail byte of
// code page 932, so splitting at it is safe.
bool StaysInStore(const std::string& strRelativePath) {
    if (strRelativePath.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) {
        return false;
    }
    size_t nStart = 0;
    while (true) {
        size_t nEnd = strRelativePath.find('/', nStart);
        std::string_view part = std::string_view(strRelativePath).substr(nStart, nEnd - nStart);
        if (part.empty() || part == "." || part == "..") {
            return false;
        }
        if (nEnd == std::string::npos) {
            return true;
        }
        nStart = nEnd + 1;
    }
}

// The Linux side of "attributes normal": the owner may read and write the file.
bool EnsureOwnerReadWrite(const std::string& strPath) {
    struct stat status {};
    if (stat(strPath.c_str(), &status) != 0) {
        return false;
    }
    mode_t mode = status.st_mode & 07777;
    return (mode & 0600) == 0600 || chmod(strPath.c_str(), mode | 0600) == 0;
}

// Both names lead to one file: a link, or on FAT the same name in other case.
bool IsSameFile(const struct stat& source, const std::string& strTarget) {
    struct stat target {};
    return stat(strTarget.c_str(), &target) == 0 && target.st_dev == source.st_dev &&
           target.st_ino == source.st_ino;
}

// bSyncToDisk: the copy goes to the USB memory, which the operator may pull out next; a copy
// to the PC's disk is only flushed, as downloads are. Every copy between the PC and the memory
// comes here, and one onto the file itself fails: it would gain nothing, and a move that then
// deletes the source would delete the only copy. The operator may stop the copy before each
// buffer (bStopped): the target then stays as it was.
bool CopyFileAtomically(const std::string& strSource, const std::string& strTarget,
                        bool bSyncToDisk, bool& bStopped) {
    std::FILE* pSource = std::fopen(strSource.c_str(), "rb");
    if (pSource == nullptr) {
        return false;
    }
    struct stat status {};
    CAtomicFile target(strTarget, bSyncToDisk);
    bool bOk = fstat(fileno(pSource), &status) == 0 && S_ISREG(status.st_mode) &&
               !IsSameFile(status, strTarget) && target.Open();
    std::vector<char> aBuffer(1 << 16);
    std::uint64_t nCopied = 0;
    while (bOk) {
        if (CStopRequest::IsRequested()) {
            bStopped = true;
            bOk = false;
            break;
        }
        size_t nRead = std::fread(aBuffer.data(), 1, aBuffer.size(), pSource);
        target.Write(std::string_view(aBuffer.data(), nRead));
        nCopied += nRead;
        CProgress::TransferBytes(nCopied, static_cast<std::uint64_t>(status.st_size));
        if (nRead < aBuffer.size()) {
            bOk = std::ferror(pSource) == 0;
            break;
        }
    }
    std::fclose(pSource);
    return bOk && target.Commit();
}

bool IsFolder(const std::string& strPath) {
    struct stat status {};
    return stat(strPath.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string WithExtension(const std::string& strName, const CSetData& setData) {
    return setData.ADD_DOT ? strName + "." + setData.DOT : strName;
}

// Set once at start-up; stores of several units read it from their threads.
std::atomic<IStoreWatch*> g_pWatch{nullptr};

// The watch's turn: while it lasts the store does not call the watch again.
class CWatchTurn {
public:
    explicit CWatchTurn(bool& bWatching) : m_bWatching(bWatching) { m_bWatching = true; }
    ~CWatchTurn() { m_bWatching = false; }
    CWatchTurn(const CWatchTurn&) = delete;
    CWatchTurn& operator=(const CWatchTurn&) = delete;

private:
    bool& m_bWatching;
};

}  // namespace

void CUnitStore::SetWatch(IStoreWatch* pWatch) {
    g_pWatch = pWatch;
}

IStoreWatch* CUnitStore::Watch() const {
    return m_bWatching ? nullptr : g_pWatch.load();
}

CUnitStore::CUnitStore(UnitStoreSettings settings) : m_settings(std::move(settings)) {}

CUnitStore::~CUnitStore() {
    Close();
}

bool CUnitStore::Connect() {
    m_bConnectionFailed = false;
    m_bStopped = false;
    m_strErrorText.clear();
    m_strErrorDetail.clear();
    m_strRefusal.clear();
    m_folderTimes.reset();
    m_bOffersMachineListing = true;
    m_strFolder.clear();
    m_aClearedFolders.clear();
    m_pFtp.reset();
    m_bConnected = false;
    if (IStoreWatch* pWatch = Watch()) {
        CWatchTurn turn(m_bWatching);
        pWatch->OnConnect(*this);
    }
    if (IsNetwork()) {
        m_pFtp = std::make_unique<CFtpClient>(
            FtpClientOptions{m_settings.strServer, m_settings.nPort, kUser, kPassword,
                             m_settings.bPasv, m_settings.nTimeoutSeconds, m_settings.pCancel});
        m_bConnected = TakeResult(m_pFtp->Connect());
    } else {
        m_bConnected = true;
    }
    return m_bConnected;
}

bool CUnitStore::SetFolder(const std::string& strFolder) {
    std::optional<std::string> folder = StoreFolderOf(strFolder);
    if (!CanContinue() || !folder ||
        (!folder->empty() && !StaysInStore(folder->substr(0, folder->size() - 1)))) {
        return false;
    }
    LeaveFolder();
    if (IsNetwork() && !TakeResult(m_pFtp->ChangeFolder(kStoreRoot + *folder))) {
        return false;
    }
    m_strFolder = *folder;
    m_folderTimes.reset();
    return true;
}

bool CUnitStore::PutFile(const std::string& strLocalPath, const std::string& strStoreName) {
    // A PC file that cannot be read goes nowhere: nothing on the unit is kept or replaced for it.
    if (int nError = ProbeFileForRead(strLocalPath); nError != 0) {
        m_strRefusal = LocalReadFailureReason(nError);
        return false;
    }
    IStoreWatch* pWatch = Watch();
    if (pWatch == nullptr || !CanContinue() || !StaysInStore(strStoreName)) {
        return PutFileNow(strLocalPath, strStoreName);
    }
    CWatchTurn turn(m_bWatching);
    bool bDone = pWatch->BeforeStoreChange(*this, strStoreName, false) &&
                 PutFileNow(strLocalPath, strStoreName);
    pWatch->AfterPut(*this, strLocalPath, strStoreName, bDone);
    return bDone;
}

bool CUnitStore::PutFileNow(const std::string& strLocalPath, const std::string& strStoreName) {
    if (!CanContinue() || !StaysInStore(strStoreName)) {
        return false;
    }
    if (IsNetwork()) {
        RemoveUploadsLeftOnUnit();
        ForgetFolderTime(strStoreName, true);
        return TakeResult(UploadReplacing(strLocalPath, ServerPath(strStoreName)));
    }
    std::optional<std::string> path = UsbPath(strStoreName);
    if (!path) {
        return false;
    }
    std::string strFolder = path->substr(0, path->rfind('/') + 1);
    if (m_aClearedFolders.insert(strFolder).second) {
        RemoveLeftOverTemporaryFiles(strFolder);
    }
    return CopyFileAtomically(strLocalPath, *path, true, m_bStopped) && EnsureOwnerReadWrite(*path);
}

// A cut transfer must never leave a truncated program under the name the unit hands to the
// machine: the file goes to a temporary name beside the target and is renamed onto it. The
// name is this upload's own, so that another PC uploading into the folder at the same time
// never renames the file this one is still writing, nor this one its. A
// server that refuses the rename gets the file under its name directly, as the only way
// left, and a partial file of such a transfer is removed. Nothing temporary stays behind: what
// a unit that went away in the middle kept, the next upload to it deletes.
FtpResult CUnitStore::UploadReplacing(const std::string& strLocalPath,
                                      const std::string& strServerPath) {
    std::string strTemporaryPath =
        strServerPath.substr(0, strServerPath.rfind('/') + 1) + NewTemporaryName();
    FtpResult result = m_pFtp->UploadAndRename(strLocalPath, strTemporaryPath, strServerPath);
    if (result == FtpResult::Done) {
        return result;
    }
    bool bRenameRefused = result == FtpResult::Refused && m_pFtp->TransferCompleted();
    if (m_pFtp->RemoveLeftover(strTemporaryPath) == FtpResult::ConnectionFailed) {
        RememberUploadsLeftOnUnit(m_settings.strServer, {strTemporaryPath});
    }
    if (!bRenameRefused) {
        return result;
    }
    result = m_pFtp->Upload(strLocalPath, strServerPath);
    if (result != FtpResult::Done && m_pFtp->TransferStarted()) {
        m_pFtp->RemoveLeftover(strServerPath);
    }
    return result;
}

bool CUnitStore::GetFile(const std::string& strStoreName, const std::string& strLocalPath) {
    IStoreWatch* pWatch = Watch();
    if (pWatch == nullptr || !CanContinue() || !StaysInStore(strStoreName)) {
        return GetFileNow(strStoreName, strLocalPath);
    }
    CWatchTurn turn(m_bWatching);
    bool bDone = pWatch->BeforeLocalReplace(strLocalPath) && GetFileNow(strStoreName, strLocalPath);
    pWatch->AfterGet(*this, strStoreName, strLocalPath, bDone);
    return bDone;
}

bool CUnitStore::GetFileNow(const std::string& strStoreName, const std::string& strLocalPath) {
    if (!CanContinue() || !StaysInStore(strStoreName)) {
        return false;
    }
    bool bCopied = false;
    if (IsNetwork()) {
        bCopied = TakeResult(m_pFtp->Download(ServerPath(strStoreName), strLocalPath));
    } else {
        std::optional<std::string> path = UsbPath(strStoreName);
        bCopied = path && CopyFileAtomically(*path, strLocalPath, false, m_bStopped);
        if (!bCopied && path && ProbeFileForRead(*path) == ENOENT) {
            m_strRefusal = kMissingFileText;
        }
    }
    return bCopied && EnsureOwnerReadWrite(strLocalPath);
}

std::optional<std::string> CUnitStore::ReadFile(const std::string& strStoreName,
                                                bool* pbNoSuchFile) {
    bool bNoSuchFile = false;
    std::optional<std::string> bytes;
    if (CanContinue() && StaysInStore(strStoreName)) {
        if (IsNetwork()) {
            std::string strBytes;
            if (TakeResult(m_pFtp->DownloadToMemory(ServerPath(strStoreName), strBytes))) {
                bytes = std::move(strBytes);
            }
            bNoSuchFile = !bytes && m_pFtp->NoSuchFile();
        } else if (std::optional<std::string> path = UsbPath(strStoreName)) {
            errno = 0;
            bytes = ReadWholeFile(*path);
            bNoSuchFile = !bytes && errno == ENOENT;
        }
    }
    if (pbNoSuchFile != nullptr) {
        *pbNoSuchFile = bNoSuchFile;
    }
    return bytes;
}

// One MLSD answers for every file of the folder, where MDTM would cost a command a file; a unit
// without MLSD is asked MDTM. The times stay known until the action changes a file of the
// folder or goes to another.
std::optional<std::string> CUnitStore::ExactTime(const std::string& strStoreName) {
    if (!IsNetwork() || !CanContinue() || !StaysInStore(strStoreName)) {
        return std::nullopt;
    }
    if (m_bOffersMachineListing && strStoreName.find('/') == std::string::npos) {
        std::string strKey = MakeUpper(strStoreName);
        if (!m_folderTimes || (!m_folderTimes->contains(strKey) && m_bFolderTimesStale)) {
            ReadFolderTimes();
        }
        if (m_folderTimes) {
            auto found = m_folderTimes->find(strKey);
            return found == m_folderTimes->end() ? std::nullopt
                                                 : std::optional<std::string>(found->second);
        }
    }
    std::string strTime;
    if (!TakeResult(m_pFtp->ModifiedTime(ServerPath(strStoreName), strTime))) {
        return std::nullopt;
    }
    return strTime.substr(0, kSecondDigits);
}

void CUnitStore::ReadFolderTimes() {
    m_folderTimes.reset();
    m_bFolderTimesStale = false;
    std::vector<StoreEntry> aEntries;
    FtpResult result = m_pFtp->ListMachineReadable(kStoreRoot + m_strFolder, aEntries);
    if (result == FtpResult::Refused) {
        m_bOffersMachineListing = false;
        return;
    }
    if (!TakeResult(result)) {
        return;
    }
    m_folderTimes.emplace();
    for (const StoreEntry& entry : aEntries) {
        if (!entry.bFolder && entry.strTime.size() >= kSecondDigits) {
            (*m_folderTimes)[MakeUpper(entry.strName)] = entry.strTime.substr(0, kSecondDigits);
        }
    }
}

void CUnitStore::ForgetFolderTime(const std::string& strStoreName, bool bChanged) {
    if (m_folderTimes) {
        m_folderTimes->erase(MakeUpper(strStoreName));
    }
    m_bFolderTimesStale = m_bFolderTimesStale || bChanged;
}

bool CUnitStore::Remove(const std::string& strStoreName) {
    IStoreWatch* pWatch = Watch();
    if (pWatch == nullptr || !CanContinue() || !StaysInStore(strStoreName)) {
        return RemoveNow(strStoreName);
    }
    CWatchTurn turn(m_bWatching);
    bool bDone = pWatch->BeforeStoreChange(*this, strStoreName, true) && RemoveNow(strStoreName);
    pWatch->AfterRemove(*this, strStoreName, bDone);
    return bDone;
}

void CUnitStore::RemoveEach(
    const std::vector<std::string>& aStoreNames,
    const std::function<bool(const std::string& strStoreName, bool bRemoved)>& afterRemove) {
    // Large enough that one sync serves many deletions, small enough that the first deletion
    // follows soon and a stop loses little fetching.
    constexpr size_t kGroupSize = 64;
    for (size_t nAt = 0; nAt < aStoreNames.size(); ++nAt) {
        IStoreWatch* pWatch = Watch();
        if (nAt % kGroupSize == 0 && pWatch != nullptr && CanContinue()) {
            size_t nEnd = std::min(aStoreNames.size(), nAt + kGroupSize);
            CWatchTurn turn(m_bWatching);
            pWatch->BeforeStoreChanges(*this, {aStoreNames.begin() + static_cast<long>(nAt),
                                               aStoreNames.begin() + static_cast<long>(nEnd)});
        }
        if (!afterRemove(aStoreNames[nAt], Remove(aStoreNames[nAt]))) {
            return;
        }
    }
}

bool CUnitStore::RemoveNow(const std::string& strStoreName) {
    if (!CanContinue() || !StaysInStore(strStoreName)) {
        return false;
    }
    if (IsNetwork()) {
        ForgetFolderTime(strStoreName, false);
        return TakeResult(m_pFtp->Delete(ServerPath(strStoreName)));
    }
    std::optional<std::string> path = UsbPath(strStoreName);
    return path && unlink(path->c_str()) == 0;
}

bool CUnitStore::CreateDirectory(const std::string& strFolderName) {
    if (!CanContinue() || !StaysInStore(strFolderName)) {
        return false;
    }
    if (IsNetwork()) {
        std::string strPath = ServerPath(strFolderName);
        FtpResult result = m_pFtp->MakeFolder(strPath);
        if (result == FtpResult::Refused) {
            result = m_pFtp->ChangeFolder(strPath);  // refused because it is there already?
        }
        return TakeResult(result);
    }
    std::optional<std::string> path = UsbPath(strFolderName);
    return path && (mkdir(path->c_str(), 0777) == 0 || (errno == EEXIST && IsFolder(*path)));
}

// The watch sees every listing whole, whatever the pattern: it tells which files are there.
std::optional<std::vector<StoreEntry>> CUnitStore::FindFiles(const std::string& strPattern) {
    IStoreWatch* pWatch = Watch();
    std::optional<std::vector<StoreEntry>> aEntries = ListFolder(pWatch ? "*" : strPattern);
    if (pWatch != nullptr && aEntries) {
        {
            CWatchTurn turn(m_bWatching);
            pWatch->OnListed(*this, *aEntries);
        }
        std::erase_if(*aEntries, [&strPattern](const StoreEntry& entry) {
            return !MatchesFilePattern(entry.strName, strPattern);
        });
    }
    return aEntries;
}

std::optional<std::vector<StoreEntry>> CUnitStore::ListFolder(const std::string& strPattern) {
    m_bListedWhole = false;
    if (!CanContinue()) {
        return std::nullopt;
    }
    std::vector<StoreEntry> aEntries;
    if (IsNetwork()) {
        if (!TakeResult(m_pFtp->List(kStoreRoot + m_strFolder, strPattern, aEntries))) {
            return std::nullopt;
        }
        m_bListedWhole = m_pFtp->ListedWhole();
        RemoveStaleUploads(aEntries);
        std::erase_if(aEntries,
                      [](const StoreEntry& entry) { return IsTemporaryName(entry.strName); });
        return aEntries;
    }
    std::optional<std::string> folder = UsbPath("");
    DIR* pFolder = folder ? opendir(folder->c_str()) : nullptr;
    if (pFolder == nullptr) {
        return std::nullopt;
    }
    m_bListedWhole = true;
    while (const dirent* pEntry = readdir(pFolder)) {
        std::string_view name = pEntry->d_name;
        std::optional<std::string> cp932Name = Utf8ToCp932(name);
        // A name without a code page 932 form cannot be named to the store again: leave it out.
        if (name == "." || name == ".." || !cp932Name || IsTemporaryName(name) ||
            !MatchesFilePattern(*cp932Name, strPattern)) {
            continue;
        }
        // A name that a failing memory does not let be looked at is no entry, yet no absence.
        struct stat status {};
        if (fstatat(dirfd(pFolder), pEntry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
            m_bListedWhole = false;
            continue;
        }
        aEntries.push_back({*cp932Name, S_ISDIR(status.st_mode), status.st_size,
                            Format("%lld.%09ld", static_cast<long long>(status.st_mtim.tv_sec),
                                   status.st_mtim.tv_nsec)});
    }
    closedir(pFolder);
    return aEntries;
}

// A path that the unit refuses to delete is gone or not the program's to delete; one that
// meets a lost connection again waits for the next upload. A stop waits until this is done.
void CUnitStore::RemoveUploadsLeftOnUnit() {
    CStopShield shield;
    std::set<std::string> aPaths = TakeUploadsLeftOnUnit(m_settings.strServer);
    for (auto path = aPaths.begin(); path != aPaths.end(); path = aPaths.erase(path)) {
        if (m_pFtp->Delete(*path) == FtpResult::ConnectionFailed) {
            RememberUploadsLeftOnUnit(m_settings.strServer, std::move(aPaths));
            return;
        }
    }
}

// An upload killed part-way (its process killed, its PC switched off) leaves its temporary
// file on the unit, and only the process that made it would know to delete it. A file of that
// form older than any upload can take is such a one, whichever PC made it: the listing the
// action makes anyway shows it, and it goes with one command. The listing's clock is the
// unit's, in whatever zone: a day more than the widest difference between zones.
void CUnitStore::RemoveStaleUploads(const std::vector<StoreEntry>& aEntries) {
    constexpr std::time_t kStaleSeconds = (24 + 14) * 60 * 60;
    const std::time_t nNow = std::time(nullptr);
    for (const StoreEntry& entry : aEntries) {
        if (entry.bFolder || !IsTemporaryName(entry.strName)) {
            continue;
        }
        std::optional<std::time_t> listed = ListedTime(entry.strTime, nNow);
        if (listed && nNow - *listed > kStaleSeconds &&
            m_pFtp->Delete(ServerPath(entry.strName)) == FtpResult::ConnectionFailed) {
            return;
        }
    }
}

// A USB memory pulled out half way through a copy keeps the copy's temporary file: FAT has no
// unnamed files. The next write into that folder removes what the program's own writes left.
void CUnitStore::RemoveLeftOverTemporaryFiles(const std::string& strFolder) {
    DIR* pFolder = opendir(strFolder.c_str());
    if (pFolder == nullptr) {
        return;
    }
    std::vector<std::string> aLeftOver;
    while (const dirent* pEntry = readdir(pFolder)) {
        if (IsLeftOverTemporaryName(pEntry->d_name)) {
            aLeftOver.emplace_back(pEntry->d_name);
        }
    }
    for (const std::string& strName : aLeftOver) {
        unlinkat(dirfd(pFolder), strName.c_str(), 0);
    }
    closedir(pFolder);
}

void CUnitStore::LeaveFolder() {
    IStoreWatch* pWatch = Watch();
    if (pWatch != nullptr && m_bConnected && CanContinue()) {
        CWatchTurn turn(m_bWatching);
        pWatch->BeforeLeaveFolder(*this);
    }
}

void CUnitStore::Close() {
    LeaveFolder();
    m_bConnected = false;
    if (m_pFtp) {
        m_pFtp->Close();
        m_pFtp.reset();
    }
}

std::string CUnitStore::ConnectionFailureMessage() const {
    return Format("%s\n%sへの接続に失敗しました。", m_strErrorText.c_str(),
                  m_settings.strServer.c_str());
}

std::string CUnitStore::FolderFailureMessage() const {
    return Format("%sのフォルダ移動に失敗しました。", m_settings.strServer.c_str());
}

std::string CUnitStore::OutputName(const CSetData& setData) {
    return WithExtension(setData.OUT_FILE_NAME, setData);
}

std::string CUnitStore::InputName(const CSetData& setData) {
    return setData.SAME ? OutputName(setData) : WithExtension(setData.IN_FILE_NAME, setData);
}

bool CUnitStore::CanContinue() {
    if (m_bConnectionFailed || m_bStopped) {
        return false;
    }
    if (IsNetwork() && !m_pFtp) {
        m_bConnectionFailed = true;
        m_strErrorText = "ユニットに接続していません。";
        m_strErrorDetail = "not connected";
        return false;
    }
    return true;
}

bool CUnitStore::TakeResult(FtpResult result) {
    if (result == FtpResult::Refused) {
        m_strRefusal = m_pFtp->FailureText();
    }
    if (result == FtpResult::ConnectionFailed) {
        m_bConnectionFailed = true;
        m_strErrorText = m_pFtp->FailureText();
        m_strErrorDetail = m_pFtp->ErrorText();
    }
    m_bStopped = m_bStopped || result == FtpResult::Stopped;
    return result == FtpResult::Done;
}

std::string CUnitStore::ServerPath(const std::string& strStoreName) const {
    return kStoreRoot + m_strFolder + strStoreName;
}

std::optional<std::string> CUnitStore::UsbPath(const std::string& strStoreName) const {
    std::optional<std::string> relativePath = Cp932ToUtf8(m_strFolder + strStoreName);
    if (!relativePath) {
        return std::nullopt;
    }
    return m_settings.strUsbDrive + *relativePath;
}
