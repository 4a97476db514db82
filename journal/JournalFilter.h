#pragma once

#include <string>
#include <vector>

#include "journal/JournalRecord.h"

// What the journal window shows: each field empty for any. The profile and the operation
// match whole; the name is looked for in the PC path and the unit name without regard to the
// case of ASCII letters; the date is the start of the time ("2026-12", "2026-12-11").
struct JournalFilter {
    std::string strProfile;
    std::string strOperation;
    std::string strName;
    std::string strDate;

    bool Matches(const JournalRecord& record) const;
    // Indices of the matching records, newest (last written) first.
    std::vector<int> NewestFirst(const std::vector<JournalRecord>& aRecords) const;
};

// The records as CSV with a header line (RFC 4180: CR LF, fields quoted where needed), the
// columns named as the JSON keys of the journal file.
std::string JournalCsv(const std::vector<JournalRecord>& aRecords, const std::vector<int>& aRows);
