#pragma once

#include <cstddef>
#include <string>
#include <vector>

// One entry of the file number list: the number of a stored program file and its remark.
// Both strings hold code page 932 bytes exactly as the list file carries them.
struct FILENODATA {
    int nNo = 0;
    std::string strName;
    std::string strEct;
};

// The file number list (FileList.fno): a title and the registered program numbers in the
// order the user arranged them.
// A list file of 9,999 entries with the longest names and remarks holds about 1.2 MB; one
// larger than this is damaged and is not read.
inline constexpr size_t kMaxListFileBytes = 64 * 1024 * 1024;

class CFileNo {
public:
    // Result codes of Load.
    enum {
        LOAD_OK = 0,
        LOAD_UNREADABLE = -1,         // cannot be read, larger than kMaxListFileBytes, or ends
                                      // before a section is closed
        LOAD_END_WITHOUT_START = -2,  // an end marker without its start marker
        LOAD_START_TWICE = -3,        // a start marker twice in one section
        LOAD_ENTRY_WITHOUT_NO = -4,   // an entry section with no usable number
        LOAD_COUNT_MISMATCH = -6,     // count not positive, or not the number of entries read
    };

    std::string m_strTitle;
    std::vector<FILENODATA> m_aData;

    // Reads the list file; returns one of the LOAD_ codes. Whatever was read before a fault
    // stays in the members.
    int Load(const std::string& strPath);
    // Writes the list file as a whole; false when any byte could not be written.
    bool Save(const std::string& strPath) const;
    // The bytes Save writes.
    std::string ToText() const;
    // True when no entry carries the number.
    bool IsFreeNo(int nNo) const;
};
