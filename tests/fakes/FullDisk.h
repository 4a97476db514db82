#pragma once

#include <sys/resource.h>

#include <csignal>

// While it lives, every file of this process stops growing past a few kilobytes and a write
// beyond that fails (EFBIG), as it does on a full disk. Tests use it to show that a failed write
// is reported and that no half-written file replaces a good one.
class CFullDisk {
public:
    explicit CFullDisk(rlim_t nBytesLeft = 4096) {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = m_previous;
        limited.rlim_cur = nBytesLeft;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~CFullDisk() {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    CFullDisk(const CFullDisk&) = delete;
    CFullDisk& operator=(const CFullDisk&) = delete;

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = nullptr;
};
