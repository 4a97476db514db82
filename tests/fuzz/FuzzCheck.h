#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

// Ends the fuzz target with a report when a property of the code under test does not hold;
// libFuzzer keeps the input that did it.
inline void Require(bool bHolds, const char* pszProperty) {
    if (!bHolds) {
        std::fprintf(stderr, "Property violated: %s\n", pszProperty);
        std::abort();
    }
}

// Well-formed UTF-8: each lead byte followed by as many continuation bytes as it announces, no
// overlong two-byte form.
inline bool IsValidUtf8(std::string_view text) {
    for (size_t nIndex = 0; nIndex < text.size();) {
        unsigned char byte = static_cast<unsigned char>(text[nIndex]);
        size_t nLength = byte < 0x80    ? 1
                         : byte >= 0xF0 ? 4
                         : byte >= 0xE0 ? 3
                         : byte >= 0xC2 ? 2
                                        : 0;
        if (nLength == 0 || nIndex + nLength > text.size()) {
            return false;
        }
        for (size_t nNext = 1; nNext < nLength; ++nNext) {
            if ((static_cast<unsigned char>(text[nIndex + nNext]) & 0xC0) != 0x80) {
                return false;
            }
        }
        nIndex += nLength;
    }
    return true;
}
