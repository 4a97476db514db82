#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FtpListParser.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

bool SameEntries(const std::vector<FtpListEntry>& aLeft, const std::vector<FtpListEntry>& aRight) {
    auto same = [](const FtpListEntry& left, const FtpListEntry& right) {
        return left.strName == right.strName && left.bFolder == right.bFolder;
    };
    return std::equal(aLeft.begin(), aLeft.end(), aRight.begin(), aRight.end(), same);
}

// The lines of a reply as a client sees them: split at LF, one CR before it dropped.
std::vector<std::string_view> LinesOf(std::string_view listing) {
    std::vector<std::string_view> aLines;
    while (!listing.empty()) {
        size_t nEnd = listing.find('\n');
        std::string_view line = listing.substr(0, nEnd);
        listing.remove_prefix(nEnd == std::string_view::npos ? listing.size() : nEnd + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        aLines.push_back(line);
    }
    return aLines;
}

// Whether the name is bytes the server sent: a run of the reply, or of two lines joined by a
// blank (a VMS name on a line of its own is read together with the next line), or two runs
// joined by a dot (z/VM lists a file's name and type as two words, "NAME TYPE").
bool IsSentName(std::string_view listing, const std::vector<std::string_view>& aLines,
                const std::string& strName) {
    if (listing.find(strName) != std::string_view::npos) {
        return true;
    }
    for (size_t nDot = strName.find('.'); nDot != std::string::npos;
         nDot = strName.find('.', nDot + 1)) {
        std::string_view name(strName);
        if (nDot > 0 && nDot + 1 < name.size() &&
            listing.find(name.substr(0, nDot)) != std::string_view::npos &&
            listing.find(name.substr(nDot + 1)) != std::string_view::npos) {
            return true;
        }
    }
    for (size_t nIndex = 0; nIndex + 1 < aLines.size(); ++nIndex) {
        std::string strJoined = std::string(aLines[nIndex]) + " " + std::string(aLines[nIndex + 1]);
        if (strJoined.find(strName) != std::string::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace

// Any reply parses; every entry is a name the server sent (a non-empty run of the reply's bytes
// on one line, never the folder itself or its parent); the same reply with CR LF line ends
// gives the same entries, and so does the reply arriving in pieces; a single line reads the same
// alone and as a whole reply.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    std::string_view listing(reinterpret_cast<const char*>(pData), nSize);
    std::vector<FtpListEntry> aEntries = ParseListing(listing);
    std::vector<std::string_view> aLines = LinesOf(listing);
    Require(aEntries.size() <= aLines.size(), "at most one entry a line");
    for (const FtpListEntry& entry : aEntries) {
        Require(!entry.strName.empty(), "a name is not empty");
        Require(entry.strName != "." && entry.strName != "..", "no entry for . or ..");
        Require(entry.strName.find('\n') == std::string::npos, "a name stays on its line");
        Require(IsSentName(listing, aLines, entry.strName), "a name is bytes of the reply");
    }

    std::string strCrLf;
    for (std::string_view line : aLines) {
        strCrLf.append(line).append("\r\n");
    }
    Require(SameEntries(ParseListing(strCrLf), aEntries), "CR LF line ends read as LF line ends");

    if (!listing.empty()) {
        CFtpListParser parser;
        size_t nPiece = 1 + static_cast<unsigned char>(listing.front()) % 13;
        for (size_t nStart = 0; nStart < listing.size(); nStart += nPiece) {
            parser.Add(listing.substr(nStart, nPiece));
        }
        Require(SameEntries(parser.Finish(), aEntries), "a reply in pieces reads as a whole");
    }

    if (aLines.size() == 1) {
        std::optional<FtpListEntry> entry = ParseListLine(aLines.front());
        std::vector<FtpListEntry> aAlone;
        if (entry) {
            aAlone.push_back(*entry);
        }
        Require(SameEntries(aAlone, aEntries), "a line reads the same alone");
    }
    return 0;
}
