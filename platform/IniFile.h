#pragma once

#include <string>
#include <vector>

// An INI file with the semantics of the Windows profile functions: section and key names match
// without regard to case, the first of duplicate sections and keys wins, lines starting with
// ";" are comments, values lose surrounding blanks and one pair of matching quotes. Writing
// replaces a value in place and leaves every other line as it was; a new key goes after the
// last key of its section, a new section to the end of the file. Names and values are code page
// 932 bytes, as on disk.
class CIniFile {
public:
    explicit CIniFile(std::string strPath);

    // Reads the file; a missing or unreadable file reads as empty (every key takes its default).
    void Load();
    // Writes the file atomically; false when it could not be written.
    bool Save() const;

    std::string GetString(const std::string& strSection, const std::string& strKey,
                          const std::string& strDefault) const;
    int GetInt(const std::string& strSection, const std::string& strKey, int nDefault) const;
    void SetString(const std::string& strSection, const std::string& strKey,
                   const std::string& strValue);

    const std::string& Path() const { return m_strPath; }

private:
    struct Line {
        std::string strText;
        std::string strEnd;  // the line end as read: "\r\n", "\n", "\r" or "" for the last line
    };
    struct Location {
        size_t nSectionLine = 0;   // header line of the section
        size_t nAfterLastKey = 0;  // where a new key of the section goes
        bool bSectionFound = false;
        bool bKeyFound = false;
        size_t nKeyLine = 0;
    };

    Location Locate(const std::string& strSection, const std::string& strKey) const;

    std::string m_strPath;
    std::vector<Line> m_aLines;
};
