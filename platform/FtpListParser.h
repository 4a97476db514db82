#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One entry of an FTP folder listing: the name as the server sent its bytes, and whether it is
// a folder. A symbolic link counts as a file: nothing here follows links. The size and the
// time are those of the forms that carry them plainly (Unix "ls -l", DOS/IIS, MLSD, EPLF):
// the time as the listing writes it, blanks between its words made one, since only a
// change of it matters and servers write it in their own zone and form.
struct FtpListEntry {
    std::string strName;
    bool bFolder = false;
    int64_t nSize = -1;   // -1 when the form does not tell
    std::string strTime;  // "" when the form does not tell
};

// The longest listing line read. A line of any server's form for a FAT name (at most 255
// characters) is a few hundred bytes; a longer one is a damaged reply.
constexpr size_t kMaxListLineBytes = 64 * 1024;

// One line of a listing as read: its entry, or none. A line without an entry is either one
// that listings hold (a blank line, the "total N" header, the listed folder itself and its
// parent, "." and "..", which are no entries of the folder) or a malformed one. A listing with
// a malformed line cannot tell that a name is absent: the entry of that name may be the line
// that could not be read.
struct FtpListLine {
    std::optional<FtpListEntry> entry;
    bool bMalformed = false;
};

// Reads one line of a LIST or MLSD reply in any of the forms servers use: Unix "ls -l" (with
// its many date and owner variants), DOS/IIS, MLSD facts, EPLF, and the forms of VMS, MVS,
// OS/2, AS/400 and a few embedded servers. A line longer than kMaxListLineBytes is malformed.
FtpListLine ReadListLine(std::string_view line);
// The entry of the line alone; nullopt for every line without one.
std::optional<FtpListEntry> ParseListLine(std::string_view line);

// When a file listed with that time (FtpListEntry::strTime) last changed, in seconds since
// 1970 as if the listing's clock went by UTC: ls's "Dec 11 13:15" (the year the one before
// nNow that does not lie more than a day after it), "Dec 11 2025" (midnight), "Dec 02 2009
// 12:00", and "20261211131505" of MLSD. nullopt for the forms of other servers.
std::optional<std::time_t> ListedTime(std::string_view time, std::time_t nNow);

// Reads a whole LIST reply (lines ended by LF or CR LF). A VMS entry whose long name stands on
// a line of its own is joined with the line that carries its details.
std::vector<FtpListEntry> ParseListing(std::string_view listing);

// Reads a LIST reply piece by piece as it arrives, so that a long listing is read while the
// server is still sending it; the entries are those ParseListing gives for the whole reply.
class CFtpListParser {
public:
    // Takes the next piece of the reply and reads every line it completes.
    void Add(std::string_view data);
    // Reads what is left once the reply is complete, and hands over all entries; none of a
    // damaged reply.
    std::vector<FtpListEntry> Finish();
    // Whether the reply holds a line longer than kMaxListLineBytes: it is damaged, and the
    // parser reads and keeps nothing more of it. Known for certain once Finish has run; a line
    // that grows far past the bound without its end shows while the reply arrives.
    bool IsDamaged() const { return m_bDamaged; }
    // Whether every line of the reply was an entry or a line that listings hold without one,
    // and the last line had its end: only such a reply tells that a name is absent. Known once
    // Finish has run.
    bool IsWhole() const { return m_bWhole && !m_bDamaged; }

private:
    size_t ParseLines(std::string_view text, bool bComplete);
    void KeepRestBounded();

    // The start of a line whose end has not arrived, or of a VMS name line waiting for its
    // details.
    std::string m_strRest;
    std::vector<FtpListEntry> m_aEntries;
    bool m_bDamaged = false;
    bool m_bWhole = true;
};
