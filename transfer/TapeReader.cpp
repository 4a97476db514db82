#include "transfer/TapeReader.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr size_t kBufferSize = 1 << 20;
constexpr size_t kUnknown = static_cast<size_t>(-1);

}  // namespace

CTapeReader::CTapeReader(std::string_view marks)
    : m_strSpecialBytes(std::string("%").append(marks)),
      m_aNextSpecialByte(m_strSpecialBytes.size(), kUnknown) {}

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
    ForgetFoundBytes();
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
    ForgetFoundBytes();
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
            m_nError = errno;
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

void CTapeReader::ForgetFoundBytes() {
    std::fill(m_aNextSpecialByte.begin(), m_aNextSpecialByte.end(), kUnknown);
    m_nKnownLineEnd = kUnknown;
}

size_t CTapeReader::FindByte(char byte, size_t nFrom) const {
    const char* pFrom = m_aBuffer.data() + nFrom;
    const void* pFound = std::memchr(pFrom, byte, m_nEnd - nFrom);
    return pFound != nullptr ? nFrom + static_cast<size_t>(static_cast<const char*>(pFound) - pFrom)
                             : kUnknown;
}

size_t CTapeReader::NextSpecialByte() {
    size_t nFirst = m_nEnd;
    for (size_t nIndex = 0; nIndex < m_strSpecialBytes.size(); ++nIndex) {
        size_t& nNext = m_aNextSpecialByte[nIndex];
        if (nNext == kUnknown || nNext < m_nBegin) {
            // None found is remembered as the end of the read bytes, not searched for again.
            nNext = std::min(FindByte(m_strSpecialBytes[nIndex], m_nBegin), m_nEnd);
        }
        nFirst = std::min(nFirst, nNext);
    }
    return nFirst;
}

size_t CTapeReader::FindLineEnd(size_t nLineStart) const {
    if (m_nKnownLineEnd != kUnknown && m_nKnownLineEnd >= nLineStart) {
        return m_nKnownLineEnd;
    }
    return FindByte('\n', nLineStart);
}

std::string_view CTapeReader::TakeEndedLines() {
    if (m_nBegin == m_nEnd) {
        return {};
    }
    const char* pBuffer = m_aBuffer.data();
    // Looked for only once a line qualifies, so that a tape with LF line ends, none of whose
    // lines can be copied as they are, does not pay for it.
    size_t nSpecialByte = kUnknown;
    size_t nLineStart = m_nBegin;
    for (;;) {
        const size_t nNewLine = FindLineEnd(nLineStart);
        if (nNewLine == kUnknown) {
            break;
        }
        const bool bEnded = nNewLine >= nLineStart + 2 && pBuffer[nNewLine - 1] == '\r';
        if (bEnded && nSpecialByte == kUnknown) {
            nSpecialByte = NextSpecialByte();
        }
        if (!bEnded || nSpecialByte < nNewLine) {
            // Found already: ReadLine takes this line without searching it again.
            m_nKnownLineEnd = nNewLine;
            break;
        }
        nLineStart = nNewLine + 1;
    }
    std::string_view lines(pBuffer + m_nBegin, nLineStart - m_nBegin);
    m_nBegin = nLineStart;
    return lines;
}

bool CTapeReader::Read(TapeLines& lines) {
    lines.text = TakeEndedLines();
    lines.bEnded = !lines.text.empty();
    return lines.bEnded || ReadLine(lines.text);
}

bool CTapeReader::ReadLine(std::string_view& line) {
    for (;;) {
        const char* pBegin = m_aBuffer.data() + m_nBegin;
        size_t nAvailable = m_nEnd - m_nBegin;
        const size_t nNewLine = nAvailable > 0 ? FindLineEnd(m_nBegin) : kUnknown;
        std::string_view raw;
        if (nNewLine != kUnknown) {
            raw = std::string_view(pBegin, nNewLine - m_nBegin);
            m_nBegin = nNewLine + 1;
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
