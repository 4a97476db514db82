#include <gtest/gtest.h>

#include "platform/FilePattern.h"

namespace {

TEST(FilePatternTest, MatchesAsTheListsOfTheProgramNeed) {
    struct PatternCase {
        const char* szName;
        const char* szPattern;
        bool bMatches;
    };
    const PatternCase aCases[] = {
        {"0001.fno", "*.fno", true},
        {"0001.FNO", "*.fno", true},
        {"FileList.fno", "*.FNO", true},
        {"0001.fnox", "*.fno", false},
        {"0001fno", "*.fno", false},
        {"RZKOUT", "*", true},
        {"RZKOUT", "*.*", true},
        {"RZKOUT", "*.", true},
        {"RZKOUT.NC", "*.", false},
        {"A.B.NC", "*.nc", true},
        {"PROG.NC", "PROG.??", true},
        {"PROG.N", "PROG.??", false},
        // A double-byte character counts as one, and its trail byte is never taken for a
        // letter: "テ" (83 65) must not turn into "ウ" (83 45).
        {"\x83\x65.NC", "?.nc", true},
        {"\x83\x65.NC", "\x83\x45.NC", false},
        {"\x82\x81.NC", "\x82\x60.nc", true},  // full-width "ａ" and "Ａ"
        {"\x95\x5C\x8E\xA6.fno", "*.fno", true},
        {"", "*", true},
        // A "*" in the name is still matched by the pattern's "*" as a wildcard.
        {"*.*", "*", true},
        {"*a.fno", "*.fno", true},
        {"x", "", false},
    };
    for (const PatternCase& patternCase : aCases) {
        EXPECT_EQ(MatchesFilePattern(patternCase.szName, patternCase.szPattern),
                  patternCase.bMatches)
            << patternCase.szName << " / " << patternCase.szPattern;
    }
}

}  // namespace
