#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "numlist/ImportList.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

// The rule said plainly: the name up to its last "." is four decimal digits, not all zero.
int ReferenceNumber(const std::string& strFileName) {
    std::string strStem = strFileName.substr(0, strFileName.rfind('.'));
    if (strStem.size() != 4 || strStem.find_first_not_of("0123456789") != std::string::npos) {
        return 0;
    }
    return std::stoi(strStem);
}

}  // namespace

// The input's lines are the file names of RzFilesIn. The list holds the number of every
// numbered program among them and nothing else, in ascending order.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    std::string_view input(reinterpret_cast<const char*>(pData), nSize);
    std::vector<std::string> aNames;
    std::vector<int> aExpected;
    while (!input.empty()) {
        size_t nEnd = input.find('\n');
        aNames.emplace_back(input.substr(0, nEnd));
        input.remove_prefix(nEnd == std::string_view::npos ? input.size() : nEnd + 1);
        if (int nNo = ReferenceNumber(aNames.back()); nNo > 0) {
            aExpected.push_back(nNo);
        }
    }
    std::sort(aExpected.begin(), aExpected.end());
    std::vector<int> aListed = ListWaitingPrograms(aNames);
    Require(aListed == aExpected, "the numbered programs, ascending, and nothing else");
    Require(std::all_of(aListed.begin(), aListed.end(),
                        [](int nNo) { return nNo >= 1 && nNo <= 9999; }),
            "every number lies in 1..9999");
    return 0;
}
