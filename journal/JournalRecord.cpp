#include "journal/JournalRecord.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <utility>

namespace {

using StringField = std::pair<const char*, std::string JournalRecord::*>;

constexpr std::array<StringField, 14> kStringFields = {{
    {"time", &JournalRecord::strTime},
    {"profile", &JournalRecord::strProfile},
    {"transport", &JournalRecord::strTransport},
    {"address", &JournalRecord::strAddress},
    {"operation", &JournalRecord::strOperation},
    {"direction", &JournalRecord::strDirection},
    {"pc_path", &JournalRecord::strPcPath},
    {"unit_name", &JournalRecord::strUnitName},
    {"sha256", &JournalRecord::strSha256},
    {"outcome", &JournalRecord::strOutcome},
    {"message", &JournalRecord::strMessage},
    {"kept", &JournalRecord::strKept},
    {"sources", &JournalRecord::strSources},
    {"list", &JournalRecord::strList},
}};

void AppendQuoted(std::string& strOut, const std::string& strText) {
    strOut += '"';
    for (char c : strText) {
        auto nByte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            strOut += '\\';
            strOut += c;
        } else if (c == '\n') {
            strOut += "\\n";
        } else if (c == '\r') {
            strOut += "\\r";
        } else if (c == '\t') {
            strOut += "\\t";
        } else if (nByte < 0x20) {
            char szEscape[8];
            std::snprintf(szEscape, sizeof(szEscape), "\\u%04x", nByte);
            strOut += szEscape;
        } else {
            strOut += c;
        }
    }
    strOut += '"';
}

void AppendUtf8(std::string& strOut, unsigned nCode) {
    if (nCode < 0x80) {
        strOut += static_cast<char>(nCode);
    } else if (nCode < 0x800) {
        strOut += static_cast<char>(0xC0 | (nCode >> 6));
        strOut += static_cast<char>(0x80 | (nCode & 0x3F));
    } else {
        strOut += static_cast<char>(0xE0 | (nCode >> 12));
        strOut += static_cast<char>(0x80 | ((nCode >> 6) & 0x3F));
        strOut += static_cast<char>(0x80 | (nCode & 0x3F));
    }
}

// Reads the flat objects this writer makes: string values and one integer.
class CLineReader {
public:
    explicit CLineReader(std::string_view line) : m_strLine(line) {}

    bool Take(char c) {
        SkipSpace();
        if (m_nPos < m_strLine.size() && m_strLine[m_nPos] == c) {
            ++m_nPos;
            return true;
        }
        return false;
    }
    bool AtEnd() {
        SkipSpace();
        return m_nPos == m_strLine.size();
    }
    bool NextIsString() {
        SkipSpace();
        return m_nPos < m_strLine.size() && m_strLine[m_nPos] == '"';
    }

    std::optional<std::string> String() {
        if (!Take('"')) {
            return std::nullopt;
        }
        std::string strValue;
        while (m_nPos < m_strLine.size()) {
            // The bytes up to the next quote or backslash go over at once.
            size_t nStop = m_strLine.find_first_of("\"\\", m_nPos);
            if (nStop == std::string_view::npos) {
                return std::nullopt;
            }
            strValue.append(m_strLine.substr(m_nPos, nStop - m_nPos));
            m_nPos = nStop + 1;
            if (m_strLine[nStop] == '"') {
                return strValue;
            }
            if (!Escape(strValue)) {
                return std::nullopt;
            }
        }
        return std::nullopt;
    }

    std::optional<int64_t> Integer() {
        SkipSpace();
        size_t nStart = m_nPos;
        if (m_nPos < m_strLine.size() && m_strLine[m_nPos] == '-') {
            ++m_nPos;
        }
        while (m_nPos < m_strLine.size() && m_strLine[m_nPos] >= '0' && m_strLine[m_nPos] <= '9') {
            ++m_nPos;
        }
        // A damaged line ("-" alone, too many digits) is a line that does not parse, never an
        // exception out of the reader.
        int64_t nValue = 0;
        const char* pEnd = m_strLine.data() + m_nPos;
        auto [pStop, error] = std::from_chars(m_strLine.data() + nStart, pEnd, nValue);
        if (error != std::errc() || pStop != pEnd) {
            return std::nullopt;
        }
        return nValue;
    }

private:
    void SkipSpace() {
        while (m_nPos < m_strLine.size() &&
               (m_strLine[m_nPos] == ' ' || m_strLine[m_nPos] == '\t')) {
            ++m_nPos;
        }
    }
    bool Escape(std::string& strValue) {
        if (m_nPos >= m_strLine.size()) {
            return false;
        }
        char c = m_strLine[m_nPos++];
        switch (c) {
            case 'n':
                strValue += '\n';
                return true;
            case 'r':
                strValue += '\r';
                return true;
            case 't':
                strValue += '\t';
                return true;
            case 'b':
                strValue += '\b';
                return true;
            case 'f':
                strValue += '\f';
                return true;
            case '"':
            case '\\':
            case '/':
                strValue += c;
                return true;
            case 'u':
                break;
            default:
                return false;
        }
        if (m_nPos + 4 > m_strLine.size()) {
            return false;
        }
        unsigned nCode = 0;
        for (int i = 0; i < 4; ++i) {
            char h = m_strLine[m_nPos++];
            int nDigit = h >= '0' && h <= '9'   ? h - '0'
                         : h >= 'a' && h <= 'f' ? h - 'a' + 10
                         : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                                : -1;
            if (nDigit < 0) {
                return false;
            }
            nCode = nCode * 16 + static_cast<unsigned>(nDigit);
        }
        AppendUtf8(strValue, nCode);
        return true;
    }

    std::string_view m_strLine;
    size_t m_nPos = 0;
};

}  // namespace

std::string JournalRecord::ToJsonLine() const {
    std::string strLine = "{";
    for (const auto& [pszKey, member] : kStringFields) {
        if (strLine.size() > 1) {
            strLine += ',';
        }
        AppendQuoted(strLine, pszKey);
        strLine += ':';
        AppendQuoted(strLine, this->*member);
        if (member == &JournalRecord::strUnitName) {
            strLine += ",\"size\":" + std::to_string(nSize);
        }
    }
    return strLine + "}";
}

std::optional<JournalRecord> JournalRecord::FromJsonLine(std::string_view strLine) {
    CLineReader reader(strLine);
    JournalRecord record;
    if (!reader.Take('{')) {
        return std::nullopt;
    }
    bool bFirst = true;
    while (!reader.Take('}')) {
        if (!bFirst && !reader.Take(',')) {
            return std::nullopt;
        }
        bFirst = false;
        std::optional<std::string> strKey = reader.String();
        if (!strKey || !reader.Take(':')) {
            return std::nullopt;
        }
        if (!reader.NextIsString()) {
            std::optional<int64_t> nValue = reader.Integer();
            if (!nValue || *strKey != "size") {
                return std::nullopt;
            }
            record.nSize = *nValue;
            continue;
        }
        std::optional<std::string> strValue = reader.String();
        if (!strValue || *strKey == "size") {
            return std::nullopt;
        }
        for (const auto& [pszKey, member] : kStringFields) {
            if (*strKey == pszKey) {
                record.*member = std::move(*strValue);
                break;
            }
        }
    }
    if (!reader.AtEnd()) {
        return std::nullopt;
    }
    return record;
}

std::string JournalTimeNow() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char szTime[40] = {};
    std::strftime(szTime, sizeof(szTime), "%Y-%m-%dT%H:%M:%S%z", &local);
    return szTime;
}
