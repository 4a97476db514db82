#include "platform/FtpClient.h"

#include <curl/curl.h>
#include <sys/select.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>
#include <type_traits>

#include "platform/AtomicFile.h"
#include "platform/FilePattern.h"
#include "platform/FtpFailureText.h"
#include "platform/Progress.h"
#include "platform/StopRequest.h"
#include "platform/Text.h"

namespace {

constexpr size_t kMaxErrorTextBytes = 1024;
constexpr int kPollMilliseconds = 10;
constexpr int kIdlePollMilliseconds = 1;
// How long Close waits for the answer to QUIT. The action is over by then: a unit that does
// not answer must not hold the program up for a whole time-out.
constexpr long kQuitSeconds = 1;
// A transfer slower than this many bytes a second for the whole time-out fails as a silent
// one does. The unit serves a USB memory over a local network at hundreds of kilobytes a
// second or more; a unit that trickles a byte at a time would otherwise hold a transfer for
// hours with no way to stop it.
constexpr long kLowSpeedFloorBytes = 1024;

void InitialiseCurlOnce() {
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Bytes outside the unreserved set go into the URL as %XX, so that curl hands the server the
// exact code page 932 bytes of a name, and ";" or "#" in a name are never taken for URL syntax.
std::string PercentEncode(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string strEncoded;
    for (char character : path) {
        unsigned char byte = static_cast<unsigned char>(character);
        bool bUnreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' ||
                           byte == '_' || byte == '~' || byte == '/';
        if (bUnreserved) {
            strEncoded += character;
        } else {
            strEncoded += '%';
            strEncoded += kHex[byte >> 4];
            strEncoded += kHex[byte & 0x0F];
        }
    }
    return strEncoded;
}

// Whether an absolute path can travel in one FTP command line: a CR or LF would end the
// command early and let the rest be read as a second command.
bool IsSendablePath(std::string_view path) {
    return !path.empty() && path.front() == '/' &&
           path.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

// Replies of this kind are the server turning down the command itself; the control connection
// is in order. Write, read and callback errors are the local file's. Everything else means the
// session with the server broke down.
bool IsRefusal(CURLcode code) {
    switch (code) {
        case CURLE_REMOTE_ACCESS_DENIED:
        case CURLE_FTP_COULDNT_RETR_FILE:
        case CURLE_REMOTE_FILE_NOT_FOUND:
        case CURLE_QUOTE_ERROR:
        case CURLE_UPLOAD_FAILED:
        case CURLE_WRITE_ERROR:
        case CURLE_READ_ERROR:
        case CURLE_ABORTED_BY_CALLBACK:
            return true;
        default:
            return false;
    }
}

// "/pub/RzFilesOut/0001.fno" -> "/pub/RzFilesOut/"; "/pub" -> "/".
std::string FolderOf(const std::string& strServerPath) {
    return strServerPath.substr(0, strServerPath.rfind('/') + 1);
}

// Cuts UTF-8 text to at most nMaxBytes without splitting a character.
std::string CutUtf8(std::string strText, size_t nMaxBytes) {
    if (strText.size() <= nMaxBytes) {
        return strText;
    }
    size_t nLength = nMaxBytes;
    while (nLength > 0 && (static_cast<unsigned char>(strText[nLength]) & 0xC0) == 0x80) {
        --nLength;
    }
    strText.resize(nLength);
    return strText;
}

size_t WriteToFile(char* pData, size_t nSize, size_t nCount, void* pTarget) {
    static_cast<CAtomicFile*>(pTarget)->Write(std::string_view(pData, nSize * nCount));
    return nSize * nCount;
}

size_t WriteToMemory(char* pData, size_t nSize, size_t nCount, void* pBytes) {
    static_cast<std::string*>(pBytes)->append(pData, nSize * nCount);
    return nSize * nCount;
}

// A damaged listing ends the transfer: what follows would not be read.
size_t WriteToListParser(char* pData, size_t nSize, size_t nCount, void* pParser) {
    CFtpListParser* pListParser = static_cast<CFtpListParser*>(pParser);
    pListParser->Add(std::string_view(pData, nSize * nCount));
    return pListParser->IsDamaged() ? 0 : nSize * nCount;
}

size_t ReadFromFile(char* pBuffer, size_t nSize, size_t nCount, void* pFile) {
    size_t nRead = std::fread(pBuffer, nSize, nCount, static_cast<std::FILE*>(pFile));
    if (nRead < nCount && std::ferror(static_cast<std::FILE*>(pFile))) {
        return CURL_READFUNC_ABORT;
    }
    return nRead;
}

constexpr long kTransferBufferBytes = 512 * 1024;

using CommandList = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

// Commands of the form "VERB /absolute/path" as curl takes them. strWhyNot says why there
// are none: a path that cannot travel in one command line, or no memory.
CommandList MakeCommandList(const std::vector<std::string>& aCommands, std::string& strWhyNot) {
    CommandList pCommands(nullptr, curl_slist_free_all);
    for (const std::string& strCommand : aCommands) {
        size_t nPath = strCommand.find(' ') + 1;
        if (!IsSendablePath(std::string_view(strCommand).substr(nPath))) {
            strWhyNot = "invalid name";
            return CommandList(nullptr, curl_slist_free_all);
        }
        curl_slist* pList = curl_slist_append(pCommands.get(), strCommand.c_str());
        if (pList == nullptr) {
            strWhyNot = curl_easy_strerror(CURLE_OUT_OF_MEMORY);
            return CommandList(nullptr, curl_slist_free_all);
        }
        pCommands.release();
        pCommands.reset(pList);
    }
    return pCommands;
}

struct FileCloser {
    void operator()(std::FILE* pFile) const { std::fclose(pFile); }
};

// Whether curl waits on any socket. After the reply to PASV, libcurl 7.88 sometimes waits on
// none and opens the data connection only when it is called again.
bool WaitsOnSocket(CURLM* pMulti) {
    fd_set readSockets;
    fd_set writeSockets;
    fd_set exceptionSockets;
    FD_ZERO(&readSockets);
    FD_ZERO(&writeSockets);
    FD_ZERO(&exceptionSockets);
    int nHighest = -1;
    return curl_multi_fdset(pMulti, &readSockets, &writeSockets, &exceptionSockets, &nHighest) ==
               CURLM_OK &&
           nHighest >= 0;
}

}  // namespace

CFtpClient::CFtpClient(FtpClientOptions options) : m_options(std::move(options)) {}

CFtpClient::~CFtpClient() {
    Close();
}

// The server's replies reach curl's header callback one line at a time; a line whose code is
// followed by a blank ends a reply. A preliminary reply (1xx) opens a transfer. Only a
// negative reply (4xx, 5xx) says why something failed: the last one is kept for the error
// text.
// curl calls this often while a request runs, also while it waits for a silent server: the
// place to stop at the operator's request, and to report the bytes of a file transfer.
static_assert(std::is_same_v<curl_off_t, std::int64_t>, "curl's transfer callback as declared");

int CFtpClient::OnTransfer(void* pClient, std::int64_t nDownloadTotal, std::int64_t nDownloaded,
                           std::int64_t nUploadTotal, std::int64_t nUploaded) {
    CFtpClient* pThis = static_cast<CFtpClient*>(pClient);
    if (pThis->StopsNow()) {
        return 1;
    }
    if (!pThis->m_bReportsBytes) {
        return 0;
    }
    if (nUploadTotal > 0 || nUploaded > 0) {
        CProgress::TransferBytes(static_cast<std::uint64_t>(nUploaded),
                                 static_cast<std::uint64_t>(nUploadTotal));
    } else {
        CProgress::TransferBytes(static_cast<std::uint64_t>(nDownloaded),
                                 static_cast<std::uint64_t>(nDownloadTotal));
    }
    return 0;
}

bool CFtpClient::StopsNow() {
    m_bStopped = m_bStopped || CStopRequest::IsRequested();
    return m_bStopped;
}

size_t CFtpClient::OnReply(char* pData, size_t nSize, size_t nCount, void* pClient) {
    std::string_view line(pData, nSize * nCount);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
        line.remove_suffix(1);
    }
    if (line.size() < 4 || line[3] != ' ') {
        return nSize * nCount;
    }
    CFtpClient* pThis = static_cast<CFtpClient*>(pClient);
    if (line.starts_with("213 ")) {
        pThis->m_strFileStatus = line.substr(4);
    }
    if (line[0] == '1') {
        pThis->m_bTransferStarted = true;
    } else if (line[0] == '2' && pThis->m_bTransferStarted) {
        pThis->m_bTransferCompleted = true;
    } else if (line[0] == '4' || line[0] == '5') {
        pThis->m_strLastReply = Cp932ToDisplay(line);
    }
    return nSize * nCount;
}

FtpResult CFtpClient::Connect() {
    Close();
    InitialiseCurlOnce();
    m_pMulti = curl_multi_init();
    m_pCurl = curl_easy_init();
    if (m_pMulti == nullptr || m_pCurl == nullptr) {
        m_strErrorText = curl_easy_strerror(CURLE_OUT_OF_MEMORY);
        m_nFailureCode = CURLE_OUT_OF_MEMORY;
        return FtpResult::ConnectionFailed;
    }
    // The server's root without a folder: curl logs in and changes nowhere.
    if (!Begin(Format("ftp://%s:%d/", m_options.strHost.c_str(), m_options.nPort))) {
        return FtpResult::ConnectionFailed;
    }
    curl_easy_setopt(m_pCurl, CURLOPT_NOBODY, 1L);
    return Finish(Perform());
}

FtpResult CFtpClient::ChangeFolder(const std::string& strFolderPath) {
    std::string strPath = strFolderPath.ends_with('/') ? strFolderPath : strFolderPath + "/";
    if (!IsSendablePath(strPath)) {
        return FailLocally("invalid folder name");
    }
    if (!Begin(UrlOf(strPath))) {
        return FtpResult::ConnectionFailed;
    }
    curl_easy_setopt(m_pCurl, CURLOPT_NOBODY, 1L);
    return Finish(Perform());
}

FtpResult CFtpClient::Upload(const std::string& strLocalPath, const std::string& strServerPath) {
    return SendFile(strLocalPath, strServerPath, {});
}

FtpResult CFtpClient::UploadAndRename(const std::string& strLocalPath,
                                      const std::string& strTemporaryPath,
                                      const std::string& strServerPath) {
    return SendFile(strLocalPath, strTemporaryPath,
                    {"RNFR " + strTemporaryPath, "RNTO " + strServerPath});
}

// Commands after the transfer go in the same request: curl sends them only once the server
// has confirmed the whole file, and no further change of folder lies between the two.
FtpResult CFtpClient::SendFile(const std::string& strLocalPath, const std::string& strServerPath,
                               const std::vector<std::string>& aAfterCommands) {
    if (!IsSendablePath(strServerPath)) {
        return FailLocally("invalid file name");
    }
    std::string strWhyNot;
    CommandList pAfterCommands = MakeCommandList(aAfterCommands, strWhyNot);
    if (!strWhyNot.empty()) {
        return FailLocally(strWhyNot);
    }
    std::unique_ptr<std::FILE, FileCloser> pFile(std::fopen(strLocalPath.c_str(), "rb"));
    struct stat status {};
    if (!pFile || fstat(fileno(pFile.get()), &status) != 0 || !S_ISREG(status.st_mode)) {
        return FailLocally(strLocalPath + ": cannot be read");
    }
    if (!Begin(UrlOf(strServerPath))) {
        return FtpResult::ConnectionFailed;
    }
    curl_easy_setopt(m_pCurl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(m_pCurl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(status.st_size));
    curl_easy_setopt(m_pCurl, CURLOPT_READFUNCTION, ReadFromFile);
    curl_easy_setopt(m_pCurl, CURLOPT_READDATA, pFile.get());
    curl_easy_setopt(m_pCurl, CURLOPT_UPLOAD_BUFFERSIZE, kTransferBufferBytes);
    curl_easy_setopt(m_pCurl, CURLOPT_POSTQUOTE, pAfterCommands.get());
    m_bReportsBytes = true;
    return Finish(Perform());
}

FtpResult CFtpClient::Download(const std::string& strServerPath, const std::string& strLocalPath) {
    if (!IsSendablePath(strServerPath)) {
        return FailLocally("invalid file name");
    }
    // The file lands on the PC's own disk, which is not pulled out like the unit's memory: the
    // rename keeps a half-written file from standing under the name, and waiting for the disk
    // as well would only slow every download (staging copies that go a moment later too).
    CAtomicFile target(strLocalPath, false);
    if (!target.Open()) {
        return FailLocally(strLocalPath + ": cannot be written");
    }
    if (!Begin(UrlOf(strServerPath))) {
        return FtpResult::ConnectionFailed;
    }
    SetDownloadOptions(WriteToFile, &target);
    FtpResult result = Finish(Perform());
    if (result == FtpResult::Done && !target.Commit()) {
        return FailLocally(strLocalPath + ": cannot be written");
    }
    return result;
}

FtpResult CFtpClient::DownloadToMemory(const std::string& strServerPath, std::string& strBytes) {
    strBytes.clear();
    if (!IsSendablePath(strServerPath)) {
        return FailLocally("invalid file name");
    }
    if (!Begin(UrlOf(strServerPath))) {
        return FtpResult::ConnectionFailed;
    }
    SetDownloadOptions(WriteToMemory, &strBytes);
    return Finish(Perform());
}

FtpResult CFtpClient::Delete(const std::string& strServerPath) {
    return RunCommands({"DELE " + strServerPath}, FolderOf(strServerPath));
}

FtpResult CFtpClient::RemoveLeftover(const std::string& strServerPath) {
    CStopShield shield;
    std::string strErrorText = std::move(m_strErrorText);
    std::string strLastReply = std::move(m_strLastReply);
    int nFailureCode = m_nFailureCode;
    FtpResult result = Delete(strServerPath);
    m_strErrorText = std::move(strErrorText);
    m_strLastReply = std::move(strLastReply);
    m_nFailureCode = nFailureCode;
    return result;
}

FtpResult CFtpClient::MakeFolder(const std::string& strServerPath) {
    std::string strPath = strServerPath;
    while (strPath.size() > 1 && strPath.ends_with('/')) {
        strPath.pop_back();
    }
    return RunCommands({"MKD " + strServerPath}, FolderOf(strPath));
}

FtpResult CFtpClient::ModifiedTime(const std::string& strServerPath, std::string& strTime) {
    strTime.clear();
    FtpResult result = RunCommands({"MDTM " + strServerPath}, FolderOf(strServerPath));
    if (result != FtpResult::Done) {
        return result;
    }
    constexpr size_t kSecondDigits = 14;
    std::string_view time = m_strFileStatus;
    while (time.ends_with(' ')) {
        time.remove_suffix(1);
    }
    bool bSeconds = time.size() >= kSecondDigits &&
                    std::all_of(time.begin(), time.begin() + kSecondDigits,
                                [](char digit) { return digit >= '0' && digit <= '9'; }) &&
                    time.find_first_of("\t\r\n") == std::string_view::npos;
    if (!bSeconds) {
        return FailLocally("no time in the answer to MDTM");
    }
    strTime = time;
    return result;
}

FtpResult CFtpClient::List(const std::string& strFolderPath, const std::string& strPattern,
                           std::vector<FtpListEntry>& aEntries) {
    FtpResult result = ListFolder(strFolderPath, nullptr, aEntries);
    std::erase_if(aEntries, [&strPattern](const FtpListEntry& entry) {
        return !MatchesFilePattern(entry.strName, strPattern);
    });
    return result;
}

FtpResult CFtpClient::ListMachineReadable(const std::string& strFolderPath,
                                          std::vector<FtpListEntry>& aEntries) {
    return ListFolder(strFolderPath, "MLSD", aEntries);
}

FtpResult CFtpClient::ListFolder(const std::string& strFolderPath, const char* pszCommand,
                                 std::vector<FtpListEntry>& aEntries) {
    aEntries.clear();
    std::string strPath = strFolderPath.ends_with('/') ? strFolderPath : strFolderPath + "/";
    if (!IsSendablePath(strPath)) {
        return FailLocally("invalid folder name");
    }
    if (!Begin(UrlOf(strPath))) {
        return FtpResult::ConnectionFailed;
    }
    if (pszCommand != nullptr) {
        curl_easy_setopt(m_pCurl, CURLOPT_CUSTOMREQUEST, pszCommand);
    }
    // The lines are read as they come, in large reads: a server that lists a large folder
    // slowly is still sending when the program has read what it sent.
    CFtpListParser parser;
    curl_easy_setopt(m_pCurl, CURLOPT_WRITEFUNCTION, WriteToListParser);
    curl_easy_setopt(m_pCurl, CURLOPT_WRITEDATA, &parser);
    curl_easy_setopt(m_pCurl, CURLOPT_BUFFERSIZE, kTransferBufferBytes);
    FtpResult result = Finish(Perform());
    std::vector<FtpListEntry> aListed = parser.Finish();
    if (parser.IsDamaged() && result != FtpResult::ConnectionFailed) {
        return FailLocally(
            Format("damaged listing: a line longer than %zu bytes", kMaxListLineBytes));
    }
    if (result == FtpResult::Done) {
        m_bListedWhole = parser.IsWhole();
        aEntries = std::move(aListed);
    }
    return result;
}

void CFtpClient::Close() {
    // The connection belongs to the multi handle: cleaning it up ends the session with QUIT.
    // curl waits for its answer as long as the reply time-out of the request added last, so a
    // request with a short one goes in and out first.
    if (m_pMulti != nullptr) {
        if (m_pCurl != nullptr) {
            curl_easy_reset(m_pCurl);
            curl_easy_setopt(m_pCurl, CURLOPT_NOSIGNAL, 1L);
            curl_easy_setopt(m_pCurl, CURLOPT_SERVER_RESPONSE_TIMEOUT,
                             std::min<long>(kQuitSeconds, m_options.nTimeoutSeconds));
            if (curl_multi_add_handle(m_pMulti, m_pCurl) == CURLM_OK) {
                curl_multi_remove_handle(m_pMulti, m_pCurl);
            }
        }
        curl_multi_cleanup(m_pMulti);
        m_pMulti = nullptr;
    }
    if (m_pCurl != nullptr) {
        curl_easy_cleanup(m_pCurl);
        m_pCurl = nullptr;
    }
}

// Runs the prepared request. curl_easy_perform would do the same but wait up to a second
// whenever a passive data connection comes up between two of its polls (libcurl 7.88); a
// short poll interval turns that second into a few milliseconds, and into one when curl waits
// on no socket at all. The multi handle keeps the connection between requests.
int CFtpClient::Perform() {
    if (curl_multi_add_handle(m_pMulti, m_pCurl) != CURLM_OK) {
        return CURLE_FAILED_INIT;
    }
    int nRunning = 1;
    CURLcode code = CURLE_OK;
    while (nRunning > 0) {
        // Between two polls too: while curl waits on a silent server it may call back seldom.
        if (IsCancelled() || StopsNow()) {
            code = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        if (curl_multi_perform(m_pMulti, &nRunning) != CURLM_OK) {
            code = CURLE_FAILED_INIT;
            break;
        }
        if (nRunning > 0) {
            int nWait = WaitsOnSocket(m_pMulti) ? kPollMilliseconds : kIdlePollMilliseconds;
            curl_multi_poll(m_pMulti, nullptr, 0, nWait, nullptr);
        }
    }
    int nQueued = 0;
    while (CURLMsg* pMessage = curl_multi_info_read(m_pMulti, &nQueued)) {
        if (pMessage->msg == CURLMSG_DONE) {
            code = pMessage->data.result;
        }
    }
    curl_multi_remove_handle(m_pMulti, m_pCurl);
    return code;
}

// DELE and MKD go as quoted commands. curl sends them before it changes to the URL's folder,
// and on a reused connection the server may still stand in any folder: so the paths are
// absolute. The URL is the folder the command works in, where the action's listing and
// transfers left the connection: curl then changes nowhere, and deleting a folder's files
// costs one command a file. A URL of the root would have curl change back to it each time.
FtpResult CFtpClient::RunCommands(const std::vector<std::string>& aCommands,
                                  const std::string& strFolderPath) {
    std::string strWhyNot;
    CommandList pCommands = MakeCommandList(aCommands, strWhyNot);
    if (!strWhyNot.empty()) {
        return FailLocally(strWhyNot);
    }
    if (!IsSendablePath(strFolderPath)) {
        return FailLocally("invalid folder name");
    }
    if (!Begin(UrlOf(strFolderPath))) {
        return FtpResult::ConnectionFailed;
    }
    curl_easy_setopt(m_pCurl, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(m_pCurl, CURLOPT_QUOTE, pCommands.get());
    return Finish(Perform());
}

// Every operation starts from fresh options; the connection stays in the multi handle, so it
// continues the same session (curl logs in again by itself if the server dropped it).
bool CFtpClient::Begin(const std::string& strUrl) {
    m_strLastReply.clear();
    m_strFileStatus.clear();
    m_bTransferStarted = false;
    m_bTransferCompleted = false;
    m_bListedWhole = false;
    m_bNoSuchFile = false;
    m_bReportsBytes = false;
    m_bStopped = false;
    if (m_pCurl == nullptr) {
        m_strErrorText = "not connected";
        m_nFailureCode = CURLE_FAILED_INIT;
        return false;
    }
    curl_easy_reset(m_pCurl);
    long nTimeout = m_options.nTimeoutSeconds;
    curl_easy_setopt(m_pCurl, CURLOPT_URL, strUrl.c_str());
    curl_easy_setopt(m_pCurl, CURLOPT_USERNAME, m_options.strUser.c_str());
    curl_easy_setopt(m_pCurl, CURLOPT_PASSWORD, m_options.strPassword.c_str());
    curl_easy_setopt(m_pCurl, CURLOPT_NOSIGNAL, 1L);
    // The unit stands on the local network: a proxy from the environment would only turn the
    // FTP commands into something the unit does not speak.
    curl_easy_setopt(m_pCurl, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(m_pCurl, CURLOPT_CONNECTTIMEOUT, nTimeout);
    curl_easy_setopt(m_pCurl, CURLOPT_SERVER_RESPONSE_TIMEOUT, nTimeout);
    curl_easy_setopt(m_pCurl, CURLOPT_ACCEPTTIMEOUT_MS, nTimeout * 1000);
    curl_easy_setopt(m_pCurl, CURLOPT_LOW_SPEED_LIMIT, kLowSpeedFloorBytes);
    curl_easy_setopt(m_pCurl, CURLOPT_LOW_SPEED_TIME, nTimeout);
    curl_easy_setopt(m_pCurl, CURLOPT_FTP_USE_EPSV, 0L);
    curl_easy_setopt(m_pCurl, CURLOPT_FTP_USE_EPRT, 0L);
    if (!m_options.bPassive) {
        curl_easy_setopt(m_pCurl, CURLOPT_FTPPORT, "-");
    }
    curl_easy_setopt(m_pCurl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_SINGLECWD));
    curl_easy_setopt(m_pCurl, CURLOPT_TRANSFERTEXT, 0L);
    curl_easy_setopt(m_pCurl, CURLOPT_HEADERFUNCTION, OnReply);
    curl_easy_setopt(m_pCurl, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(m_pCurl, CURLOPT_XFERINFOFUNCTION, OnTransfer);
    curl_easy_setopt(m_pCurl, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(m_pCurl, CURLOPT_NOPROGRESS, 0L);
    return true;
}

// The file ends where the server closes the data connection and confirms the transfer: a
// length announced before (SIZE, or the "(N bytes)" of the opening reply) would otherwise cut
// the file short, or end it early, and report it as whole. curl then sends no SIZE at all.
void CFtpClient::SetDownloadOptions(size_t (*write)(char*, size_t, size_t, void*), void* pTarget) {
    curl_easy_setopt(m_pCurl, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
    curl_easy_setopt(m_pCurl, CURLOPT_WRITEFUNCTION, write);
    curl_easy_setopt(m_pCurl, CURLOPT_WRITEDATA, pTarget);
    // curl reads 16 KiB at a time unless told otherwise; large reads keep up with the network.
    curl_easy_setopt(m_pCurl, CURLOPT_BUFFERSIZE, kTransferBufferBytes);
    m_bReportsBytes = true;
}

// The error text is curl's wording of the error code. Its error buffer would say more, but
// in active mode libcurl 7.88 puts a spurious inet_ntop() complaint there first, and the
// first message is the one it keeps.
FtpResult CFtpClient::Finish(int nCode) {
    CURLcode code = static_cast<CURLcode>(nCode);
    if (code == CURLE_OK) {
        m_strErrorText.clear();
        m_nFailureCode = CURLE_OK;
        return FtpResult::Done;
    }
    m_nFailureCode = IsCancelled() ? CURLE_ABORTED_BY_CALLBACK : code;
    if (m_bStopped) {
        m_strErrorText = "stopped";
        return FtpResult::Stopped;
    }
    // curl's answer to a 550 reply to RETR; a CWD or another command refused answers otherwise.
    m_bNoSuchFile = code == CURLE_REMOTE_FILE_NOT_FOUND;
    std::string strText = curl_easy_strerror(code);
    if (!m_strLastReply.empty()) {
        strText += "\n" + m_strLastReply;
    }
    m_strErrorText = CutUtf8(strText, kMaxErrorTextBytes);
    return IsRefusal(code) && !IsCancelled() ? FtpResult::Refused : FtpResult::ConnectionFailed;
}

std::string CFtpClient::FailureText() const {
    return FtpFailureText(m_nFailureCode, m_strLastReply);
}

bool CFtpClient::IsCancelled() const {
    return m_options.pCancel != nullptr && m_options.pCancel->load();
}

FtpResult CFtpClient::FailLocally(const std::string& strReason) {
    m_strErrorText = CutUtf8(strReason, kMaxErrorTextBytes);
    m_nFailureCode = kLocalFtpFailure;
    return FtpResult::Refused;
}

// "/pub/RzFilesOut/x" becomes "ftp://host:port/%2Fpub/RzFilesOut/x": the encoded first "/"
// makes curl change to the absolute folder "/pub/RzFilesOut" instead of one below the login
// folder.
std::string CFtpClient::UrlOf(const std::string& strServerPath) const {
    return Format("ftp://%s:%d/", m_options.strHost.c_str(), m_options.nPort) +
           PercentEncode(strServerPath).replace(0, 1, "%2F");
}
