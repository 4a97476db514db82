#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/FtpListParser.h"

namespace {

struct ListLineCase {
    int nRow = 0;
    std::string strLine;
    std::optional<FtpListEntry> expected;
};

int HexValue(char digit) {
    return digit <= '9' ? digit - '0' : (digit | 0x20) - 'a' + 10;
}

std::string Unescape(const std::string& strText) {
    std::string strBytes;
    for (size_t nIndex = 0; nIndex < strText.size(); ++nIndex) {
        if (strText[nIndex] != '\\' || nIndex + 1 == strText.size()) {
            strBytes += strText[nIndex];
            continue;
        }
        char code = strText[++nIndex];
        if (code == 'x') {
            strBytes += static_cast<char>(HexValue(strText[nIndex + 1]) * 16 +
                                          HexValue(strText[nIndex + 2]));
            nIndex += 2;
        } else {
            strBytes += code == 't' ? '\t' : code == 'r' ? '\r' : code == 'n' ? '\n' : code;
        }
    }
    return strBytes;
}

FtpListEntry Named(std::string strName, bool bFolder) {
    FtpListEntry entry;
    entry.strName = std::move(strName);
    entry.bFolder = bFolder;
    return entry;
}

// Rows where the sources of the table disagree with each other; the parser follows one of
// them, consistently.
const std::map<std::string, std::optional<FtpListEntry>>& Conventions() {
    static const std::map<std::string, std::optional<FtpListEntry>> conventions = {
        // The line has the standard IIS column spacing; the blanks of the expected name came
        // from a differently spaced listing in the source.
        {"09-04-13  05:51PM       <DIR>          aspnet_client", Named("aspnet_client", true)},
        // VMS as most of the table has it: file versions kept, ".DIR;n" dropped from folders.
        {"1-JUN.LIS;1              9/9           2-JUN-1998 07:32:04  [GROUP,OWNER]    "
         "(RWED,RWED,RW,R)",
         Named("1-JUN.LIS;1", false)},
        {"DATA.DIR;1               1/9           2-JUN-1998 07:32:04  [GROUP,OWNER]    "
         "(RWED,RWED,RWED,RE)",
         Named("DATA", true)},
        // The pre-standard MLSD form without the final ";" is read, as in
        // "type=file 77 MLSD file ...".
        {"Type=dir missing-semicolon", Named("missing-semicolon", true)},
    };
    return conventions;
}

std::vector<ListLineCase> ReadCases() {
    std::ifstream stream(RZKSET_TESTDATA_DIR "/ftp_list_lines.tsv", std::ios::binary);
    std::vector<ListLineCase> aCases;
    std::string strRow;
    bool bHeader = true;
    int nRow = 0;
    while (std::getline(stream, strRow)) {
        if (strRow.starts_with("#")) {
            continue;
        }
        if (bHeader) {
            bHeader = false;
            continue;
        }
        size_t nFirstTab = strRow.find('\t');
        size_t nSecondTab = strRow.find('\t', nFirstTab + 1);
        ListLineCase listCase;
        listCase.nRow = ++nRow;
        listCase.strLine = Unescape(strRow.substr(0, nFirstTab));
        std::string strName = Unescape(strRow.substr(nFirstTab + 1, nSecondTab - nFirstTab - 1));
        std::string strKind = strRow.substr(nSecondTab + 1);
        // The listed folder itself and its parent are never entries of the folder.
        if (strKind != "-" && strName != "." && strName != "..") {
            listCase.expected = Named(strName, strKind == "1");
        }
        if (auto convention = Conventions().find(listCase.strLine);
            convention != Conventions().end()) {
            listCase.expected = convention->second;
        }
        aCases.push_back(std::move(listCase));
    }
    return aCases;
}

std::string Describe(const std::optional<FtpListEntry>& entry) {
    if (!entry) {
        return "no entry";
    }
    return (entry->bFolder ? "folder [" : "file [") + entry->strName + "]";
}

TEST(FtpListParserTest, ReadsEveryLineOfTheReferenceTable) {
    std::vector<ListLineCase> aCases = ReadCases();
    ASSERT_EQ(aCases.size(), 243u);
    for (const ListLineCase& listCase : aCases) {
        std::optional<FtpListEntry> entry = ParseListLine(listCase.strLine);
        EXPECT_EQ(Describe(entry), Describe(listCase.expected))
            << "row " << listCase.nRow << ": [" << listCase.strLine << "]";
    }
}

// Lines of the usual "ls -l" form are read in one pass; where their columns also allow another
// reading (an owner and group that make a date with the size, a year followed by a time, blanks
// in the name), the entry is the one the full rules give.
TEST(FtpListParserTest, ReadsTheUsualUnixFormByTheFullRules) {
    const std::vector<std::pair<std::string, std::optional<FtpListEntry>>> aCases = {
        {"-rw-r--r--    1 0        0               0 Dec 11 02:11 P00000.NC",
         Named("P00000.NC", false)},
        {"drwxr-xr-x    2 ftp      ftp          4096 Jan  1  2024 RzFilesIn",
         Named("RzFilesIn", true)},
        {"-rw-r--r--\t1 owner\tgroup\t512\tDec\t02\t12:00\tname", Named("name", false)},
        {"-rw-r--r--    1 owner    group         512 Dec 02 12:00  two blanks ",
         Named(" two blanks ", false)},
        {"-rw-r--r--    1 owner    group         512 Dec 02  2009 12:00 name",
         Named("name", false)},
        {"-rw-r--r--    1 owner    group         512 Dec 02  2009 12:00", std::nullopt},
        {"-rw-r--r--    1 owner    group         512 Dec 02 12:00 ", std::nullopt},
        {"lrwxrwxrwx    1 owner    group         512 Dec 02 12:00 link -> target",
         Named("link", false)},
        {"drwxr-xr-x    1 owner    group         512 Dec 02 12:00 ..", std::nullopt},
        {"-rw-r--r--    1 jan      group         512 Dec 02 12:00 name", Named("name", false)},
        {"-rw-r--r--    1 may      5            2009 Dec 02 2009 name",
         Named("Dec 02 2009 name", false)},
        {"-rw-r--r--    1 user1    12-05        2009 Dec 02 12:00 name",
         Named("Dec 02 12:00 name", false)},
    };
    for (const auto& [strLine, expected] : aCases) {
        EXPECT_EQ(Describe(ParseListLine(strLine)), Describe(expected)) << strLine;
    }
}

// The size and the time are read from the forms that carry them plainly, and a time keeps its
// words as the listing writes them; other forms tell neither.
TEST(FtpListParserTest, ReadsTheSizeAndTheTimeWhereTheFormCarriesThem) {
    const struct {
        const char* pszLine;
        int64_t nSize;
        const char* pszTime;
    } aCases[] = {
        {"-rw-r--r--    1 0        0            5116 Dec  1 02:11 0001.fno", 5116, "Dec 1 02:11"},
        {"-rw-r--r--    1 ftp      ftp          5116 Jan 01  2024 0001.fno", 5116, "Jan 01 2024"},
        {"-rw-r--r--\t1 owner\tgroup\t512\tDec\t02\t12:00\tname", 512, "Dec 02 12:00"},
        {"-rw-r--r--    1 owner    group        1.2k Dec 02 12:00 name", -1, "Dec 02 12:00"},
        {"02-11-26  10:13AM              1,234,567 NAME.NC", 1234567, "02-11-26 10:13AM"},
        {"type=file;size=77;modify=20261211101300; NAME.NC", 77, "20261211101300"},
        {"+i8388621.48594,m825718503,r,s280,\tdjb.html", 280, "825718503"},
        {"1-JUN.LIS;1              9/9           2-JUN-1998 07:32:04  [GROUP,OWNER]    "
         "(RWED,RWED,RW,R)",
         -1, ""},
    };
    for (const auto& listCase : aCases) {
        std::optional<FtpListEntry> entry = ParseListLine(listCase.pszLine);
        ASSERT_TRUE(entry) << listCase.pszLine;
        EXPECT_EQ(entry->nSize, listCase.nSize) << listCase.pszLine;
        EXPECT_EQ(entry->strTime, listCase.pszTime) << listCase.pszLine;
    }
}

// A line without an entry is either one that listings hold or a malformed one, which keeps its
// listing from telling that a name is absent. Every line of the reference table that has an
// entry is no malformed line.
TEST(FtpListParserTest, TellsLinesThatListingsHoldFromMalformedOnes) {
    for (const ListLineCase& listCase : ReadCases()) {
        if (listCase.expected) {
            EXPECT_FALSE(ReadListLine(listCase.strLine).bMalformed) << "row " << listCase.nRow;
        }
    }
    const struct {
        const char* pszLine;
        bool bMalformed;
    } aCases[] = {
        {"", false},
        {"  \t", false},
        {"total 12", false},
        {"TOTAL 0", false},
        {" drwxr-xr-x+  11 patrick  staff    374 Dec 11 21:24 .", false},
        {"dr-xr-xr-x    3 1001     1001         4096 Feb 25 18:55 ..", false},
        {"type=cdir; .", false},
        {"total 12 files", true},
        {"Total 6 files", true},
        {"Directory USER1:[TEMP]", true},
        {"zrwxr-xr-x   2 root     root         4096 Mar  2 15:13 zxbox", true},
        {"drwxr-xr-x   2 root     root         4096 Jam  4 00:03 zziplib", true},
        {"-rw-r--r--   1 root     root           18 Dec 11", true},
        {"%%%% garbled listing line %%%%", true},
    };
    for (const auto& lineCase : aCases) {
        FtpListLine read = ReadListLine(lineCase.pszLine);
        EXPECT_FALSE(read.entry) << lineCase.pszLine;
        EXPECT_EQ(read.bMalformed, lineCase.bMalformed) << lineCase.pszLine;
    }
    EXPECT_TRUE(ReadListLine(std::string(kMaxListLineBytes + 1, 'x')).bMalformed);
}

// The time a listing writes, as the seconds since 1970 of its clock: the year that ls leaves
// out is the one that puts the date at most a day after now.
TEST(FtpListParserTest, ReadsTheTimeOfTheUsualForms) {
    const std::time_t nNow = 1796994000;  // 2026-12-11 13:00:00 UTC
    const struct {
        const char* pszTime;
        std::optional<std::time_t> expected;
    } aCases[] = {
        {"Dec 11 12:59", 1796993940},
        {"Dec 12 12:59", 1797080340},
        {"Dec 13 12:59", 1765630740},  // more than a day ahead: last year's
        {"Jan 1 00:00", 1767225600},
        {"Jun 30 2025", 1751241600},
        {"Dec 02 2009 12:00", 1259755200},
        {"20261211125958", 1796993998},
        {"20261211125958.123", 1796993998},
        {"02-11-26 10:13AM", std::nullopt},
        {"Dec 11", std::nullopt},
        {"Dez 11 12:59", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& timeCase : aCases) {
        EXPECT_EQ(ListedTime(timeCase.pszTime, nNow), timeCase.expected) << timeCase.pszTime;
    }
}

const std::string kMixedListing =
    "total 3\r\n"
    "drwxr-xr-x   2 ftp      ftp          4096 Dec 10 12:41 RzFilesIn\r\n"
    "-rw-r--r--   1 ftp      ftp            26 Dec 10 12:41 0001.fno\r\n"
    "LONG-VMS-FILE-NAME.NC;3\r\n"
    "        12/13     24-APR-2003 08:16:15  [FTP,UNIT]      (RWED,RWED,RE,)\r\n"
    "\r\n";

TEST(FtpListParserTest, ReadsAWholeListingWithHeaderAndContinuedVmsLines) {
    std::vector<FtpListEntry> aEntries = ParseListing(kMixedListing);
    ASSERT_EQ(aEntries.size(), 3u);
    EXPECT_EQ(Describe(aEntries[0]), "folder [RzFilesIn]");
    EXPECT_EQ(Describe(aEntries[1]), "file [0001.fno]");
    EXPECT_EQ(Describe(aEntries[2]), "file [LONG-VMS-FILE-NAME.NC;3]");
}

// A reply arrives in pieces cut anywhere: inside a line, between CR and LF, between a VMS name
// line and its details, and with the last line's end missing.
TEST(FtpListParserTest, ReadsAListingArrivingInPiecesAsTheWholeReply) {
    for (const std::string& strListing : {kMixedListing, kMixedListing + "LAST-NAME.NC;1"}) {
        std::vector<std::string> aWhole;
        for (const FtpListEntry& entry : ParseListing(strListing)) {
            aWhole.push_back(Describe(entry));
        }
        for (size_t nPiece : {1u, 2u, 7u, 64u}) {
            CFtpListParser parser;
            for (size_t nStart = 0; nStart < strListing.size(); nStart += nPiece) {
                parser.Add(std::string_view(strListing).substr(nStart, nPiece));
            }
            std::vector<std::string> aPieced;
            for (const FtpListEntry& entry : parser.Finish()) {
                aPieced.push_back(Describe(entry));
            }
            EXPECT_EQ(aPieced, aWhole) << "pieces of " << nPiece;
        }
    }
}

// Only a reply of entries and the lines that listings hold, its last line ended, is whole;
// the entries of one that is not are read all the same. Whether it arrives in one piece or
// byte by byte makes no difference.
TEST(FtpListParserTest, TellsAWholeReplyFromOneWithMalformedOrUnendedLines) {
    const std::string strEntry = "-rw-r--r--   1 ftp      ftp            26 Dec 10 12:41 RZKOUT";
    const struct {
        const char* pszName;
        std::string strReply;
        size_t nEntries;
        bool bWhole;
    } aCases[] = {
        {"empty folder", "", 0, true},
        {"header, entries, VMS and blank lines", kMixedListing, 3, true},
        {"a header alone", "total 0\r\n", 0, true},
        {"one word a line", "RZKOUT\r\nRZKIN\n", 2, true},
        {"a garbled line among entries",
         kMixedListing + "%%%% garbled listing line %%%%\r\n" + strEntry + "\r\n", 4, false},
        {"a line with its date broken",
         "-rw-r--r--   1 ftp      ftp            26 Dec 10\r\n" + kMixedListing, 3, false},
        {"the last line without its end", kMixedListing + strEntry, 4, false},
        {"one line of 100 bytes without its end", std::string(100, 'x'), 1, false},
        {"a line beyond the bound", std::string(kMaxListLineBytes + 1, 'x') + "\r\n", 0, false},
    };
    for (const auto& testCase : aCases) {
        for (size_t nPiece : {size_t{1}, std::max<size_t>(testCase.strReply.size(), 1)}) {
            CFtpListParser parser;
            for (size_t nStart = 0; nStart < testCase.strReply.size(); nStart += nPiece) {
                parser.Add(std::string_view(testCase.strReply).substr(nStart, nPiece));
            }
            EXPECT_EQ(parser.Finish().size(), testCase.nEntries) << testCase.pszName;
            EXPECT_EQ(parser.IsWhole(), testCase.bWhole) << testCase.pszName << " " << nPiece;
        }
    }
}

// A line longer than kMaxListLineBytes damages the reply, whether it arrives whole or in
// pieces, with or without its end: nothing of the reply is kept. A line of the bound is read.
TEST(FtpListParserTest, ALineLongerThanTheBoundDamagesTheReply) {
    const std::string strEntry = "-rw-r--r-- 1 ftp ftp 10 Jan 01 00:00 ";
    const std::string strLongest =
        strEntry + std::string(kMaxListLineBytes - strEntry.size() - 2, 'A') + "\r\n";
    const std::string strTooLong = strEntry + std::string(kMaxListLineBytes, 'A');
    const struct {
        const char* pszName;
        std::string strReply;
        bool bDamaged;
    } aCases[] = {
        {"longest line", kMixedListing + strLongest, false},
        {"too long, ended", kMixedListing + strTooLong + "\r\n" + kMixedListing, true},
        {"too long, never ended", kMixedListing + strTooLong, true},
    };
    for (const auto& testCase : aCases) {
        for (size_t nPiece : {size_t{4096}, testCase.strReply.size()}) {
            CFtpListParser parser;
            for (size_t nStart = 0; nStart < testCase.strReply.size(); nStart += nPiece) {
                parser.Add(std::string_view(testCase.strReply).substr(nStart, nPiece));
            }
            std::vector<FtpListEntry> aEntries = parser.Finish();
            EXPECT_EQ(parser.IsDamaged(), testCase.bDamaged) << testCase.pszName << nPiece;
            EXPECT_EQ(aEntries.empty(), testCase.bDamaged) << testCase.pszName << nPiece;
        }
    }
}

}  // namespace
