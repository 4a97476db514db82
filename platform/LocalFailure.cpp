#include "platform/LocalFailure.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "platform/AtomicFile.h"
#include "platform/Text.h"

namespace {

// More than any folder's bookkeeping keeps spare: a folder that cannot take this much is full.
constexpr size_t kProbeBytes = 1 << 16;

}  // namespace

std::string LocalFailureReason(int nError) {
    switch (nError) {
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return "ディスクの空きがありません。";
        case EROFS:
        case EACCES:
        case EPERM:
            return "書き込みが禁止されています。";
        case ENOENT:
        case ENOTDIR:
            return "ファイルまたはフォルダが見つかりません。";
        case ENODEV:
        case ENXIO:
        case EIO:
        case ESTALE:
            // What a USB memory pulled out in the middle of the work answers.
            return "ドライブが外されたか、読み書きできません。";
        case EISDIR:
            return "同じ名前のフォルダがあります。";
        case EOVERFLOW:
            // Larger than any file of its kind: ReadWholeFile's bound.
            return "ファイルが壊れています（大きすぎます）。";
        default:
            return Format("読み書きできません（%s）。", std::strerror(nError));
    }
}

std::string LocalReadFailureReason(int nError) {
    return nError == EACCES || nError == EPERM ? "読み込みが禁止されています。"
                                               : LocalFailureReason(nError);
}

int ProbeFileForRead(const std::string& strPath) {
    int nDescriptor = open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (nDescriptor < 0) {
        return errno;
    }
    struct stat status {};
    int nError = fstat(nDescriptor, &status) != 0 ? errno : S_ISDIR(status.st_mode) ? EISDIR : 0;
    close(nDescriptor);
    return nError;
}

int ProbeFolderForWrite(const std::string& strPath) {
    CAtomicFile probe(strPath, false);
    if (probe.Open()) {
        probe.Write(std::string(kProbeBytes, '\0'));
    }
    return probe.Error();
}

void IgnoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}
