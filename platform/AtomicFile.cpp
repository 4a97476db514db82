#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
    static unsigned nCounter = 0;
    return strTargetPath + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(++nCounter);
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
    if (!bModeKept || (m_pFile = fdopen(descriptor, "wb")) == nullptr) {
        close(descriptor);
        unlink(m_strTemporaryPath.c_str());
        m_strTemporaryPath.clear();
        return false;
    }
    // glibc takes the size only with a buffer of our own; without one it uses 4 KiB.
    if (!m_pBuffer) {
        m_pBuffer = std::make_unique_for_overwrite<char[]>(kBufferSize);
    }
    std::setvbuf(m_pFile, m_pBuffer.get(), _IOFBF, kBufferSize);
    m_bFailed = false;
    return true;
}

void CAtomicFile::Write(std::string_view bytes) {
    if (m_pFile == nullptr) {
        m_bFailed = true;
        return;
    }
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), m_pFile) != bytes.size()) {
        m_bFailed = true;
    }
}

void CAtomicFile::WriteLine(std::string_view text) {
    Write(text);
    Write("\r\n");
}

bool CAtomicFile::Commit() {
    if (m_pFile == nullptr) {
        return false;
    }
    bool bOk =
        !m_bFailed && std::fflush(m_pFile) == 0 && (!m_bSyncToDisk || fsync(fileno(m_pFile)) == 0);
    bOk = std::fclose(m_pFile) == 0 && bOk;
    m_pFile = nullptr;
    bOk = bOk && std::rename(m_strTemporaryPath.c_str(), m_strTargetPath.c_str()) == 0;
    if (!bOk) {
        unlink(m_strTemporaryPath.c_str());
    }
    m_strTemporaryPath.clear();
    return bOk;
}

void CAtomicFile::Discard() {
    if (m_pFile != nullptr) {
        std::fclose(m_pFile);
        m_pFile = nullptr;
    }
    if (!m_strTemporaryPath.empty()) {
        unlink(m_strTemporaryPath.c_str());
        m_strTemporaryPath.clear();
    }
}
