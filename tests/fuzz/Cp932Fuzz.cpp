#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Text.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

// Where the characters of code page 932 bytes start: a lead byte takes the next byte with it.
std::vector<size_t> CharacterStarts(std::string_view cp932) {
    std::vector<size_t> aStarts;
    for (size_t nIndex = 0; nIndex < cp932.size();) {
        aStarts.push_back(nIndex);
        bool bDouble =
            IsLeadByte(static_cast<unsigned char>(cp932[nIndex])) && nIndex + 1 < cp932.size();
        nIndex += bDouble ? 2 : 1;
    }
    return aStarts;
}

size_t CharacterEnd(std::string_view cp932, const std::vector<size_t>& aStarts, size_t nCharacter) {
    return nCharacter + 1 < aStarts.size() ? aStarts[nCharacter + 1] : cp932.size();
}

// Upper case done on the UTF-8 text: a-z and the full-width a-z (U+FF41..U+FF5A, bytes EF BD
// 81..9A) to their capitals (U+FF21..U+FF3A, bytes EF BC A1..BA).
std::string UpperOfUtf8(std::string text) {
    for (size_t nIndex = 0; nIndex < text.size(); ++nIndex) {
        unsigned char byte = static_cast<unsigned char>(text[nIndex]);
        if (byte >= 'a' && byte <= 'z') {
            text[nIndex] = static_cast<char>(byte - 'a' + 'A');
        } else if (byte == 0xEF && nIndex + 2 < text.size() &&
                   static_cast<unsigned char>(text[nIndex + 1]) == 0xBD) {
            unsigned char last = static_cast<unsigned char>(text[nIndex + 2]);
            if (last >= 0x81 && last <= 0x9A) {
                text[nIndex + 1] = static_cast<char>(0xBC);
                text[nIndex + 2] = static_cast<char>(last + 0x20);
            }
            nIndex += 2;
        }
    }
    return text;
}

// Code page 932 gives some characters two codes (NEC row 13 and the IBM extensions in rows
// 0x87, 0xED, 0xEE and 0xFA); converting back writes the code Windows writes. Anything else
// must come back byte for byte.
void CheckRoundTrip(std::string_view cp932, const std::vector<size_t>& aStarts) {
    std::optional<std::string> utf8 = Cp932ToUtf8(cp932);
    if (!utf8) {
        return;
    }
    Require(IsValidUtf8(*utf8), "the code page converts to valid UTF-8");
    std::optional<std::string> back = Utf8ToCp932(*utf8);
    Require(back.has_value(), "converted text converts back");
    Require(back->size() == cp932.size(), "converted text comes back with as many bytes");
    for (size_t nCharacter = 0; nCharacter < aStarts.size(); ++nCharacter) {
        size_t nStart = aStarts[nCharacter];
        size_t nLength = CharacterEnd(cp932, aStarts, nCharacter) - nStart;
        std::string_view before = cp932.substr(nStart, nLength);
        std::string_view after = std::string_view(*back).substr(nStart, nLength);
        if (before != after) {
            unsigned char lead = static_cast<unsigned char>(before[0]);
            Require(lead == 0x87 || lead == 0xED || lead == 0xEE || lead == 0xFA,
                    "only a character with two codes comes back in another code");
            Require(Cp932ToUtf8(before) == Cp932ToUtf8(after),
                    "a character in another code is the same character");
        }
    }
}

// Text converted to the code page converts back to text that gives the same bytes again
// (some characters, such as U+00A5, are written as the nearest character of the code page).
void CheckFromUtf8(std::string_view utf8) {
    std::optional<std::string> cp932 = Utf8ToCp932(utf8);
    if (!cp932) {
        return;
    }
    std::optional<std::string> back = Cp932ToUtf8(*cp932);
    Require(back.has_value(), "converted bytes convert back");
    Require(Utf8ToCp932(*back) == cp932, "converted bytes convert back to the same text");
}

void CheckCut(std::string_view cp932, const std::vector<size_t>& aStarts, size_t nMaxBytes) {
    std::string strCut = CutBytes(cp932, nMaxBytes);
    Require(strCut.size() <= nMaxBytes, "a cut text is no longer than the limit");
    Require(cp932.substr(0, strCut.size()) == strCut, "a cut text is the head of the text");
    size_t nCharacters = 0;
    while (nCharacters < aStarts.size() && aStarts[nCharacters] < strCut.size()) {
        ++nCharacters;
    }
    size_t nEnd = nCharacters == 0 ? 0 : CharacterEnd(cp932, aStarts, nCharacters - 1);
    Require(nEnd == strCut.size(), "a cut never splits a double-byte character");
    Require(nCharacters == aStarts.size() || CharacterEnd(cp932, aStarts, nCharacters) > nMaxBytes,
            "a cut keeps every character that fits");
}

void CheckUpper(std::string_view cp932) {
    std::string strUpper = MakeUpper(cp932);
    Require(strUpper.size() == cp932.size(), "upper case keeps the length");
    Require(MakeUpper(strUpper) == strUpper, "upper case of upper case changes nothing");
    std::optional<std::string> utf8 = Cp932ToUtf8(cp932);
    if (utf8) {
        Require(Cp932ToUtf8(strUpper) == UpperOfUtf8(*utf8),
                "upper case agrees with upper case of the text");
    }
}

void CheckFindLast(std::string_view cp932, const std::vector<size_t>& aStarts, char character) {
    size_t nExpected = std::string::npos;
    for (size_t nCharacter = 0; nCharacter < aStarts.size(); ++nCharacter) {
        size_t nStart = aStarts[nCharacter];
        if (CharacterEnd(cp932, aStarts, nCharacter) == nStart + 1 && cp932[nStart] == character) {
            nExpected = nStart;
        }
    }
    Require(FindLastSingleByte(cp932, character) == nExpected,
            "the last single-byte occurrence is found, never a trail byte");
}

void CheckDisplay(std::string_view cp932) {
    std::string strDisplay = Cp932ToDisplay(cp932);
    Require(IsValidUtf8(strDisplay), "display text is valid UTF-8");
    Require(cp932.empty() || !strDisplay.empty(), "display text shows every text");
    if (std::optional<std::string> utf8 = Cp932ToUtf8(cp932)) {
        Require(strDisplay == *utf8, "display text of valid bytes is their conversion");
    }
}

// atoi with saturation, from the C library's strtoll.
void CheckDecimalValue(std::string_view text) {
    std::string strTerminated(text.substr(0, text.find('\0')));
    long long nValue = std::strtoll(strTerminated.c_str(), nullptr, 10);
    int nExpected = nValue > INT_MAX   ? INT_MAX
                    : nValue < INT_MIN ? INT_MIN
                                       : static_cast<int>(nValue);
    Require(DecimalValue(text) == nExpected, "a decimal value reads as strtoll reads it");
}

}  // namespace

// Input: the byte limit of a cut, a character to search, then the text (taken as code page 932
// bytes and as UTF-8).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    if (nSize < 2) {
        return 0;
    }
    size_t nMaxBytes = pData[0];
    char character = static_cast<char>(pData[1]);
    std::string_view text(reinterpret_cast<const char*>(pData) + 2, nSize - 2);
    std::vector<size_t> aStarts = CharacterStarts(text);

    CheckRoundTrip(text, aStarts);
    CheckFromUtf8(text);
    CheckCut(text, aStarts, nMaxBytes);
    CheckUpper(text);
    CheckFindLast(text, aStarts, character);
    CheckDisplay(text);
    CheckDecimalValue(text);
    return 0;
}
