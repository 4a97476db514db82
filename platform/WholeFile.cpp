#include "platform/WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

std::optional<std::string> ReadWholeFile(const std::string& strPath, size_t nMaxBytes) {
    int nFile = open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (nFile < 0) {
        return std::nullopt;
    }
    // A file that is already too large is refused before a byte of it is read.
    struct stat status {};
    if (fstat(nFile, &status) == 0 && S_ISREG(status.st_mode) &&
        static_cast<std::uint64_t>(status.st_size) > nMaxBytes) {
        close(nFile);
        errno = EOVERFLOW;
        return std::nullopt;
    }
    std::string strBytes;
    // Room for what the file holds now: a large file is then read without the string growing
    // (and copying) step by step.
    if (S_ISREG(status.st_mode) && status.st_size > 0) {
        strBytes.reserve(static_cast<size_t>(status.st_size) + 1);
    }
    char buffer[1 << 16];
    while (true) {
        ssize_t nRead = read(nFile, buffer, sizeof(buffer));
        if (nRead < 0 && errno == EINTR) {
            continue;
        }
        if (nRead <= 0) {
            close(nFile);
            return nRead == 0 ? std::optional<std::string>(std::move(strBytes)) : std::nullopt;
        }
        if (static_cast<size_t>(nRead) > nMaxBytes - strBytes.size()) {
            close(nFile);
            errno = EOVERFLOW;
            return std::nullopt;
        }
        strBytes.append(buffer, static_cast<size_t>(nRead));
    }
}
