#include "numlist/FileNo.h"

#include <string>
#include <string_view>

#include "platform/AtomicFile.h"
#include "platform/Text.h"
#include "platform/WholeFile.h"

namespace {

constexpr std::string_view kListHeadStart = "#ListHead Section Start";
constexpr std::string_view kListHeadEnd = "#ListHead Section End";
constexpr std::string_view kFileNoStart = "#FileNo Section Start";
constexpr std::string_view kFileNoEnd = "#FileNo Section End";
constexpr const char* kTitleKey = "PRNTITLE";
constexpr const char* kCountKey = "FNOCOUNT";
constexpr const char* kNoKey = "NO";
constexpr const char* kNameKey = "NAME";
constexpr const char* kRemarkKey = "ECT";

// Hands out the lines of a whole file without their line ends; a line ended by CR LF and one
// ended by LF read the same, and a last line without an end still counts.
class CLineReader {
public:
    explicit CLineReader(std::string strBytes) : m_strBytes(std::move(strBytes)) {}

    bool Next(std::string_view& line) {
        if (m_nPosition >= m_strBytes.size()) {
            return false;
        }
        size_t nEnd = m_strBytes.find('\n', m_nPosition);
        size_t nNext = nEnd == std::string::npos ? m_strBytes.size() : nEnd + 1;
        if (nEnd == std::string::npos) {
            nEnd = m_strBytes.size();
        }
        line = std::string_view(m_strBytes).substr(m_nPosition, nEnd - m_nPosition);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        m_nPosition = nNext;
        return true;
    }

private:
    std::string m_strBytes;
    size_t m_nPosition = 0;
};

// Markers and keys are recognised by the line's leading bytes only, so trailing text after a
// marker or a key name does not hide it.
bool BeginsWith(std::string_view line, std::string_view head) {
    return line.starts_with(head);
}

// Everything after the first "=", or the whole line when there is none; never trimmed, so a
// name with blanks at either end survives a round trip.
std::string_view ValueOf(std::string_view line) {
    size_t nEquals = line.find('=');
    return nEquals == std::string_view::npos ? line : line.substr(nEquals + 1);
}

int ReadEntrySection(CLineReader& reader, std::vector<FILENODATA>& aData) {
    FILENODATA entry;
    bool bStartSeen = false;
    std::string_view line;
    while (reader.Next(line)) {
        if (BeginsWith(line, kFileNoEnd)) {
            if (!bStartSeen) {
                return CFileNo::LOAD_END_WITHOUT_START;
            }
            if (entry.nNo == 0) {
                return CFileNo::LOAD_ENTRY_WITHOUT_NO;
            }
            aData.push_back(std::move(entry));
            return CFileNo::LOAD_OK;
        }
        if (BeginsWith(line, kFileNoStart)) {
            if (bStartSeen) {
                return CFileNo::LOAD_START_TWICE;
            }
            bStartSeen = true;
        } else if (BeginsWith(line, kNoKey)) {
            entry.nNo = DecimalValue(ValueOf(line));
        } else if (BeginsWith(line, kNameKey)) {
            entry.strName = ValueOf(line);
        } else if (BeginsWith(line, kRemarkKey)) {
            entry.strEct = ValueOf(line);
        }
    }
    return CFileNo::LOAD_UNREADABLE;
}

// "KEY=value" with every byte of the value: a NUL that the loader accepted is written back too.
void AppendLine(std::string& strText, std::string_view line) {
    strText.append(line).append("\r\n");
}

void AppendKeyLine(std::string& strText, const char* szKey, std::string_view value) {
    strText.append(szKey).append("=").append(value).append("\r\n");
}

void AppendKeyLine(std::string& strText, const char* szKey, int nValue) {
    AppendKeyLine(strText, szKey, std::to_string(nValue));
}

}  // namespace

int CFileNo::Load(const std::string& strPath) {
    m_strTitle.clear();
    m_aData.clear();

    std::optional<std::string> bytes = ReadWholeFile(strPath, kMaxListFileBytes);
    if (!bytes) {
        return LOAD_UNREADABLE;
    }
    CLineReader reader(std::move(*bytes));

    bool bStartSeen = false;
    int nExpected = 0;
    std::string_view line;
    while (reader.Next(line)) {
        if (BeginsWith(line, kListHeadEnd)) {
            if (!bStartSeen) {
                return LOAD_END_WITHOUT_START;
            }
            for (int nSection = 0; nSection < nExpected; ++nSection) {
                int nResult = ReadEntrySection(reader, m_aData);
                if (nResult != LOAD_OK) {
                    return nResult;
                }
            }
            bool bCountMatches = nExpected != 0 && static_cast<size_t>(nExpected) == m_aData.size();
            return bCountMatches ? LOAD_OK : LOAD_COUNT_MISMATCH;
        }
        if (BeginsWith(line, kListHeadStart)) {
            if (bStartSeen) {
                return LOAD_START_TWICE;
            }
            bStartSeen = true;
        } else if (BeginsWith(line, kTitleKey)) {
            m_strTitle = ValueOf(line);
        } else if (BeginsWith(line, kCountKey)) {
            nExpected = DecimalValue(ValueOf(line));
            if (nExpected < 0) {
                return LOAD_COUNT_MISMATCH;
            }
        }
    }
    return LOAD_UNREADABLE;
}

// The list is formatted in memory and written with one call: a list of ten thousand entries
// has fifty thousand short lines, and a formatting call and two buffered writes for each cost
// more than the rest of the save.
bool CFileNo::Save(const std::string& strPath) const {
    CAtomicFile file(strPath);
    if (!file.Open()) {
        return false;
    }
    file.Write(ToText());
    return file.Commit();
}

std::string CFileNo::ToText() const {
    std::string strText;
    strText.reserve(64 + m_strTitle.size() + 48 * m_aData.size());
    AppendLine(strText, kListHeadStart);
    AppendKeyLine(strText, kTitleKey, m_strTitle);
    AppendKeyLine(strText, kCountKey, static_cast<int>(m_aData.size()));
    AppendLine(strText, kListHeadEnd);
    for (const FILENODATA& entry : m_aData) {
        AppendLine(strText, kFileNoStart);
        AppendKeyLine(strText, kNoKey, entry.nNo);
        AppendKeyLine(strText, kNameKey, entry.strName);
        AppendKeyLine(strText, kRemarkKey, entry.strEct);
        AppendLine(strText, kFileNoEnd);
    }
    return strText;
}

bool CFileNo::IsFreeNo(int nNo) const {
    if (nNo < 1 || nNo > 9999) {
        return false;
    }
    for (const FILENODATA& entry : m_aData) {
        if (entry.nNo == nNo) {
            return false;
        }
    }
    return true;
}
