#include "numlist/NamedProgram.h"

#include <algorithm>
#include <unordered_set>

#include "numlist/BarCode39.h"
#include "numlist/FileNo.h"
#include "platform/Text.h"

namespace {

constexpr size_t kNameMaxBytes = 14;

}  // namespace

std::string NamedFilePattern(bool bAddDot, const std::string& strDot) {
    return bAddDot ? Format("*.%s", strDot.c_str()) : std::string("*");
}

std::string NamedListName(const std::string& strFileName, bool bAddDot) {
    if (!bAddDot) {
        return strFileName;
    }
    size_t nDot = FindLastSingleByte(strFileName, '.');
    return nDot == std::string::npos ? strFileName : strFileName.substr(0, nDot);
}

std::string NamedStoreName(const std::string& strListName, bool bAddDot,
                           const std::string& strDot) {
    return bAddDot ? strListName + "." + strDot : strListName;
}

bool EqualsIgnoringCase(const std::string& strName, const std::string& strOther) {
    return strName.size() == strOther.size() && MakeUpper(strName) == MakeUpper(strOther);
}

bool IsCode39Name(const std::string& strUpperName) {
    CBarCode39 barCode;
    return strUpperName.size() <= kNameMaxBytes && barCode.Encode(strUpperName, false);
}

void SortByBytes(std::vector<std::string>& aNames) {
    // std::string compares its bytes as unsigned values, as the code page's byte order wants.
    std::sort(aNames.begin(), aNames.end());
}

void RemoveReservedAndRegistered(std::vector<std::string>& aNames,
                                 const std::vector<std::string>& aReserved,
                                 const std::vector<FILENODATA>& aEntries, size_t nCount) {
    // One set of upper-case names keeps this linear: a store root of twenty thousand files
    // against a catalogue of ten thousand entries.
    std::unordered_set<std::string> aTaken;
    for (const std::string& strReserved : aReserved) {
        aTaken.insert(MakeUpper(strReserved));
    }
    for (size_t nEntry = 0; nEntry < std::min(nCount, aEntries.size()); ++nEntry) {
        aTaken.insert(MakeUpper(aEntries[nEntry].strName));
    }
    std::erase_if(aNames, [&aTaken](const std::string& strName) {
        return aTaken.contains(MakeUpper(strName));
    });
}
