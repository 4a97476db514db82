#include "platform/FtpListParser.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

// A word of the line and where it stands, so that a name can be taken from the line itself
// with its inner and trailing blanks intact.
struct Token {
    std::string_view text;
    size_t nEnd = 0;
};

bool IsBlank(char character) {
    return character == ' ' || character == '\t' || character == '\r' || character == '\n';
}

// IsBlank by one look-up: every line of a listing is split into words, and servers pad their
// columns with runs of blanks.
constexpr std::array<bool, 256> kBlanks = [] {
    std::array<bool, 256> aBlanks{};
    for (char blank : {' ', '\t', '\r', '\n'}) {
        aBlanks[static_cast<unsigned char>(blank)] = true;
    }
    return aBlanks;
}();

// The word after the blanks at nPosition; nPosition moves behind it. Inline: it is asked for
// every word of every line.
inline std::string_view NextWord(std::string_view line, size_t& nPosition) {
    const size_t nSize = line.size();
    while (nPosition < nSize && kBlanks[static_cast<unsigned char>(line[nPosition])]) {
        ++nPosition;
    }
    size_t nStart = nPosition;
    while (nPosition < nSize && !kBlanks[static_cast<unsigned char>(line[nPosition])]) {
        ++nPosition;
    }
    return line.substr(nStart, nPosition - nStart);
}

// Fills aTokens in place: a listing reuses one vector for all its lines.
void SplitTokens(std::string_view line, std::vector<Token>& aTokens) {
    aTokens.clear();
    size_t nPosition = 0;
    for (std::string_view word = NextWord(line, nPosition); !word.empty();
         word = NextWord(line, nPosition)) {
        aTokens.push_back({word, nPosition});
    }
}

bool IsDigit(char character) {
    return character >= '0' && character <= '9';
}

bool IsNonAscii(char character) {
    return static_cast<unsigned char>(character) >= 0x80;
}

// A plain loop: asked of several words of every line, where a call through a function
// pointer per byte would cost more than the test.
bool IsDigits(std::string_view text) {
    for (char character : text) {
        if (character < '0' || character > '9') {
            return false;
        }
    }
    return !text.empty();
}

size_t LeadingDigits(std::string_view text) {
    size_t nCount = 0;
    while (nCount < text.size() && IsDigit(text[nCount])) {
        ++nCount;
    }
    return nCount;
}

int NumberOf(std::string_view digits) {
    int nValue = 0;
    for (char digit : digits.substr(0, 6)) {
        nValue = nValue * 10 + (digit - '0');
    }
    return nValue;
}

// The size of a file as digits (DOS puts commas between thousands); -1 for anything else.
int64_t SizeOf(std::string_view text) {
    int64_t nSize = 0;
    int nDigits = 0;
    for (char character : text) {
        if (character == ',') {
            continue;
        }
        if (!IsDigit(character) || ++nDigits > 18) {
            return -1;
        }
        nSize = nSize * 10 + (character - '0');
    }
    return nDigits > 0 ? nSize : -1;
}

// The part of the line from the start of the word `first` to the end of the word `last`.
std::string_view Span(std::string_view first, std::string_view last) {
    return {first.data(), static_cast<size_t>(last.data() + last.size() - first.data())};
}

// Whether the words of the text stand one blank apart, as most listings write a time.
bool HasSingleBlanks(std::string_view text) {
    bool bAfterBlank = true;
    for (char character : text) {
        bool bBlank = kBlanks[static_cast<unsigned char>(character)];
        if (bBlank && (bAfterBlank || character != ' ')) {
            return false;
        }
        bAfterBlank = bBlank;
    }
    return !bAfterBlank || text.empty();
}

// A time as the listing writes it, one blank between its words. Most are that already and
// are taken as they stand, without being split into words again.
void SetTime(std::string& strTime, std::string_view text) {
    if (HasSingleBlanks(text)) {
        strTime.assign(text);
        return;
    }
    strTime.clear();
    size_t nPosition = 0;
    for (std::string_view word = NextWord(text, nPosition); !word.empty();
         word = NextWord(text, nPosition)) {
        if (!strTime.empty()) {
            strTime += ' ';
        }
        strTime.append(word);
    }
}

// ASCII only: the words compared here are ASCII or UTF-8, whose bytes no locale may change.
char LowerCharacter(char character) {
    return character >= 'A' && character <= 'Z' ? static_cast<char>(character - 'A' + 'a')
                                                : character;
}

std::string Lower(std::string_view text) {
    std::string strLower(text);
    for (char& character : strLower) {
        character = LowerCharacter(character);
    }
    return strLower;
}

// Without copies: listings of tens of thousands of lines ask this several times a line.
bool EqualsIgnoringCase(std::string_view left, std::string_view right) {
    return left.size() == right.size() &&
           std::equal(left.begin(), left.end(), right.begin(), [](char first, char second) {
               return LowerCharacter(first) == LowerCharacter(second);
           });
}

// The sets asked about are a few characters: a plain loop spares the library call per byte
// that string_view's find_first_of makes, on every word of every line.
bool IsOneOf(char character, std::string_view characters) {
    return std::any_of(characters.begin(), characters.end(),
                       [character](char candidate) { return candidate == character; });
}

size_t FindFirstOf(std::string_view text, std::string_view characters) {
    auto found = std::find_if(text.begin(), text.end(), [characters](char character) {
        return IsOneOf(character, characters);
    });
    return found == text.end() ? std::string_view::npos : static_cast<size_t>(found - text.begin());
}

std::string_view TrimTrailing(std::string_view text, std::string_view characters) {
    while (!text.empty() && IsOneOf(text.back(), characters)) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

// Month names as listings write them: English, German, French, Dutch, Spanish, Italian and
// Hungarian abbreviations and full names, compared in lower case after dropping "." and ",".
bool IsMonthName(std::string_view text) {
    static constexpr std::array<std::string_view, 64> kMonths = {
        "jan",    "feb",     "mar",   "apr",      "may",       "jun",     "jul",      "aug",
        "sep",    "sept",    "oct",   "nov",      "dec",       "january", "february", "march",
        "april",  "june",    "july",  "august",   "september", "october", "november", "december",
        "januar", "februar", "mär",   "märz",     "mrz",       "mai",     "juni",     "juli",
        "okt",    "oktober", "dez",   "dezember", "janv",      "févr",    "fév",      "fev",
        "mars",   "avr",     "avril", "juin",     "juil",      "août",    "aout",     "déc",
        "mrt",    "mei",     "ene",   "abr",      "ago",       "dic",     "gen",      "mag",
        "giu",    "lug",     "set",   "ott",      "szept",     "febr",    "márc",     "ápr"};
    // Most words asked about are numbers, owners and names: turned away by length or first
    // byte before the table is searched.
    constexpr size_t kLongestMonth = 9;
    const std::string_view name = TrimTrailing(text, ".,");
    if (name.size() < 3 || name.size() > kLongestMonth || IsDigit(name.front())) {
        return false;
    }
    std::array<char, kLongestMonth> aLower{};
    std::transform(name.begin(), name.end(), aLower.begin(), LowerCharacter);
    const std::string_view lower(aLower.data(), name.size());
    return std::any_of(kMonths.begin(), kMonths.end(), [lower](std::string_view month) {
        return month.size() == lower.size() && month.front() == lower.front() && month == lower;
    });
}

// "Jan" to "Dec" as ls writes them, told apart by comparing numbers: IsMonthName knows these
// and every other spelling, at the cost of a search through names.
bool IsLsMonthAbbreviation(std::string_view word) {
    constexpr auto Key = [](std::string_view name) -> unsigned {
        return static_cast<unsigned char>(name[0]) << 16 |
               static_cast<unsigned char>(name[1]) << 8 | static_cast<unsigned char>(name[2]);
    };
    static constexpr std::array<unsigned, 12> kKeys = {
        Key("Jan"), Key("Feb"), Key("Mar"), Key("Apr"), Key("May"), Key("Jun"),
        Key("Jul"), Key("Aug"), Key("Sep"), Key("Oct"), Key("Nov"), Key("Dec")};
    return word.size() == 3 && std::find(kKeys.begin(), kKeys.end(), Key(word)) != kKeys.end();
}

// 1 to 12 for "Jan" to "Dec" as ls writes them; 0 for another word.
int LsMonthNumber(std::string_view word) {
    static constexpr std::array<std::string_view, 12> kMonths = {
        "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    auto found = std::find(kMonths.begin(), kMonths.end(), word);
    return found == kMonths.end() ? 0 : static_cast<int>(found - kMonths.begin()) + 1;
}

// A number followed by a unit in a non-ASCII script ("3月", "2日", "2003年" in any encoding).
bool IsNumberWithUnit(std::string_view text, size_t nMaxDigits) {
    size_t nDigits = LeadingDigits(text);
    return nDigits > 0 && nDigits <= nMaxDigits && nDigits < text.size() &&
           IsNonAscii(text[nDigits]);
}

bool IsMonth(std::string_view text) {
    if (IsMonthName(text)) {
        return true;
    }
    if (!IsNumberWithUnit(text, 2)) {
        return false;
    }
    int nMonth = NumberOf(text.substr(0, LeadingDigits(text)));
    return nMonth >= 1 && nMonth <= 12;
}

bool IsPlainMonthNumber(std::string_view text) {
    return IsDigits(text) && text.size() <= 2 && NumberOf(text) >= 1 && NumberOf(text) <= 12;
}

bool IsDay(std::string_view text) {
    size_t nDigits = LeadingDigits(text);
    if (nDigits == 0 || nDigits > 2) {
        return false;
    }
    int nDay = NumberOf(text.substr(0, nDigits));
    std::string_view suffix = text.substr(nDigits);
    bool bSuffixOk = suffix.empty() || suffix == "." || suffix == "," || IsNonAscii(suffix[0]);
    return bSuffixOk && nDay >= 1 && nDay <= 31;
}

bool IsYear(std::string_view text) {
    size_t nDigits = LeadingDigits(text);
    return nDigits == 4 && (text.size() == 4 || IsNonAscii(text[4]));
}

// "9:05", "21:06", "24:00", "10:30:13", "10:30:13.64".
bool IsTime(std::string_view text) {
    size_t nHourDigits = LeadingDigits(text);
    if (nHourDigits == 0 || nHourDigits > 2 || text.size() < nHourDigits + 3 ||
        text[nHourDigits] != ':') {
        return false;
    }
    std::string_view minutes = text.substr(nHourDigits + 1, 2);
    if (!IsDigits(minutes) || NumberOf(text.substr(0, nHourDigits)) > 24 ||
        NumberOf(minutes) > 59) {
        return false;
    }
    std::string_view rest = text.substr(nHourDigits + 3);
    if (rest.empty()) {
        return true;
    }
    return rest.size() >= 3 && rest[0] == ':' && IsDigits(rest.substr(1, 2)) &&
           (rest.size() == 3 || (rest[3] == '.' && IsDigits(rest.substr(4))));
}

// Dates written as one word: "09-26", "2005-06-07", "1999/10/12", "24-04-2003", "2004.07.15",
// "01-jun-99", "Feb-28-1998". Two parts only with a following year or time.
int CompactDateParts(std::string_view text) {
    size_t nSeparator = FindFirstOf(text, "-/.");
    if (nSeparator == std::string_view::npos) {
        return 0;
    }
    char separator = text[nSeparator];
    int nParts = 0;
    size_t nStart = 0;
    while (true) {
        size_t nEnd = text.find(separator, nStart);
        std::string_view part = text.substr(nStart, nEnd - nStart);
        bool bNumber = IsDigits(part) && part.size() <= 4;
        if (!bNumber && !(part.size() == 3 && IsMonthName(part))) {
            return 0;
        }
        ++nParts;
        if (nEnd == std::string_view::npos) {
            break;
        }
        nStart = nEnd + 1;
    }
    return nParts == 2 || nParts == 3 ? nParts : 0;
}

// How a date found in a listing ends: ls pads its time or year column, so exactly one blank
// separates it from the name and any further blanks belong to the name; other servers pad
// their date column, and their names start after all blanks.
struct DateMatch {
    size_t nTokens = 0;
    bool bPaddedColumn = false;
};

// Year and time after month and day: at least one of them, year first when both.
size_t YearAndTime(const std::vector<Token>& aTokens, size_t nIndex) {
    size_t nCount = 0;
    if (nIndex < aTokens.size() && IsYear(aTokens[nIndex].text)) {
        ++nCount;
    }
    if (nIndex + nCount < aTokens.size() && IsTime(aTokens[nIndex + nCount].text)) {
        ++nCount;
    }
    return nCount;
}

DateMatch MatchDate(const std::vector<Token>& aTokens, size_t nIndex) {
    auto text = [&](size_t nOffset) {
        return nIndex + nOffset < aTokens.size() ? aTokens[nIndex + nOffset].text
                                                 : std::string_view();
    };
    // "Mar 2 15:13", "Dec 02 2009", "Oct 08, 2002 09:47", "3月 2日 2003年".
    if (IsMonth(text(0)) && IsDay(text(1))) {
        if (size_t nTail = YearAndTime(aTokens, nIndex + 2); nTail > 0) {
            return {2 + nTail, true};
        }
    }
    // "29 Jul 02:27", "01 oct 2004", "26. Juli, 20:10".
    if (IsDay(text(0)) && IsMonth(text(1))) {
        if (size_t nTail = YearAndTime(aTokens, nIndex + 2); nTail > 0) {
            return {2 + nTail, true};
        }
    }
    // Year first in East Asian listings: "2005년 1월 6일".
    if (IsYear(text(0)) && IsNumberWithUnit(text(1), 2) && IsMonth(text(1)) && IsDay(text(2))) {
        return {IsTime(text(3)) ? 4u : 3u, true};
    }
    // "3 29 03:26": month as a plain number, only with a time to be sure of it.
    if (IsPlainMonthNumber(text(0)) && IsDay(text(1)) && IsTime(text(2))) {
        return {3, true};
    }
    int nParts = CompactDateParts(text(0));
    if (nParts == 0) {
        return {};
    }
    bool bFollowed = IsYear(text(1)) || IsTime(text(1));
    if (nParts == 3 || (nParts == 2 && bFollowed)) {
        return {bFollowed ? 2u : 1u, bFollowed};
    }
    return {};
}

std::string_view NameAfter(std::string_view line, size_t nEnd, bool bPaddedColumn) {
    std::string_view rest = line.substr(nEnd);
    if (!bPaddedColumn) {
        return SkipBlanks(rest);
    }
    if (!rest.empty() && IsBlank(rest.front())) {
        rest.remove_prefix(1);
    }
    return rest;
}

// Built where the caller receives it (one return of one object): a long listing makes tens
// of thousands of entries, and each move of a name is a copy of its bytes.
std::optional<FtpListEntry> Entry(std::string_view name, bool bFolder) {
    std::optional<FtpListEntry> entry;
    if (!name.empty()) {
        entry.emplace();
        entry->strName.assign(name);
        entry->bFolder = bFolder;
    }
    return entry;
}

// An entry with its size and time, built in place as Entry is.
std::optional<FtpListEntry> StampedEntry(std::string_view name, bool bFolder, std::string_view size,
                                         std::string_view time) {
    std::optional<FtpListEntry> entry = Entry(name, bFolder);
    if (entry) {
        entry->nSize = SizeOf(size);
        SetTime(entry->strTime, time);
    }
    return entry;
}

// The name of a folder shown with a marker behind it ("dir/", "dir <DIR>").
std::optional<FtpListEntry> EntryWithFolderMarker(std::string_view name, bool bFolder) {
    for (std::string_view marker : {std::string_view("/"), std::string_view(" <DIR>")}) {
        if (name.size() > marker.size() && name.substr(name.size() - marker.size()) == marker) {
            return Entry(name.substr(0, name.size() - marker.size()), true);
        }
    }
    return Entry(name, bFolder);
}

bool IsSize(std::string_view text) {
    if (!text.empty() && IsDigit(text.back())) {
        return true;  // also "longgroup123456", where the group ran into the size
    }
    size_t nDigits = LeadingDigits(text);
    if (nDigits == 0) {
        return false;
    }
    std::string_view rest = text.substr(nDigits);
    if (!rest.empty() && rest[0] == '.') {
        size_t nFraction = LeadingDigits(rest.substr(1));
        rest.remove_prefix(1 + nFraction);
    }
    rest = TrimTrailing(rest, "bB");
    return rest.size() == 1 && std::string_view("kKmMgGtT").find(rest[0]) != std::string_view::npos;
}

// "drwxr-xr-x", "-rw-r--r--+", "drw-r--rw", "d--S--S--t", "-C--E-----FTP".
bool IsPermissions(std::string_view text) {
    if (text.size() < 9 || std::string_view("-dlcbps").find(text[0]) == std::string_view::npos) {
        return false;
    }
    return std::all_of(text.begin() + 1, text.begin() + 9, [](char character) {
        switch (character) {
            case 'r':
            case 'w':
            case 'x':
            case 's':
            case 't':
            case 'l':
            case '-':
                return true;
            default:
                return character >= 'A' && character <= 'Z';
        }
    });
}

bool LooksLikeDatePart(std::string_view text) {
    return IsDigits(text) || IsTime(text);
}

// The name of an ls line: a link's without the target it points to.
std::string_view UnixName(std::string_view name, char type) {
    return type == 'l' ? name.substr(0, name.find(" -> ")) : name;
}

// ls -l and its relatives: permissions, then owner and group columns that may hold blanks or
// be missing, a size, a date in one of many forms, the name. The size and date are found
// together, scanning from the left, because nothing else in the line fixes their place.
std::optional<std::optional<FtpListEntry>> ParseUnix(std::string_view line,
                                                     const std::vector<Token>& aTokens) {
    bool bNetware = aTokens.size() > 1 && (aTokens[0].text == "d" || aTokens[0].text == "-") &&
                    aTokens[1].text.front() == '[' && aTokens[1].text.back() == ']';
    if (!bNetware && !IsPermissions(aTokens[0].text)) {
        return std::nullopt;
    }
    char type = aTokens[0].text[0];
    for (size_t nSize = bNetware ? 2 : 1; nSize + 1 < aTokens.size(); ++nSize) {
        if (!IsSize(aTokens[nSize].text)) {
            continue;
        }
        DateMatch date = MatchDate(aTokens, nSize + 1);
        size_t nLast = nSize + date.nTokens;
        if (date.nTokens > 0 && nLast + 1 < aTokens.size()) {
            return StampedEntry(
                UnixName(NameAfter(line, aTokens[nLast].nEnd, date.bPaddedColumn && !bNetware),
                         type),
                type == 'd', aTokens[nSize].text,
                Span(aTokens[nSize + 1].text, aTokens[nLast].text));
        }
    }
    // Some servers leave the date out: permissions, links, owner, group, size, name. A line
    // whose tail still holds numbers or times has a broken date instead, and is no entry.
    if (!bNetware && aTokens.size() >= 6 && IsDigits(aTokens[1].text) &&
        IsDigits(aTokens[4].text) &&
        std::none_of(aTokens.begin() + 5, aTokens.end(),
                     [](const Token& token) { return LooksLikeDatePart(token.text); })) {
        return Entry(UnixName(NameAfter(line, aTokens[4].nEnd, true), type), type == 'd');
    }
    return std::optional<FtpListEntry>();
}

// Whether a word of the owner or group column could start a date, and so be taken as one by
// the general reading.
bool CouldStartDate(std::string_view word) {
    // Numeric owners and groups, as many servers list them, are ruled out at once.
    return !IsDigits(word) && (IsMonth(word) || CompactDateParts(word) != 0);
}

// The form nearly every server writes, "-rw-r--r--  1 owner group  1234 Dec 11 02:11 name",
// read in one pass: long listings are almost all of it, and the general reading tries a date
// at every column before the size. Answers where the date ends (and the size and the date
// text), or npos for a line that is not of this form or that the general reading would read
// otherwise: hence no "=" in the first word (it would read as MLSD facts), an owner and group that
// start no date, and a month name (a month with a unit after a four-digit size reads as a
// year-first date).
size_t CommonUnixDateEnd(std::string_view line, std::string_view& size, std::string_view& date) {
    // Permissions, links, owner, group, size, month, day, year or time.
    std::array<Token, 8> aWords;
    size_t nPosition = 0;
    for (Token& word : aWords) {
        word.text = NextWord(line, nPosition);
        word.nEnd = nPosition;
    }
    std::string_view permissions = aWords[0].text;
    if (IsBlank(line.front()) || !IsPermissions(permissions) ||
        permissions.find('=') != std::string_view::npos ||
        !line.substr(aWords[0].nEnd).starts_with(' ') || !IsDigits(aWords[1].text) ||
        CouldStartDate(aWords[2].text) || CouldStartDate(aWords[3].text) ||
        !IsDigits(aWords[4].text) ||
        !(IsLsMonthAbbreviation(aWords[5].text) || IsMonthName(aWords[5].text)) ||
        !IsDay(aWords[6].text)) {
        return std::string_view::npos;
    }
    bool bYear = IsYear(aWords[7].text);
    if (!bYear && !IsTime(aWords[7].text)) {
        return std::string_view::npos;
    }
    size_t nDateEnd = nPosition;
    // A year may be followed by a time.
    if (bYear && IsTime(NextWord(line, nPosition))) {
        nDateEnd = nPosition;
    }
    if (SkipBlanks(line.substr(nDateEnd)).empty()) {
        return std::string_view::npos;
    }
    size = aWords[4].text;
    date = Span(aWords[5].text, line.substr(nDateEnd, 0));
    return nDateEnd;
}

// "0100644 500 101 12345 123456789 name": octal mode, owner, group, size, seconds.
std::optional<FtpListEntry> ParseNumericUnix(std::string_view line,
                                             const std::vector<Token>& aTokens) {
    std::string_view mode = aTokens[0].text;
    if (aTokens.size() < 6 || mode.size() < 6 || mode.size() > 7 ||
        mode.find_first_not_of("01234567") != mode.npos ||
        !std::all_of(aTokens.begin() + 1, aTokens.begin() + 5,
                     [](const Token& token) { return IsDigits(token.text); })) {
        return std::nullopt;
    }
    unsigned long ulMode = std::stoul(std::string(mode), nullptr, 8);
    return Entry(NameAfter(line, aTokens[4].nEnd, false), (ulMode & 0170000) == 0040000);
}

// DOS and IIS: "04-27-00  12:09PM  <DIR>  name", "2002-09-02  19:06  9,730 name".
bool IsDosDate(std::string_view text) {
    if (CompactDateParts(text) != 3 || text.find_first_not_of("0123456789-/") != text.npos) {
        return false;
    }
    bool bYearFirst = LeadingDigits(text) == 4;
    std::string_view month = bYearFirst ? text.substr(5, 2) : text.substr(0, 2);
    std::string_view day = bYearFirst ? text.substr(8) : text.substr(3, 2);
    return IsPlainMonthNumber(month) && IsDay(day);
}

std::optional<FtpListEntry> ParseDos(std::string_view line, const std::vector<Token>& aTokens) {
    if (aTokens.size() < 4 || !IsDosDate(aTokens[0].text)) {
        return std::nullopt;
    }
    std::string_view time = aTokens[1].text;
    if (time.size() > 2 && (EqualsIgnoringCase(time.substr(time.size() - 2), "AM") ||
                            EqualsIgnoringCase(time.substr(time.size() - 2), "PM"))) {
        time.remove_suffix(2);
    }
    std::string_view size = aTokens[2].text;
    bool bFolder = size == "<DIR>";
    if (!IsTime(time) ||
        (!bFolder && (size.find_first_not_of("0123456789,") != size.npos || !IsDigit(size[0])))) {
        return std::nullopt;
    }
    return StampedEntry(NameAfter(line, aTokens[2].nEnd, false), bFolder, size,
                        Span(aTokens[0].text, aTokens[1].text));
}

// OS/2: "36611  A  04-23-103  10:57  name", "0 DIR  02-11-103  16:15  name".
std::optional<FtpListEntry> ParseOs2(std::string_view line, const std::vector<Token>& aTokens) {
    if (aTokens.size() < 4 || !IsDigits(aTokens[0].text)) {
        return std::nullopt;
    }
    size_t nIndex = 1;
    bool bFolder = aTokens[nIndex].text == "DIR";
    if (bFolder) {
        ++nIndex;
    }
    if (nIndex < aTokens.size() &&
        aTokens[nIndex].text.find_first_not_of("AHRS") == std::string_view::npos) {
        ++nIndex;
    }
    if (nIndex + 2 >= aTokens.size()) {
        return std::nullopt;
    }
    std::string_view date = aTokens[nIndex].text;
    bool bDate = date.size() >= 8 && date.size() <= 9 && CompactDateParts(date) == 3 &&
                 date[2] == '-' && date[5] == '-';
    if (!bDate || !IsTime(aTokens[nIndex + 1].text)) {
        return std::nullopt;
    }
    return Entry(NameAfter(line, aTokens[nIndex + 1].nEnd, false), bFolder);
}

// A size, a date, the name: "206876  Apr 04, 2000 21:06 name", "2048  Feb-28-1998  05:23:30
// name <DIR>".
std::optional<FtpListEntry> ParseSizeDateName(std::string_view line,
                                              const std::vector<Token>& aTokens) {
    if (aTokens.size() < 3 || !IsDigits(aTokens[0].text)) {
        return std::nullopt;
    }
    DateMatch date = MatchDate(aTokens, 1);
    if (date.nTokens == 0 || 1 + date.nTokens >= aTokens.size()) {
        return std::nullopt;
    }
    return EntryWithFolderMarker(NameAfter(line, aTokens[date.nTokens].nEnd, false), false);
}

// AS/400: "QSYS  77824 02/23/00 15:09:55 *DIR name/".
std::optional<FtpListEntry> ParseAs400(std::string_view line, const std::vector<Token>& aTokens) {
    if (aTokens.size() < 6 || !IsDigits(aTokens[1].text) ||
        CompactDateParts(aTokens[2].text) != 3 || !IsTime(aTokens[3].text) ||
        aTokens[4].text.front() != '*') {
        return std::nullopt;
    }
    return EntryWithFolderMarker(NameAfter(line, aTokens[4].nEnd, false),
                                 aTokens[4].text == "*DIR");
}

// OS-9: "20.20 07/03/29 1026 d-ewrewr 2650 85920 name".
std::optional<FtpListEntry> ParseOs9(std::string_view line, const std::vector<Token>& aTokens) {
    std::string_view owner = aTokens[0].text;
    size_t nDot = owner.find('.');
    if (aTokens.size() < 7 || nDot == std::string_view::npos || !IsDigits(owner.substr(0, nDot)) ||
        !IsDigits(owner.substr(nDot + 1)) || CompactDateParts(aTokens[1].text) != 3 ||
        !IsDigits(aTokens[2].text) || !IsDigits(aTokens[4].text) || !IsDigits(aTokens[5].text)) {
        return std::nullopt;
    }
    return Entry(NameAfter(line, aTokens[5].nEnd, false), aTokens[3].text.front() == 'd');
}

// VMS: "NAME.EXT;1  9/9  2-JUN-1998 07:32:04 [GROUP,OWNER] (RWED,RWED,RW,R)"; a folder is
// "NAME.DIR;1" and is entered as "NAME". The version stays on file names.
bool IsVmsDate(std::string_view text) {
    size_t nDay = LeadingDigits(text);
    return nDay >= 1 && nDay <= 2 && text.size() == nDay + 9 && text[nDay] == '-' &&
           text[nDay + 4] == '-' && IsDigits(text.substr(nDay + 5));
}

std::optional<FtpListEntry> ParseVms(std::string_view, const std::vector<Token>& aTokens) {
    std::string_view name = aTokens[0].text;
    size_t nSemicolon = name.rfind(';');
    if (nSemicolon == std::string_view::npos || nSemicolon == 0 ||
        !IsDigits(name.substr(nSemicolon + 1)) ||
        std::none_of(aTokens.begin() + 1, aTokens.end(),
                     [](const Token& token) { return IsVmsDate(token.text); })) {
        return std::nullopt;
    }
    std::string_view bare = name.substr(0, nSemicolon);
    if (bare.size() > 4 && EqualsIgnoringCase(bare.substr(bare.size() - 4), ".DIR")) {
        return Entry(bare.substr(0, bare.size() - 4), true);
    }
    return Entry(name, false);
}

bool IsHex(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789ABCDEFabcdef") == text.npos;
}

// Lines that start with the name: z/VM ("NAME TYPE V 65 107 2 2005-10-04 15:28:42 OWNER",
// entered as NAME.TYPE), wfFTP ("name 1014196 06/03/04 Thur. 10:20:03"), HP NonStop
// ("name 101 528 6-Apr-07 14:21:18 255, 0 "oooo""), and members of an MVS partitioned data set
// ("NAME 01.01 2004/06/22 ..." or a load module "NAME 00B308 000411 ...").
std::optional<FtpListEntry> ParseNameFirst(std::string_view, const std::vector<Token>& aTokens) {
    auto text = [&](size_t nIndex) {
        return nIndex < aTokens.size() ? aTokens[nIndex].text : std::string_view();
    };
    std::string_view name = text(0);
    if (aTokens.size() >= 8 && IsDigits(text(3)) && IsDigits(text(4)) && IsDigits(text(5)) &&
        CompactDateParts(text(6)) == 3 && IsTime(text(7)) &&
        (text(2) == "F" || text(2) == "V" || text(2) == "DIR")) {
        return Entry(std::string(name) + "." + std::string(text(1)), text(2) == "DIR");
    }
    if (IsDigits(text(1)) && CompactDateParts(text(2)) == 3 && IsTime(text(4))) {
        return Entry(name, false);
    }
    if (IsDigits(text(1)) && IsDigits(text(2)) && CompactDateParts(text(3)) == 3 &&
        IsTime(text(4))) {
        return Entry(name, false);
    }
    std::string_view version = text(1);
    bool bMember = version.size() == 5 && version[2] == '.' && IsDigits(version.substr(0, 2)) &&
                   IsDigits(version.substr(3)) && CompactDateParts(text(2)) == 3;
    bool bLoadModule =
        text(1).size() == 6 && IsHex(text(1)) && text(2).size() == 6 && IsHex(text(2));
    if (bMember || bLoadModule) {
        return Entry(name, false);
    }
    return std::nullopt;
}

// MVS data sets: "VOLUME UNIT REFERRED EXT USED RECFM LRECL BLKSZ DSORG DSNAME", where a
// partitioned organisation (PO, PO-E) is a folder; also "Migrated  DSNAME" and tape volumes.
std::optional<FtpListEntry> ParseMvs(std::string_view, const std::vector<Token>& aTokens) {
    std::string_view volume = aTokens[0].text;
    if (aTokens.size() == 2 && volume == "Migrated") {
        return Entry(aTokens[1].text, false);
    }
    bool bVolume =
        volume.size() <= 8 &&
        volume.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789#@$") == volume.npos;
    std::string_view unit = aTokens.size() >= 3 ? aTokens[1].text : std::string_view();
    if (!bVolume || !((unit.size() == 4 && IsDigits(unit)) || unit == "Tape")) {
        return std::nullopt;
    }
    std::string_view organisation = aTokens[aTokens.size() - 2].text;
    return Entry(aTokens.back().text, organisation.substr(0, 2) == "PO");
}

// MLSD: "fact=value;fact=value; name", one blank before the name; the pre-standard form
// "type=file name" without the final ";" occurs too.
bool IsFactBlock(std::string_view block) {
    if (block.find('=') == std::string_view::npos) {
        return false;
    }
    size_t nStart = 0;
    while (nStart < block.size()) {
        size_t nEnd = std::min(block.find(';', nStart), block.size());
        std::string_view fact = block.substr(nStart, nEnd - nStart);
        size_t nEquals = fact.find('=');
        if (nEquals == 0 || nEquals == std::string_view::npos) {
            return false;
        }
        for (char character : fact.substr(0, nEquals)) {
            if (!std::isalnum(static_cast<unsigned char>(character)) &&
                std::string_view("._-").find(character) == std::string_view::npos) {
                return false;
            }
        }
        nStart = nEnd + 1;
    }
    return true;
}

std::optional<std::optional<FtpListEntry>> ParseMlsd(std::string_view line) {
    size_t nSeparator = FindFirstOf(line, " \t");
    std::string_view block = line.substr(0, nSeparator);
    if (!IsFactBlock(block)) {
        return std::nullopt;
    }
    if (nSeparator == std::string_view::npos) {
        return std::optional<FtpListEntry>();
    }
    bool bFolder = false;
    std::string_view size;
    std::string_view modify;
    size_t nStart = 0;
    while (nStart < block.size()) {
        size_t nEnd = std::min(block.find(';', nStart), block.size());
        std::string_view fact = block.substr(nStart, nEnd - nStart);
        size_t nEquals = fact.find('=');
        std::string_view name = fact.substr(0, nEquals);
        std::string_view value = fact.substr(nEquals + 1);
        if (EqualsIgnoringCase(name, "type")) {
            std::string strType = Lower(value);
            bFolder = strType == "dir" || strType == "cdir" || strType == "pdir";
        } else if (EqualsIgnoringCase(name, "size")) {
            size = value;
        } else if (EqualsIgnoringCase(name, "modify")) {
            modify = value;
        }
        nStart = nEnd + 1;
    }
    return StampedEntry(line.substr(nSeparator + 1), bFolder, size, modify);
}

// EPLF: "+fact,fact,...<TAB>name"; the fact "/" marks a folder.
std::optional<FtpListEntry> ParseEplf(std::string_view line) {
    size_t nTab = line.find('\t');
    if (nTab == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view facts = line.substr(1, nTab - 1);
    bool bFolder = false;
    std::string_view size;
    std::string_view modified;
    size_t nStart = 0;
    while (nStart <= facts.size()) {
        size_t nEnd = std::min(facts.find(',', nStart), facts.size());
        std::string_view fact = facts.substr(nStart, nEnd - nStart);
        bFolder = bFolder || fact == "/";
        if (fact.starts_with('s')) {
            size = fact.substr(1);
        } else if (fact.starts_with('m')) {
            modified = fact.substr(1);
        }
        nStart = nEnd + 1;
    }
    return StampedEntry(line.substr(nTab + 1), bFolder, size, modified);
}

// Every form but the usual ls one, which ReadLineInto reads first.
std::optional<FtpListEntry> ParseAnyForm(std::string_view line, std::vector<Token>& aTokens) {
    if (line.front() == '+') {
        return ParseEplf(line);
    }
    if (!IsBlank(line.front())) {
        if (auto mlsd = ParseMlsd(line)) {
            return std::move(*mlsd);
        }
    }
    SplitTokens(line, aTokens);
    if (aTokens.empty()) {
        return std::nullopt;
    }
    if (auto unixEntry = ParseUnix(line, aTokens)) {
        return std::move(*unixEntry);
    }
    using Parser = std::optional<FtpListEntry> (*)(std::string_view, const std::vector<Token>&);
    for (Parser parser : {ParseVms, ParseNumericUnix, ParseDos, ParseOs2, ParseSizeDateName,
                          ParseAs400, ParseOs9, ParseNameFirst, ParseMvs}) {
        if (auto entry = parser(line, aTokens)) {
            return entry;
        }
    }
    if (aTokens.size() == 1) {
        return Entry(aTokens[0].text, false);  // a bare name, as MVS lists members
    }
    if (line.front() == ' ') {
        return Entry(line.substr(1), false);  // MLSD without facts: one blank, then the name
    }
    return std::nullopt;
}

// The first room holds a folder of tens of thousands of files, and room grows eightfold
// instead of twofold: the entries of a long listing are moved to new room once or never
// instead of a dozen times (moving 20,000 entries cost a tenth of reading them), and room
// never written costs address space, not memory.
void MakeRoomForOneMore(std::vector<FtpListEntry>& aEntries) {
    constexpr size_t kFirstRoom = 32 * 1024;
    constexpr size_t kGrowth = 8;
    if (aEntries.size() == aEntries.capacity()) {
        aEntries.reserve(std::max(kFirstRoom, aEntries.capacity() * kGrowth));
    }
}

// The header ls writes above a long listing: "total 12".
bool IsTotalLine(std::string_view line) {
    size_t nPosition = 0;
    std::string_view first = NextWord(line, nPosition);
    std::string_view count = NextWord(line, nPosition);
    return EqualsIgnoringCase(first, "total") && IsDigits(count) &&
           NextWord(line, nPosition).empty();
}

// Adds the line's entry to aEntries, where it is built (the entries of a long listing are
// moved once); false for a malformed line.
bool ReadLineInto(std::string_view line, std::vector<Token>& aTokens,
                  std::vector<FtpListEntry>& aEntries) {
    if (SkipBlanks(line).empty()) {
        return true;
    }
    // The usual ls form, nearly every line of a long listing, is written where it stays.
    std::string_view size;
    std::string_view date;
    if (size_t nDateEnd = CommonUnixDateEnd(line, size, date); nDateEnd != std::string_view::npos) {
        std::string_view name = UnixName(NameAfter(line, nDateEnd, true), line.front());
        if (name != "." && name != ".." && !name.empty()) {
            MakeRoomForOneMore(aEntries);
            FtpListEntry& entry = aEntries.emplace_back();
            entry.strName.assign(name);
            entry.bFolder = line.front() == 'd';
            entry.nSize = SizeOf(size);
            SetTime(entry.strTime, date);
        }
        return !name.empty();
    }
    std::optional<FtpListEntry> entry = ParseAnyForm(line, aTokens);
    if (!entry) {
        // Asked only of the lines without an entry, which are few in any listing.
        return IsTotalLine(line);
    }
    // As views, the names are told apart by their length before any byte is compared.
    if (std::string_view(entry->strName) != "." && std::string_view(entry->strName) != "..") {
        MakeRoomForOneMore(aEntries);
        aEntries.push_back(std::move(*entry));
    }
    return true;
}

// A line of one word "NAME.EXT;1".
bool IsVmsNameLine(std::string_view line) {
    std::string_view name = TrimTrailing(SkipBlanks(line), " \t\r\n");
    // Asked of every line: most do not end in a version number.
    if (name.empty() || !IsDigit(name.back())) {
        return false;
    }
    size_t nSemicolon = name.rfind(';');
    return nSemicolon != std::string_view::npos && nSemicolon > 0 &&
           IsDigits(name.substr(nSemicolon + 1)) && std::none_of(name.begin(), name.end(), IsBlank);
}

// The line that starts at nStart, without its CR LF; nStart moves to the next line.
std::string_view NextLine(std::string_view listing, size_t& nStart) {
    size_t nEnd = std::min(listing.find('\n', nStart), listing.size());
    std::string_view line = listing.substr(nStart, nEnd - nStart);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    nStart = nEnd + 1;
    return line;
}

}  // namespace

FtpListLine ReadListLine(std::string_view line) {
    FtpListLine read;
    std::vector<Token> aTokens;
    std::vector<FtpListEntry> aEntries;
    read.bMalformed = line.size() > kMaxListLineBytes || !ReadLineInto(line, aTokens, aEntries);
    if (!aEntries.empty()) {
        read.entry = std::move(aEntries.front());
    }
    return read;
}

std::optional<FtpListEntry> ParseListLine(std::string_view line) {
    return ReadListLine(line).entry;
}

namespace {

// "YYYYMMDDHHMMSS", perhaps with a fraction after it.
std::optional<std::tm> CompactTime(std::string_view time) {
    constexpr size_t kDigits = 14;
    if (time.size() < kDigits || !IsDigits(time.substr(0, kDigits))) {
        return std::nullopt;
    }
    std::tm when{};
    when.tm_year = NumberOf(time.substr(0, 4)) - 1900;
    when.tm_mon = NumberOf(time.substr(4, 2)) - 1;
    when.tm_mday = NumberOf(time.substr(6, 2));
    when.tm_hour = NumberOf(time.substr(8, 2));
    when.tm_min = NumberOf(time.substr(10, 2));
    when.tm_sec = NumberOf(time.substr(12, 2));
    return when;
}

// "Dec 11 13:15", "Dec 11 2025", "Dec 02 2009 12:00"; tm_year -1 where the listing leaves the
// year out.
std::optional<std::tm> LsTime(std::string_view time) {
    size_t nPosition = 0;
    int nMonth = LsMonthNumber(NextWord(time, nPosition));
    std::string_view day = NextWord(time, nPosition);
    std::string_view yearOrTime = NextWord(time, nPosition);
    std::string_view clock = IsYear(yearOrTime) ? NextWord(time, nPosition) : yearOrTime;
    if (nMonth == 0 || !IsDigits(day) || !IsDay(day) || !NextWord(time, nPosition).empty() ||
        (!clock.empty() && !IsTime(clock)) || (!IsYear(yearOrTime) && clock.empty())) {
        return std::nullopt;
    }
    std::tm when{};
    when.tm_year = IsYear(yearOrTime) ? NumberOf(yearOrTime.substr(0, 4)) - 1900 : -1;
    when.tm_mon = nMonth - 1;
    when.tm_mday = NumberOf(day);
    if (!clock.empty()) {
        size_t nColon = clock.find(':');
        when.tm_hour = NumberOf(clock.substr(0, nColon));
        when.tm_min = NumberOf(clock.substr(nColon + 1, 2));
    }
    return when;
}

}  // namespace

std::optional<std::time_t> ListedTime(std::string_view time, std::time_t nNow) {
    std::optional<std::tm> when = CompactTime(time);
    if (when) {
        return timegm(&*when);
    }
    when = LsTime(time);
    if (!when) {
        return std::nullopt;
    }
    if (when->tm_year >= 0) {
        return timegm(&*when);
    }
    // ls leaves the year out for the last half year: this year's date, or last year's where
    // this year's lies ahead (a day's room for the zones of the two clocks).
    constexpr std::time_t kDay = 24 * 60 * 60;
    std::tm now{};
    gmtime_r(&nNow, &now);
    when->tm_year = now.tm_year;
    std::time_t nThisYear = timegm(&*when);
    if (nThisYear <= nNow + kDay) {
        return nThisYear;
    }
    when->tm_year = now.tm_year - 1;
    return timegm(&*when);
}

std::vector<FtpListEntry> ParseListing(std::string_view listing) {
    CFtpListParser parser;
    parser.Add(listing);
    return parser.Finish();
}

// A line begun in an earlier piece is completed from the head of this one; the rest of the
// piece is read where it lies, not copied behind the waiting line. A piece without a line
// end completes nothing and is only kept, so a line of any length costs one pass.
void CFtpListParser::Add(std::string_view data) {
    if (m_bDamaged) {
        return;
    }
    if (!m_strRest.empty()) {
        size_t nLineEnd = data.find('\n');
        if (nLineEnd == std::string_view::npos) {
            m_strRest.append(data);
            KeepRestBounded();
            return;
        }
        m_strRest.append(data.substr(0, nLineEnd + 1));
        data.remove_prefix(nLineEnd + 1);
        m_strRest.erase(0, ParseLines(m_strRest, false));
        if (!m_strRest.empty()) {
            // A VMS name line still waits for the line with its details.
            m_strRest.append(data);
            m_strRest.erase(0, ParseLines(m_strRest, false));
            KeepRestBounded();
            return;
        }
    }
    m_strRest.assign(data.substr(ParseLines(data, false)));
    KeepRestBounded();
}

// What waits for its line end is at most a VMS name line and the start of the line after it,
// each with its CR LF. Beyond that a line has grown past the bound without its end and will
// not end as an entry: the rest of the reply is not kept, so that a reply without line ends
// cannot take the program's memory.
void CFtpListParser::KeepRestBounded() {
    if (m_strRest.size() > 2 * (kMaxListLineBytes + 2)) {
        m_bDamaged = true;
        m_strRest.clear();
        m_strRest.shrink_to_fit();
    }
}

// A reply whose last line has no end may have been cut in the middle of that line.
std::vector<FtpListEntry> CFtpListParser::Finish() {
    if (!m_bDamaged) {
        m_bWhole = m_bWhole && (m_strRest.empty() || m_strRest.back() == '\n');
        ParseLines(m_strRest, true);
    }
    m_strRest.clear();
    if (m_bDamaged) {
        m_aEntries.clear();
    }
    return std::move(m_aEntries);
}

// Reads the lines of the text and answers how many bytes it read. Unless the text ends the
// reply, a line without its line end stays unread, and so does a VMS name line until the line
// after it is whole.
size_t CFtpListParser::ParseLines(std::string_view text, bool bComplete) {
    std::vector<Token> aTokens;
    std::string strJoined;
    size_t nStart = 0;
    while (nStart < text.size()) {
        size_t nNext = nStart;
        std::string_view line = NextLine(text, nNext);
        if (nNext > text.size() && !bComplete) {
            break;
        }
        if (line.size() > kMaxListLineBytes) {
            m_bDamaged = true;
            return text.size();
        }
        // VMS may put a long name on a line of its own, the rest of the entry on the next.
        if (IsVmsNameLine(line) && (nNext < text.size() || !bComplete)) {
            if (nNext >= text.size()) {
                break;
            }
            std::string_view details = NextLine(text, nNext);
            if (nNext > text.size() && !bComplete) {
                break;
            }
            if (details.size() > kMaxListLineBytes) {
                m_bDamaged = true;
                return text.size();
            }
            strJoined.assign(line).append(" ").append(details);
            line = strJoined;
        }
        m_bWhole = ReadLineInto(line, aTokens, m_aEntries) && m_bWhole;
        nStart = nNext;
    }
    return std::min(nStart, text.size());
}
