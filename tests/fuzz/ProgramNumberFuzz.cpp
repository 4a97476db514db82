#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Text.h"
#include "tests/fuzz/FuzzCheck.h"
#include "transfer/ProgramSplitter.h"

namespace {

// The rule read straight off its description, one character at a time: the first "O" or ":"
// outside parentheses that is not the line's last byte, then the number characters behind it.
int ReferenceProgramNumber(std::string_view line) {
    bool bInComment = false;
    for (size_t nIndex = 0; nIndex < line.size(); ++nIndex) {
        unsigned char byte = static_cast<unsigned char>(line[nIndex]);
        bool bLast = nIndex + 1 == line.size();
        if (IsLeadByte(byte)) {
            ++nIndex;  // its trail byte is no character of its own
            continue;
        }
        if (bInComment) {
            bInComment = byte != ')';
            continue;
        }
        if (byte == '(') {
            bInComment = true;
            continue;
        }
        if ((byte == 'O' || byte == ':') && !bLast) {
            std::string_view rest = line.substr(nIndex + 1);
            size_t nDigits = rest.find_first_not_of("0123456789 -");
            std::string_view number = rest.substr(0, nDigits);
            return number.empty() ? -1 : DecimalValue(number);
        }
    }
    return -1;
}

}  // namespace

// The program number of any line agrees with the reference; text before the line that cannot
// hold an address (a closed comment, a double-byte character whose second byte is "O")
// does not change it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    std::string_view line(reinterpret_cast<const char*>(pData), nSize);
    int nNumber = GetProgramNumber(line);
    Require(nNumber == ReferenceProgramNumber(line), "the number agrees with the reference");
    for (std::string_view prefix : {"(O1:2)", "\x82\x4F", "\x83\x4F", "N10 "}) {
        Require(GetProgramNumber(std::string(prefix) + std::string(line)) == nNumber,
                "text without an address before the line changes nothing");
    }
    return 0;
}
