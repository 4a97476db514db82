#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr size_t kBufferSize = 1 << 16;

// A name beside the target that no other file of this or another process takes: the process
// number and a counter, with O_EXCL catching what is left over from an earlier run.
std::string TemporaryName(const std::string& strTargetPath) {
    static const std::string strProcess = std::to_string(getpid());
    // Threads that check or send to several units at once write files beside each other.
    static std::atomic<unsigned> nCounter = 0;
    return strTargetPath + ".tmp" + strProcess + "-" + std::to_string(++nCounter);
}

std::string FolderOf(const std::string& strPath) {
    size_t nSlash = strPath.rfind('/');
    if (nSlash == std::string::npos) {
        return ".";
    }
    return nSlash == 0 ? "/" : strPath.substr(0, nSlash);
}

// An unnamed file is named through /proc when the direct way is refused, so it is only made
// where /proc is there to do that.
int OpenUnnamedFile(const std::string& strTargetPath) {
    static const bool bCanName = access("/proc/self/fd", X_OK) == 0;
    if (!bCanName) {
        return -1;
    }
    return open(FolderOf(strTargetPath).c_str(), O_WRONLY | O_TMPFILE | O_CLOEXEC, 0666);
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

// The file is written unnamed where the folder's file system can make such a file: it has no
// name anyone could open until it is complete, and a crash leaves nothing of it behind.
// Elsewhere (the FAT of a USB memory) it is written under a temporary name beside the target.
// Either way it gets what an ordinary create gives it; a file that replaces another takes over
// that one's mode when it is put in place.
bool CAtomicFile::Open() {
    Discard();
    m_nDescriptor = OpenUnnamedFile(m_strTargetPath);
    if (m_nDescriptor < 0 && !TakeTemporaryName([this](const std::string& strPath) {
            m_nDescriptor = open(strPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            return m_nDescriptor >= 0;
        })) {
        return false;
    }
    m_strBuffer.clear();
    m_strBuffer.reserve(kBufferSize);
    m_bFailed = false;
    return true;
}

// Tries temporary names until one is free; false, with the error in errno, when taking one
// fails for another reason.
bool CAtomicFile::TakeTemporaryName(const std::function<bool(const std::string&)>& take) {
    while (true) {
        m_strTemporaryPath = TemporaryName(m_strTargetPath);
        if (take(m_strTemporaryPath)) {
            return true;
        }
        if (errno != EEXIST) {
            m_strTemporaryPath.clear();
            return false;
        }
    }
}

// Names the unnamed file; fails with EEXIST when the name is taken. Naming the descriptor
// directly needs a privilege that ordinary users lack; its link in /proc needs none.
bool CAtomicFile::LinkUnnamedFile(const std::string& strPath) const {
    static std::atomic<bool> bDirectRefused = false;
    if (!bDirectRefused) {
        if (linkat(m_nDescriptor, "", AT_FDCWD, strPath.c_str(), AT_EMPTY_PATH) == 0) {
            return true;
        }
        if (errno != ENOENT) {
            return false;
        }
        bDirectRefused = true;
    }
    const std::string strLink = "/proc/self/fd/" + std::to_string(m_nDescriptor);
    return linkat(AT_FDCWD, strLink.c_str(), AT_FDCWD, strPath.c_str(), AT_SYMLINK_FOLLOW) == 0;
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

// A split writes millions of short lines: one that fits goes into the buffer in one step.
void CAtomicFile::WriteLine(std::string_view text) {
    if (m_nDescriptor >= 0 && m_strBuffer.size() + text.size() + 2 <= kBufferSize) {
        m_strBuffer.append(text).append("\r\n");
        return;
    }
    Write(text);
    Write("\r\n");
}

void CAtomicFile::FlushBuffer() {
    m_bFailed = m_bFailed || !WriteAll(m_nDescriptor, m_strBuffer.data(), m_strBuffer.size());
    m_strBuffer.clear();
}

// A complete unnamed file takes the target's name in one call when the name is free. Over
// another file it first takes a temporary name, and from there goes in place as a named file
// does.
bool CAtomicFile::Commit() {
    if (m_nDescriptor < 0) {
        return false;
    }
    FlushBuffer();
    bool bOk = !m_bFailed && (!m_bSyncToDisk || fsync(m_nDescriptor) == 0);
    bool bNamedAsTarget = false;
    if (bOk && m_strTemporaryPath.empty()) {
        bNamedAsTarget = LinkUnnamedFile(m_strTargetPath);
        bOk = bNamedAsTarget ||
              (errno == EEXIST && TakeTemporaryName([this](const std::string& strPath) {
                   return LinkUnnamedFile(strPath);
               }));
    }
    bOk = close(m_nDescriptor) == 0 && bOk;
    m_nDescriptor = -1;
    if (bNamedAsTarget) {
        if (!bOk) {
            unlink(m_strTargetPath.c_str());
        }
        return bOk;
    }
    bOk = bOk && PutInPlace();
    if (!bOk && !m_strTemporaryPath.empty()) {
        unlink(m_strTemporaryPath.c_str());
    }
    m_strTemporaryPath.clear();
    return bOk;
}

// A new file goes in place with one call, which a split of thousands of files feels; only a
// file that replaces another asks for that one's mode first. A file system without the
// no-replace rename takes the same way as a replacement.
bool CAtomicFile::PutInPlace() const {
    const char* pszTemporary = m_strTemporaryPath.c_str();
    const char* pszTarget = m_strTargetPath.c_str();
    if (renameat2(AT_FDCWD, pszTemporary, AT_FDCWD, pszTarget, RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EEXIST && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
        return false;
    }
    struct stat target {};
    struct stat temporary {};
    if (stat(pszTarget, &target) == 0) {
        mode_t mode = target.st_mode & 07777;
        bool bModeKept = stat(pszTemporary, &temporary) == 0 &&
                         ((temporary.st_mode & 07777) == mode || chmod(pszTemporary, mode) == 0);
        if (!bModeKept) {
            return false;
        }
    }
    return std::rename(pszTemporary, pszTarget) == 0;
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
