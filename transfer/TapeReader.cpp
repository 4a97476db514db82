#include "transfer/TapeReader.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr size_t kBufferSize = 1 << 20;

}  // namespace

CTapeReader::~CTapeReader() {
    Close();
}

bool CTapeReader::Open(const std::string& strPath) {
    Close();
    m_nDescriptor = open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_nDescriptor < 0) {
        return false;
    }
    m_aBuffer.resize(kBufferSize);
    m_nBegin = 0;
    m_nEnd = 0;
    m_bEndOfFile = false;
    m_bFailed = false;
    return true;
}

void CTapeReader::Close() {
    if (m_nDescriptor >= 0) {
        close(m_nDescriptor);
        m_nDescriptor = -1;
    }
}

bool CTapeReader::Fill() {
    if (m_bEndOfFile || m_bFailed || m_nDescriptor < 0) {
        return false;
    }
    if (m_nBegin > 0) {
        std::memmove(m_aBuffer.data(), m_aBuffer.data() + m_nBegin, m_nEnd - m_nBegin);
        m_nEnd -= m_nBegin;
        m_nBegin = 0;
    }
    if (m_nEnd == m_aBuffer.size()) {
        m_aBuffer.resize(m_aBuffer.size() * 2);
    }
    for (;;) {
        ssize_t nRead = read(m_nDescriptor, m_aBuffer.data() + m_nEnd, m_aBuffer.size() - m_nEnd);
        if (nRead > 0) {
            m_nEnd += static_cast<size_t>(nRead);
            return true;
        }
        if (nRead == 0) {
            m_bEndOfFile = true;
            return false;
        }
        if (errno != EINTR) {
            m_bFailed = true;
            return false;
        }
    }
}

std::string_view CTapeReader::TakeLine(std::string_view raw) {
    if (!raw.empty() && raw.back() == '\r') {
        raw.remove_suffix(1);
    }
    if (raw.find('%') == std::string_view::npos) {
        return raw;
    }
    m_strStripped.clear();
    for (char character : raw) {
        if (character != '%') {
            m_strStripped.push_back(character);
        }
    }
    return m_strStripped;
}

bool CTapeReader::ReadLine(std::string_view& line) {
    for (;;) {
        const char* pBegin = m_aBuffer.data() + m_nBegin;
        size_t nAvailable = m_nEnd - m_nBegin;
        const void* pNewLine = nAvailable > 0 ? std::memchr(pBegin, '\n', nAvailable) : nullptr;
        std::string_view raw;
        if (pNewLine != nullptr) {
            size_t nLength = static_cast<size_t>(static_cast<const char*>(pNewLine) - pBegin);
            raw = std::string_view(pBegin, nLength);
            m_nBegin += nLength + 1;
        } else if (Fill()) {
            continue;
        } else if (m_bFailed || nAvailable == 0) {
            return false;
        } else {
            // The last line of a tape that does not end in a line end.
            raw = std::string_view(m_aBuffer.data() + m_nBegin, nAvailable);
            m_nBegin = m_nEnd;
        }
        line = TakeLine(raw);
        if (!line.empty()) {
            return true;
        }
    }
}
