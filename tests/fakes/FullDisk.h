#pragma once

#include <sys/resource.h>

#include "platform/LocalFailure.h"

// While it lives, every file of this process stops growing past a few kilobytes and a write
// beyond that fails (EFBIG), as it does on a full disk. Tests use it to show that a failed write
// is reported and that no half-written file replaces a good one.
//
// The kernel ends a process that writes past the limit with SIGXFSZ unless the process ignores
// it. The helper takes the program's own setting, IgnoreFileSizeSignal, which the program makes
// when it starts (RZKSETAppTest shows a start-up without it being killed).
class CFullDisk {
public:
    explicit CFullDisk(rlim_t nBytesLeft = 4096) {
        IgnoreFileSizeSignal();
        getrlimit(RLIMIT_FSIZE, &m_previous);
        rlimit limited = m_previous;
        limited.rlim_cur = nBytesLeft;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~CFullDisk() { setrlimit(RLIMIT_FSIZE, &m_previous); }
    CFullDisk(const CFullDisk&) = delete;
    CFullDisk& operator=(const CFullDisk&) = delete;

private:
    rlimit m_previous{};
};
