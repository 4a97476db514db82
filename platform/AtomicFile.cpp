#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace {

constexpr size_t kBufferSize = 1 << 16;

// New files get the mode an ordinary create would give them; a replaced file keeps its own.
mode_t ModeForTarget(const std::string& strTargetPath) {
    struct stat status {};
    if (stat(strTargetPath.c_str(), &status) == 0) {
        return status.st_mode & 07777;
    }
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

CAtomicFile::CAtomicFile(std::string strTargetPath, bool bSyncToDisk)
    : m_strTargetPath(std::move(strTargetPath)), m_bSyncToDisk(bSyncToDisk) {}

CAtomicFile::~CAtomicFile() {
    Discard();
}

bool CAtomicFile::Open() {
    Discard();
    std::string strTemplate = m_strTargetPath + ".tmpXXXXXX";
    int descriptor = mkstemp(strTemplate.data());
    if (descriptor < 0) {
        return false;
    }
    m_strTemporaryPath = strTemplate;
    if (fchmod(descriptor, ModeForTarget(m_strTargetPath)) != 0 ||
        (m_pFile = fdopen(descriptor, "wb")) == nullptr) {
        close(descriptor);
        unlink(m_strTemporaryPath.c_str());
        m_strTemporaryPath.clear();
        return false;
    }
    // glibc takes the size only with a buffer of our own; without one it uses 4 KiB.
    if (!m_pBuffer) {
        m_pBuffer = std::make_unique<char[]>(kBufferSize);
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
