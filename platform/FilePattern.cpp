#include "platform/FilePattern.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/Text.h"

namespace {

std::vector<std::string_view> Characters(std::string_view cp932) {
    std::vector<std::string_view> aCharacters;
    size_t nIndex = 0;
    while (nIndex < cp932.size()) {
        size_t nLength =
            IsLeadByte(static_cast<unsigned char>(cp932[nIndex])) && nIndex + 1 < cp932.size() ? 2
                                                                                               : 1;
        aCharacters.push_back(cp932.substr(nIndex, nLength));
        nIndex += nLength;
    }
    return aCharacters;
}

// Wildcard match that remembers the last "*" and lets it swallow one more character whenever
// the rest fails: linear in practice, never exponential.
bool WildcardMatch(const std::vector<std::string_view>& aName,
                   const std::vector<std::string_view>& aPattern) {
    size_t nName = 0;
    size_t nPattern = 0;
    size_t nStar = std::string::npos;
    size_t nStarName = 0;
    while (nName < aName.size()) {
        // A "*" of the pattern is a wildcard even where the name holds a "*" too.
        if (nPattern < aPattern.size() && aPattern[nPattern] == "*") {
            nStar = nPattern++;
            nStarName = nName;
        } else if (nPattern < aPattern.size() &&
                   (aPattern[nPattern] == "?" || aPattern[nPattern] == aName[nName])) {
            ++nName;
            ++nPattern;
        } else if (nStar != std::string::npos) {
            nPattern = nStar + 1;
            nName = ++nStarName;
        } else {
            return false;
        }
    }
    while (nPattern < aPattern.size() && aPattern[nPattern] == "*") {
        ++nPattern;
    }
    return nPattern == aPattern.size();
}

// Whether a character of the name starts at the byte: lead bytes take the byte after them, as
// Characters counts them.
bool StartsCharacter(std::string_view cp932, size_t nByte) {
    size_t nIndex = 0;
    while (nIndex < nByte) {
        nIndex += IsLeadByte(static_cast<unsigned char>(cp932[nIndex])) && nIndex + 1 < cp932.size()
                      ? 2
                      : 1;
    }
    return nIndex == nByte;
}

// "*.EXT" is the pattern the program lists with most; it needs no vectors of characters.
std::optional<bool> MatchesCommonPattern(std::string_view name, std::string_view pattern) {
    const bool bSuffixOnly =
        pattern.size() > 2 && pattern[0] == '*' && pattern[1] == '.' && pattern.back() != '.' &&
        pattern.find_first_of("*?", 1) == std::string_view::npos &&
        std::none_of(pattern.begin(), pattern.end(),
                     [](char character) { return static_cast<unsigned char>(character) >= 0x80; });
    if (!bSuffixOnly) {
        return std::nullopt;
    }
    const std::string_view suffix = pattern.substr(1);
    return name.ends_with(suffix) && StartsCharacter(name, name.size() - suffix.size());
}

}  // namespace

bool MatchesFilePattern(std::string_view cp932Name, std::string_view cp932Pattern) {
    // Whole folders are listed with these: no copy of the name for them.
    if (cp932Pattern == "*" || cp932Pattern == "*.*") {
        return true;
    }
    std::string strName = MakeUpper(cp932Name);
    std::string strPattern = MakeUpper(cp932Pattern);
    if (std::optional<bool> bMatches = MatchesCommonPattern(strName, strPattern)) {
        return *bMatches;
    }
    // "." is never a trail byte, so a plain search finds only real dots.
    if (strPattern.size() > 1 && strPattern.back() == '.' &&
        strName.find('.') == std::string::npos) {
        strPattern.pop_back();
    }
    return WildcardMatch(Characters(strName), Characters(strPattern));
}
