#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/FtpListParser.h"

typedef void CURL;   // the easy handle of libcurl, as <curl/curl.h> declares it
typedef void CURLM;  // its multi handle, as <curl/multi.h> declares it
class CAtomicFile;

struct FtpClientOptions {
    std::string strHost;
    int nPort = 21;
    std::string strUser;
    std::string strPassword;
    bool bPassive = true;
    // A server that does not connect or answer for this long, or moves less than a kilobyte a
    // second of data for this long, fails the operation.
    int nTimeoutSeconds = 30;
    // Set from another thread, it ends the request under way and every later one as a
    // connection failure within a few milliseconds: a stalled login no longer holds up whoever
    // waits for the thread. nullptr: nothing stops the client but its time-out.
    const std::atomic<bool>* pCancel = nullptr;
};

// How an operation ended. Refused: the server answered the command with a 4xx or 5xx reply,
// or the local file could not be read or written; that operation failed and the connection
// stays usable. ConnectionFailed: everything else (no connection, login refused, no answer in
// time, connection cut, partial transfer); the caller reports the connection as lost.
// Stopped: the operator stopped the work (CStopRequest) while the operation ran; curl drops a
// connection cut off in the middle and logs in again for the next operation.
enum class FtpResult { Done, Refused, ConnectionFailed, Stopped };

// An FTP client for one user action: Connect, any number of operations on one control
// connection, Close. Transfers are binary (type I), in passive or active mode, never through
// EPSV or EPRT. Server paths are absolute ("/pub/RzFilesOut/0010.fno") and code page 932 bytes;
// local paths are UTF-8.
class CFtpClient {
public:
    explicit CFtpClient(FtpClientOptions options);
    ~CFtpClient();
    CFtpClient(const CFtpClient&) = delete;
    CFtpClient& operator=(const CFtpClient&) = delete;

    // Connects and logs in.
    FtpResult Connect();
    FtpResult ChangeFolder(const std::string& strFolderPath);
    // Replaces a file of that name on the server. After a failure, TransferStarted() tells
    // whether the server had already opened the file (and may hold part of it).
    FtpResult Upload(const std::string& strLocalPath, const std::string& strServerPath);
    // Uploads to strTemporaryPath and, once the server has confirmed the whole file, renames
    // it onto strServerPath (RNFR, RNTO) in the same request; a file under that name is
    // replaced where the server allows it. After a failure, TransferCompleted() tells whether
    // the file had arrived, so that the rename is what failed.
    FtpResult UploadAndRename(const std::string& strLocalPath, const std::string& strTemporaryPath,
                              const std::string& strServerPath);
    // Replaces the local file only once the whole file has arrived: every byte the server
    // sends until it closes the data connection and confirms the transfer.
    FtpResult Download(const std::string& strServerPath, const std::string& strLocalPath);
    // The same into memory: strBytes holds the whole file when the transfer is done.
    FtpResult DownloadToMemory(const std::string& strServerPath, std::string& strBytes);
    FtpResult Delete(const std::string& strServerPath);
    // Deletes what a failed or stopped transfer left on the server, and answers how the
    // deletion went; ErrorText() and FailureText() keep telling why the transfer failed. A stop
    // requested meanwhile does not cut the deletion short.
    FtpResult RemoveLeftover(const std::string& strServerPath);
    FtpResult MakeFolder(const std::string& strServerPath);
    // When the file last changed, as the server answers MDTM: "YYYYMMDDHHMMSS", perhaps with a
    // fraction, to the second where a listing shows minutes. A server without MDTM refuses it.
    FtpResult ModifiedTime(const std::string& strServerPath, std::string& strTime);
    // The entries of the folder whose names match the pattern (see MatchesFilePattern). The
    // folder is listed whole and filtered here: servers differ in whether, and how, they
    // match a pattern given to LIST. A listing with a line longer than kMaxListLineBytes is
    // damaged: the transfer stops there and the listing is refused. A listing done may still
    // hold malformed lines: ListedWhole() tells.
    FtpResult List(const std::string& strFolderPath, const std::string& strPattern,
                   std::vector<FtpListEntry>& aEntries);
    // Every entry of the folder as MLSD lists them, each with the time it last changed to the
    // second ("modify"): what MDTM tells of one file, for a whole folder in one transfer. A
    // server without MLSD refuses it.
    FtpResult ListMachineReadable(const std::string& strFolderPath,
                                  std::vector<FtpListEntry>& aEntries);
    // Ends the session and closes the connection, waiting at most a second for the server to
    // answer QUIT.
    void Close();

    // Whether the server answered the last transfer command with a preliminary reply (1xx):
    // it opened the file and data may have moved.
    bool TransferStarted() const { return m_bTransferStarted; }
    // Whether the server confirmed the last transfer as complete (a 2xx reply after the 1xx).
    bool TransferCompleted() const { return m_bTransferCompleted; }
    // Whether every line of the last listing done was read (see CFtpListParser::IsWhole).
    bool ListedWhole() const { return m_bListedWhole; }
    // Whether the last download failed because the server has no such file (550 to RETR).
    bool NoSuchFile() const { return m_bNoSuchFile; }

    // Why the last operation failed: curl's words for it, then the server's last negative
    // reply when there was one (UTF-8, at most 1024 bytes).
    const std::string& ErrorText() const { return m_strErrorText; }
    // The same for the operator, in Japanese (see FtpFailureText).
    std::string FailureText() const;

private:
    static size_t OnReply(char* pData, size_t nSize, size_t nCount, void* pClient);
    static int OnTransfer(void* pClient, std::int64_t nDownloadTotal, std::int64_t nDownloaded,
                          std::int64_t nUploadTotal, std::int64_t nUploaded);
    bool StopsNow();

    bool Begin(const std::string& strUrl);
    int Perform();
    FtpResult Finish(int nCode);
    FtpResult FailLocally(const std::string& strReason);
    bool IsCancelled() const;
    // LIST, or the command given in its place (MLSD).
    FtpResult ListFolder(const std::string& strFolderPath, const char* pszCommand,
                         std::vector<FtpListEntry>& aEntries);
    FtpResult RunCommands(const std::vector<std::string>& aCommands,
                          const std::string& strFolderPath);
    FtpResult SendFile(const std::string& strLocalPath, const std::string& strServerPath,
                       const std::vector<std::string>& aAfterCommands);
    void SetDownloadOptions(size_t (*write)(char*, size_t, size_t, void*), void* pTarget);
    std::string UrlOf(const std::string& strServerPath) const;

    FtpClientOptions m_options;
    CURLM* m_pMulti = nullptr;
    CURL* m_pCurl = nullptr;
    std::string m_strLastReply;
    std::string m_strFileStatus;  // the text of the last file status reply (213)
    std::string m_strErrorText;
    int m_nFailureCode = 0;  // the CURLcode of the last failure, or kLocalFtpFailure
    bool m_bTransferStarted = false;
    bool m_bTransferCompleted = false;
    bool m_bListedWhole = false;
    bool m_bNoSuchFile = false;
    bool m_bReportsBytes = false;  // the request moves a file, whose bytes the busy dialog shows
    bool m_bStopped = false;       // the request ended because the operator stopped the work
};
