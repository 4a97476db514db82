#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "journal/Journal.h"
#include "journal/JournalRecord.h"
#include "platform/Text.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/fuzz/ScratchFolder.h"

namespace {

bool SameRecord(const JournalRecord& a, const JournalRecord& b) {
    return a.strTime == b.strTime && a.strProfile == b.strProfile &&
           a.strTransport == b.strTransport && a.strAddress == b.strAddress &&
           a.strOperation == b.strOperation && a.strDirection == b.strDirection &&
           a.strPcPath == b.strPcPath && a.strUnitName == b.strUnitName &&
           a.strUnitNameBytes == b.strUnitNameBytes && a.nSize == b.nSize &&
           a.strSha256 == b.strSha256 && a.strOutcome == b.strOutcome &&
           a.strMessage == b.strMessage && a.strKept == b.strKept && a.strSources == b.strSources &&
           a.strList == b.strList;
}

// What the program writes of a record is one line of UTF-8 JSON that reads back as the record.
void RequireWrittenReadsBack(const JournalRecord& record) {
    std::string strLine = record.ToJsonLine();
    Require(strLine.find('\n') == std::string::npos, "a written record is one line");
    Require(IsUtf8(strLine), "a written line is UTF-8");
    std::optional<JournalRecord> back = JournalRecord::FromJsonLine(strLine);
    Require(back.has_value(), "a written line reads");
    Require(SameRecord(*back, record), "a written line reads back as its record");
}

// A record whose texts are pieces of the input, any bytes at all (the unit's name shown as
// the program shows it, its bytes beside it).
JournalRecord RecordFrom(std::string_view input) {
    JournalRecord record;
    std::string* aTexts[] = {&record.strTime,    &record.strProfile,   &record.strTransport,
                             &record.strAddress, &record.strOperation, &record.strDirection,
                             &record.strPcPath,  &record.strUnitName,  &record.strUnitNameBytes,
                             &record.strSha256,  &record.strOutcome,   &record.strMessage,
                             &record.strKept,    &record.strSources,   &record.strList};
    for (std::string* pText : aTexts) {
        size_t nEnd = std::min(input.find('\x1F'), input.size());
        *pText = std::string(input.substr(0, nEnd));
        input.remove_prefix(std::min(nEnd + 1, input.size()));
    }
    record.strUnitName = NameToDisplay(record.strUnitName);
    record.nSize = static_cast<int64_t>(input.size());
    return record;
}

}  // namespace

// Input: a journal file. Reading it never ends the program; the journal reads each line as
// the line reader does; every record read, and a record made of the input's bytes, writes one
// UTF-8 JSON line that reads back the same.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static const CScratchFolder folder;
    std::string_view input(reinterpret_cast<const char*>(pData), nSize);
    folder.Write(CJournal::kFileName, input);
    std::vector<JournalRecord> aRead = CJournal(folder.Path(), 1 << 20).ReadAll();
    size_t nRead = 0;
    for (std::string_view rest = input; !rest.empty();) {
        size_t nEnd = std::min(rest.find('\n'), rest.size());
        if (std::optional<JournalRecord> record =
                JournalRecord::FromJsonLine(rest.substr(0, nEnd))) {
            Require(nRead < aRead.size() && SameRecord(aRead[nRead], *record),
                    "the journal reads each line as the line reader does");
            ++nRead;
            RequireWrittenReadsBack(*record);
        }
        rest.remove_prefix(std::min(nEnd + 1, rest.size()));
    }
    Require(nRead == aRead.size(), "the journal reads no line the line reader refuses");
    RequireWrittenReadsBack(RecordFrom(input));
    return 0;
}
