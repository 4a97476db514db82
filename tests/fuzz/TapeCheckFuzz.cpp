#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tests/fuzz/FuzzCheck.h"
#include "transfer/TapeCheck.h"

// Any bytes: the check ends, every finding points at a line of the input, and what the operator
// reads (summary, details, excerpts) is valid UTF-8. The same bytes checked again as part of
// the same tape find everything again but the frame, and every number as a duplicate now.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    std::string_view tape(reinterpret_cast<const char*>(pData), nSize);
    size_t nLines = 1;
    for (char character : tape) {
        nLines += character == '\n' || character == '\r' ? 1 : 0;
    }
    CTapeCheck check(7000, 7009);
    check.CheckBytes("tape", tape, true);
    const size_t nFirst = check.Findings().size();
    for (const CTapeCheck::Finding& finding : check.Findings()) {
        Require(finding.nLine >= 1 && static_cast<size_t>(finding.nLine) <= nLines,
                "a finding points at a line of the tape");
        Require(IsValidUtf8(finding.strExcerpt), "the excerpt is UTF-8");
    }
    Require(nFirst == 0 || (IsValidUtf8(check.Summary()) && !check.Summary().empty()),
            "the summary is UTF-8 and says something");
    Require(IsValidUtf8(check.Details()), "the details are UTF-8");

    check.CheckBytes("again", tape, false);
    size_t nFramed = 0;
    for (size_t nIndex = 0; nIndex < nFirst; ++nIndex) {
        nFramed += check.Findings()[nIndex].kind == CTapeCheck::Kind::MissingFrame ? 1 : 0;
    }
    Require(check.Findings().size() >= 2 * nFirst - nFramed,
            "the second pass finds at least what the first found without its frame");
    return 0;
}
