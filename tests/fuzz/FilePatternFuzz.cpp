#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FilePattern.h"
#include "platform/Text.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

// The characters of code page 932 bytes: a lead byte takes the next byte with it.
std::vector<std::string> CharactersOf(std::string_view cp932) {
    std::vector<std::string> aCharacters;
    for (size_t nIndex = 0; nIndex < cp932.size();) {
        size_t nLength =
            IsLeadByte(static_cast<unsigned char>(cp932[nIndex])) && nIndex + 1 < cp932.size() ? 2
                                                                                               : 1;
        aCharacters.emplace_back(cp932.substr(nIndex, nLength));
        nIndex += nLength;
    }
    return aCharacters;
}

// Plain dynamic programming over (characters of the name, characters of the pattern): every
// "*" tries every run, nothing clever.
bool ReferenceWildcard(const std::vector<std::string>& aName,
                       const std::vector<std::string>& aPattern) {
    // bMatches[n][p]: the name from character n on matches the pattern from character p on.
    std::vector<std::vector<bool>> bMatches(aName.size() + 1,
                                            std::vector<bool>(aPattern.size() + 1, false));
    bMatches[aName.size()][aPattern.size()] = true;
    for (size_t n = aName.size() + 1; n-- > 0;) {
        for (size_t p = aPattern.size(); p-- > 0;) {
            bool bMore = n < aName.size();
            if (aPattern[p] == "*") {
                bMatches[n][p] = bMatches[n][p + 1] || (bMore && bMatches[n + 1][p]);
            } else {
                bMatches[n][p] = bMore && (aPattern[p] == "?" || aPattern[p] == aName[n]) &&
                                 bMatches[n + 1][p + 1];
            }
        }
    }
    return bMatches[0][0];
}

// The rules of the program's lists: case does not matter, "*.*" takes every name, and a
// pattern ending in "." also takes a name without any dot.
bool ReferenceMatch(std::string_view name, std::string_view pattern) {
    std::string strName = MakeUpper(name);
    std::string strPattern = MakeUpper(pattern);
    if (strPattern == "*.*") {
        return true;
    }
    bool bBareName = strName.find('.') == std::string::npos;
    if (strPattern.size() > 1 && strPattern.back() == '.' && bBareName) {
        strPattern.pop_back();
    }
    return ReferenceWildcard(CharactersOf(strName), CharactersOf(strPattern));
}

}  // namespace

// Input: the name, a line end, the pattern. The match agrees with the reference; a name always
// matches itself and "*".
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    std::string_view input(reinterpret_cast<const char*>(pData), nSize);
    size_t nEnd = input.find('\n');
    if (nEnd == std::string_view::npos) {
        return 0;
    }
    std::string_view name = input.substr(0, nEnd);
    std::string_view pattern = input.substr(nEnd + 1);
    Require(MatchesFilePattern(name, pattern) == ReferenceMatch(name, pattern),
            "the match agrees with the reference matcher");
    Require(MatchesFilePattern(name, name), "a name matches itself");
    Require(MatchesFilePattern(name, "*"), "\"*\" matches every name");
    Require(MatchesFilePattern(name, "*.*"), "\"*.*\" matches every name");
    return 0;
}
