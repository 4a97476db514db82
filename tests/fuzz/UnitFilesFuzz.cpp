#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "journal/UnitFilesIndex.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

bool SameFiles(const UnitFiles& a, const UnitFiles& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](const auto& left, const auto& right) {
               return left.first == right.first &&
                      left.second.strSha256 == right.second.strSha256 &&
                      left.second.nSize == right.second.nSize &&
                      left.second.strListedTime == right.second.strListedTime;
           });
}

}  // namespace

// Input: a "History/UnitFiles.tsv". Reading it never ends the program; what reads, writes back
// and reads the same, and writes the same bytes again.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    std::string_view input(reinterpret_cast<const char*>(pData), nSize);
    UnitFiles aFiles = ReadUnitFiles(input);
    std::string strWritten = WriteUnitFiles(aFiles);
    UnitFiles aBack = ReadUnitFiles(strWritten);
    Require(SameFiles(aBack, aFiles), "what reads, writes back and reads the same");
    Require(WriteUnitFiles(aBack) == strWritten, "what is written, writes again the same");
    Require(aFiles.empty() == strWritten.empty(), "every file read is written");
    return 0;
}
