#pragma once

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "journal/JournalRecord.h"

// The journal file in the program's data folder: "Journal.jsonl", one record a line. A record
// is appended with one write() on a file opened for appending, so a line is there whole or
// not at all, even when the program is killed; a write the full disk cut short is cut back,
// and half a line that an older writer left at the end gets its line end before the next.
// When the file would grow past its size it is renamed to "Journal-<time>.jsonl" and a new
// one is started; no line is ever rewritten.
class CJournal {
public:
    // strFolder ends in "/".
    CJournal(std::string strFolder, int64_t nRotateBytes);
    ~CJournal();
    CJournal(const CJournal&) = delete;
    CJournal& operator=(const CJournal&) = delete;

    // false when the line could not be written; the caller decides whom to tell.
    bool Append(const JournalRecord& record);

    // Every readable line of the current and the rotated files, oldest first. Lines that do
    // not parse are left out; *pSkipped, when given, tells how many there were (blank lines
    // are no lines to miss).
    std::vector<JournalRecord> ReadAll(int* pSkipped = nullptr) const;
    // The time of the newest line of each profile that has one, read in one pass.
    std::map<std::string, std::string> LastTimeOfEachProfile() const;

    std::string CurrentPath() const { return m_strFolder + kFileName; }
    // The rotated files and the current one, oldest first.
    std::vector<std::string> Files() const;

    static constexpr const char* kFileName = "Journal.jsonl";
    static constexpr int64_t kDefaultRotateBytes = 16 * 1024 * 1024;

private:
    bool Rotate() const;
    // The current file stays open while it is the one under the journal's name.
    bool OpenCurrent();
    void CloseCurrent();

    std::string m_strFolder;
    int64_t m_nRotateBytes;
    int m_nDescriptor = -1;
    dev_t m_nDevice = 0;
    ino_t m_nInode = 0;
};
