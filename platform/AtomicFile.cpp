#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr size_t kBufferSize = 1 << 16;

mode_t ProcessUmask() {
    static const mode_t mask = [] {
        mode_t current = umask(0);
        umask(current);
        return current;
    }();
    return mask;
}

// A name beside the target that no other file of this or another process takes: the process
// number and a counter, with O_EXCL catching what is left over from an earlier run.
std::string TemporaryName(const std::string& strTargetPath) {
    static const std::string strProcess = std::to_string(getpid());
    static unsigned nCounter = 0;
    return strTargetPath + ".tmp" + strProcess + "-" + std::to_string(++nCounter);
}

// write(2) until every byte is out; false on an error (a full disk among them).
bool WriteAll(int descriptor, const char* pData, size_t nSize) {
    while (nSize > 0) {
        ssize_t nWritten = ::write(descriptor, pData, nSize);
        if (nWritten < 0 && errno == EINTR) {
            continue;
        }
        if (nWritten <= 0) {
            return false;
        }
        pData += nWritten;
        nSize -= static_cast<size_t>(nWritten);
    }
    return true;
}

}  // namespace

CAtomicFile::CAtomicFile(std::string strTargetPath, bool bSyncToDisk)
    : m_strTargetPath(std::move(strTargetPath)), m_bSyncToDisk(bSyncToDisk) {}

CAtomicFile::~CAtomicFile() {
    Discard();
}

bool CAtomicFile::Open() {
    Discard();
    // A replaced file keeps its mode; a new one gets what an ordinary create gives it.
    struct stat target {};
    bool bReplacing = stat(m_strTargetPath.c_str(), &target) == 0;
    mode_t mode = bReplacing ? target.st_mode & 07777 : 0666;
    int descriptor = -1;
    while (descriptor < 0) {
        m_strTemporaryPath = TemporaryName(m_strTargetPath);
        descriptor =
            open(m_strTemporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (descriptor < 0 && errno != EEXIST) {
            m_strTemporaryPath.clear();
            return false;
        }
    }
    bool bModeKept =
        !bReplacing || (mode & ~ProcessUmask()) == mode || fchmod(descriptor, mode) == 0;
    if (!bModeKept) {
        close(descriptor);
        unlink(m_strTemporaryPath.c_str());
        m_strTemporaryPath.clear();
        return false;
    }
    m_nDescriptor = descriptor;
    m_strBuffer.clear();
    m_strBuffer.reserve(kBufferSize);
    m_bFailed = false;
    return true;
}

// The bytes gather in a buffer of our own and go out in large writes; a large piece goes
// straight through. A plain descriptor, not a stdio stream, spares each file the calls that
// opening a stream makes, which counts when a split writes thousands of files.
void CAtomicFile::Write(std::string_view bytes) {
    if (m_nDescriptor < 0) {
        m_bFailed = true;
        return;
    }
    if (m_strBuffer.size() + bytes.size() > kBufferSize) {
        FlushBuffer();
    }
    if (bytes.size() >= kBufferSize) {
        m_bFailed = m_bFailed || !WriteAll(m_nDescriptor, bytes.data(), bytes.size());
    } else {
        m_strBuffer.append(bytes);
    }
}

void CAtomicFile::WriteLine(std::string_view text) {
    Write(text);
    Write("\r\n");
}

void CAtomicFile::FlushBuffer() {
    m_bFailed = m_bFailed || !WriteAll(m_nDescriptor, m_strBuffer.data(), m_strBuffer.size());
    m_strBuffer.clear();
}

bool CAtomicFile::Commit() {
    if (m_nDescriptor < 0) {
        return false;
    }
    FlushBuffer();
    bool bOk = !m_bFailed && (!m_bSyncToDisk || fsync(m_nDescriptor) == 0);
    bOk = close(m_nDescriptor) == 0 && bOk;
    m_nDescriptor = -1;
    bOk = bOk && std::rename(m_strTemporaryPath.c_str(), m_strTargetPath.c_str()) == 0;
    if (!bOk) {
        unlink(m_strTemporaryPath.c_str());
    }
    m_strTemporaryPath.clear();
    return bOk;
}

void CAtomicFile::Discard() {
    if (m_nDescriptor >= 0) {
        close(m_nDescriptor);
        m_nDescriptor = -1;
    }
    if (!m_strTemporaryPath.empty()) {
        unlink(m_strTemporaryPath.c_str());
        m_strTemporaryPath.clear();
    }
}
