#include "journal/JournalFilter.h"

#include <algorithm>
#include <cctype>

namespace {

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool ContainsIgnoringAsciiCase(const std::string& strText, const std::string& strPart) {
    return std::search(strText.begin(), strText.end(), strPart.begin(), strPart.end(),
                       [](char a, char b) { return LowerAscii(a) == LowerAscii(b); }) !=
           strText.end();
}

void AppendCsvField(std::string& strOut, const std::string& strField) {
    if (strField.find_first_of(",\"\r\n") == std::string::npos) {
        strOut += strField;
        return;
    }
    strOut += '"';
    for (char c : strField) {
        strOut += c;
        if (c == '"') {
            strOut += '"';
        }
    }
    strOut += '"';
}

}  // namespace

bool JournalFilter::Matches(const JournalRecord& record) const {
    return (strProfile.empty() || record.strProfile == strProfile) &&
           (strOperation.empty() || record.strOperation == strOperation) &&
           (strDate.empty() || record.strTime.starts_with(strDate)) &&
           (strName.empty() || ContainsIgnoringAsciiCase(record.strPcPath, strName) ||
            ContainsIgnoringAsciiCase(record.strUnitName, strName));
}

std::vector<int> JournalFilter::NewestFirst(const std::vector<JournalRecord>& aRecords) const {
    std::vector<int> aRows;
    for (int nRow = static_cast<int>(aRecords.size()) - 1; nRow >= 0; --nRow) {
        if (Matches(aRecords[static_cast<size_t>(nRow)])) {
            aRows.push_back(nRow);
        }
    }
    return aRows;
}

std::string JournalCsv(const std::vector<JournalRecord>& aRecords, const std::vector<int>& aRows) {
    std::string strCsv =
        "time,profile,transport,address,operation,direction,pc_path,unit_name,size,sha256,"
        "outcome,message,kept,sources\r\n";
    for (int nRow : aRows) {
        const JournalRecord& record = aRecords[static_cast<size_t>(nRow)];
        const std::string* aFields[] = {
            &record.strTime,      &record.strProfile,   &record.strTransport, &record.strAddress,
            &record.strOperation, &record.strDirection, &record.strPcPath,    &record.strUnitName};
        for (const std::string* pField : aFields) {
            AppendCsvField(strCsv, *pField);
            strCsv += ',';
        }
        strCsv += std::to_string(record.nSize);
        for (const std::string* pField : {&record.strSha256, &record.strOutcome, &record.strMessage,
                                          &record.strKept, &record.strSources}) {
            strCsv += ',';
            AppendCsvField(strCsv, *pField);
        }
        strCsv += "\r\n";
    }
    return strCsv;
}
