#include "platform/IniFile.h"

#include <optional>

#include "platform/AtomicFile.h"
#include "platform/Text.h"
#include "platform/WholeFile.h"

namespace {

bool IsBlank(char character) {
    return character == ' ' || character == '\t' || character == '\v';
}

std::string Trim(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

// Names given by the caller lose leading and trailing spaces only.
std::string TrimSpaces(const std::string& text) {
    size_t begin = text.find_first_not_of(' ');
    if (begin == std::string::npos) {
        return {};
    }
    return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

bool EqualNoCase(const std::string& left, const std::string& right) {
    return MakeUpper(left) == MakeUpper(right);
}

// The section name of a header line ("[name]", the name ending at the first "]").
std::optional<std::string> SectionName(const std::string& strLine) {
    std::string strTrimmed = Trim(strLine);
    if (strTrimmed.empty() || strTrimmed[0] != '[') {
        return std::nullopt;
    }
    size_t close = strTrimmed.find(']');
    std::string strName =
        strTrimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    return Trim(strName);
}

bool IsComment(const std::string& strLine) {
    std::string strTrimmed = Trim(strLine);
    return !strTrimmed.empty() && strTrimmed[0] == ';';
}

// The key of a "key=value" line, or nullopt for a line without "=".
std::optional<std::string> KeyName(const std::string& strLine) {
    size_t equals = strLine.find('=');
    if (equals == std::string::npos || IsComment(strLine)) {
        return std::nullopt;
    }
    return Trim(strLine.substr(0, equals));
}

std::string ValueOf(const std::string& strLine) {
    std::string strValue = Trim(strLine.substr(strLine.find('=') + 1));
    if (strValue.size() >= 2 && (strValue.front() == '"' || strValue.front() == '\'') &&
        strValue.back() == strValue.front()) {
        strValue = strValue.substr(1, strValue.size() - 2);
    }
    return strValue;
}

}  // namespace

CIniFile::CIniFile(std::string strPath) : m_strPath(std::move(strPath)) {}

void CIniFile::Load() {
    m_aLines.clear();
    std::string strContent = ReadWholeFile(m_strPath).value_or("");
    size_t start = 0;
    while (start < strContent.size()) {
        size_t end = strContent.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            m_aLines.push_back({strContent.substr(start), ""});
            break;
        }
        size_t endLength = strContent.compare(end, 2, "\r\n") == 0 ? 2 : 1;
        m_aLines.push_back(
            {strContent.substr(start, end - start), strContent.substr(end, endLength)});
        start = end + endLength;
    }
}

bool CIniFile::Save() const {
    CAtomicFile file(m_strPath);
    if (!file.Open()) {
        return false;
    }
    for (const Line& line : m_aLines) {
        file.Write(line.strText);
        file.Write(line.strEnd);
    }
    return file.Commit();
}

CIniFile::Location CIniFile::Locate(const std::string& strSection,
                                    const std::string& strKey) const {
    Location location;
    std::string strWantedSection = TrimSpaces(strSection);
    std::string strWantedKey = TrimSpaces(strKey);
    bool bInSection = false;
    for (size_t index = 0; index < m_aLines.size(); ++index) {
        const std::string& strText = m_aLines[index].strText;
        if (auto name = SectionName(strText)) {
            if (bInSection) {
                break;  // only the first block of a repeated section counts
            }
            bInSection = EqualNoCase(*name, strWantedSection);
            if (bInSection) {
                location.bSectionFound = true;
                location.nSectionLine = index;
                location.nAfterLastKey = index + 1;
            }
            continue;
        }
        if (!bInSection) {
            continue;
        }
        if (auto key = KeyName(strText)) {
            location.nAfterLastKey = index + 1;
            if (!location.bKeyFound && EqualNoCase(*key, strWantedKey)) {
                location.bKeyFound = true;
                location.nKeyLine = index;
            }
        }
    }
    return location;
}

std::string CIniFile::GetString(const std::string& strSection, const std::string& strKey,
                                const std::string& strDefault) const {
    Location location = Locate(strSection, strKey);
    if (!location.bKeyFound) {
        return strDefault;
    }
    return ValueOf(m_aLines[location.nKeyLine].strText);
}

int CIniFile::GetInt(const std::string& strSection, const std::string& strKey, int nDefault) const {
    Location location = Locate(strSection, strKey);
    if (!location.bKeyFound) {
        return nDefault;
    }
    return DecimalValue(ValueOf(m_aLines[location.nKeyLine].strText));
}

void CIniFile::SetString(const std::string& strSection, const std::string& strKey,
                         const std::string& strValue) {
    Location location = Locate(strSection, strKey);
    std::string strName = TrimSpaces(strKey);
    if (location.bKeyFound) {
        Line& line = m_aLines[location.nKeyLine];
        std::string strFileKey = Trim(line.strText.substr(0, line.strText.find('=')));
        line.strText = strFileKey + "=" + strValue;
        if (line.strEnd.empty()) {
            line.strEnd = "\r\n";
        }
        return;
    }
    // Whatever is written after the file's last line must start on a line of its own.
    if (!m_aLines.empty() && m_aLines.back().strEnd.empty()) {
        m_aLines.back().strEnd = "\r\n";
    }
    if (location.bSectionFound) {
        m_aLines.insert(m_aLines.begin() + static_cast<long>(location.nAfterLastKey),
                        {strName + "=" + strValue, "\r\n"});
        return;
    }
    std::string strHeader = TrimSpaces(strSection);
    strHeader.insert(strHeader.begin(), '[');
    strHeader.push_back(']');
    m_aLines.push_back({strHeader, "\r\n"});
    m_aLines.push_back({strName + "=" + strValue, "\r\n"});
}
