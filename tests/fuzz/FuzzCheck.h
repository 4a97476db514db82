#pragma once

#include <cstdio>
#include <cstdlib>

// Ends the fuzz target with a report when a property of the code under test does not hold;
// libFuzzer keeps the input that did it.
inline void Require(bool bHolds, const char* pszProperty) {
    if (!bHolds) {
        std::fprintf(stderr, "Property violated: %s\n", pszProperty);
        std::abort();
    }
}
