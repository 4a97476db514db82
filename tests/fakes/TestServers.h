#pragma once

#include <sys/types.h>

#include <set>
#include <string>
#include <vector>

// A fresh folder for one test, removed with everything in it afterwards. Its path ends in "/".
class CTestFolder {
public:
    CTestFolder();
    ~CTestFolder();
    CTestFolder(const CTestFolder&) = delete;
    CTestFolder& operator=(const CTestFolder&) = delete;

    const std::string& Path() const { return m_strPath; }
    std::string operator/(const std::string& strName) const { return m_strPath + strName; }

private:
    std::string m_strPath;
};

void WriteBytes(const std::string& strPath, const std::string& bytes);
std::string ReadBytes(const std::string& strPath);
// A small NC program as operators keep them on the PC, with its file name in a comment so that
// a test can tell where each went; it passes the check made before sending.
std::string PcProgram(const std::string& strName);
// Names in a folder, so that tests also see temporary files left behind.
std::set<std::string> FolderEntries(const std::string& strFolder);
// Deterministic pseudo-random bytes: every byte value occurs, long runs do not.
std::string RandomBytes(size_t nSize);
// Waits, where needed, until the clock's current minute has nSeconds left: a listing shows
// the minute of a file's time, and a test that changes a file within one minute must not
// cross into the next.
void WaitForSecondsLeftInMinute(int nSeconds);

// A real FTP server serving a folder whose pub/ is "/pub/", stopped when destroyed.
class CTestFtpServer {
public:
    virtual ~CTestFtpServer();
    int Port() const { return m_nPort; }
    // The folder behind "/pub/", ending in "/".
    std::string PubFolder() const { return m_strRoot + "pub/"; }
    // What a store name (code page 932 bytes) is called on this server's disk.
    virtual std::string DiskName(const std::string& strStoreName) const = 0;

protected:
    CTestFtpServer() = default;
    void Stop();

    CTestFolder m_folder;
    std::string m_strRoot = m_folder.Path();  // what the server serves, ending in "/"
    pid_t m_pid = -1;
    int m_nPort = 0;
};

// tools/unitsim/unitsim.py on a free port with the given options (--seed, faults). Names are
// code page 932 on the wire and UTF-8 on disk.
class CUnitSimulator : public CTestFtpServer {
public:
    // Serves a fresh folder of its own.
    explicit CUnitSimulator(const std::vector<std::string>& aOptions = {});
    // Serves the given folder, which outlives the server: a test can stop the unit and start it
    // again, with other faults, on the same store.
    CUnitSimulator(const std::string& strRoot, const std::vector<std::string>& aOptions);
    ~CUnitSimulator() override;
    std::string DiskName(const std::string& strStoreName) const override;

private:
    int m_nOutput = -1;
};

// vsftpd with a configuration of its own on a free port: anonymous user, password "zvb", pub/
// open for writing. Names are stored as the bytes that arrive. Needs root; Start() reports
// why it could not start.
class CVsftpd : public CTestFtpServer {
public:
    CVsftpd() = default;
    ~CVsftpd() override;
    // Empty when the server runs, else the reason. Further lines of configuration go after
    // the test's own ("cmds_denied=RNFR", "anon_max_rate=100000").
    std::string Start(const std::vector<std::string>& aConfigLines = {});
    // Kills the processes serving the current sessions, as a cut network would end them; the
    // server goes on accepting new ones.
    void CutSessions();
    std::string DiskName(const std::string& strStoreName) const override { return strStoreName; }
};
