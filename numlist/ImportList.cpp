#include "numlist/ImportList.h"

#include <algorithm>

int WaitingProgramNumber(std::string_view name) {
    if (name.size() != 4 ||
        !std::ranges::all_of(name, [](char c) { return c >= '0' && c <= '9'; })) {
        return 0;
    }
    int nNo = 0;
    for (char c : name) {
        nNo = nNo * 10 + (c - '0');
    }
    return nNo;
}

std::vector<int> ListWaitingPrograms(const std::vector<std::string>& aFileNames) {
    std::vector<int> aNo;
    for (const std::string& strFileName : aFileNames) {
        std::string_view name = strFileName;
        // "." is never the second byte of a double-byte character.
        name = name.substr(0, name.rfind('.'));
        if (int nNo = WaitingProgramNumber(name); nNo > 0) {
            aNo.insert(std::ranges::upper_bound(aNo, nNo), nNo);
        }
    }
    return aNo;
}
