#pragma once

#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

// A system call that the system refuses, from some moment on, with an error, for a test run
// in a child process (a death test): every call of a system call, or those whose flags argument has
// one of the flags.
struct Refusal {
    const char* pszAsWith;
    long nSyscall;
    int nErrno;
    int nFlagsArgument = -1;
    uint32_t nFlags = 0;
};

inline void RefuseFromNowOn(const Refusal& refusal) {
    std::vector<sock_filter> aFilter = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<uint32_t>(refusal.nSyscall), 0,
                 static_cast<uint8_t>(refusal.nFlagsArgument < 0 ? 1 : 3)),
    };
    if (refusal.nFlagsArgument >= 0) {
        // The low half of the 64-bit argument comes first on this little-endian machine.
        auto nOffset = static_cast<uint32_t>(offsetof(seccomp_data, args) +
                                             sizeof(uint64_t) * refusal.nFlagsArgument);
        aFilter.push_back(BPF_STMT(BPF_LD | BPF_W | BPF_ABS, nOffset));
        aFilter.push_back(BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, refusal.nFlags, 0, 1));
    }
    aFilter.push_back(
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | static_cast<uint32_t>(refusal.nErrno)));
    aFilter.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    sock_fprog program{static_cast<unsigned short>(aFilter.size()), aFilter.data()};
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
        prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0) {
        std::fputs("seccomp filter refused\n", stderr);
        std::_Exit(2);
    }
}
