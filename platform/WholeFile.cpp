#include "platform/WholeFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

std::optional<std::string> ReadWholeFile(const std::string& strPath) {
    int nFile = open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (nFile < 0) {
        return std::nullopt;
    }
    std::string strBytes;
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
        strBytes.append(buffer, static_cast<size_t>(nRead));
    }
}
