#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Text.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/fuzz/ScratchFolder.h"
#include "transfer/ProgramSplitter.h"

namespace {

// The lines of a tape as the machine means them: split at LF, one CR before it dropped, every
// "%" removed, empty lines left out.
std::vector<std::string> TapeLines(std::string_view tape) {
    std::vector<std::string> aLines;
    while (!tape.empty()) {
        size_t nEnd = tape.find('\n');
        std::string_view raw = tape.substr(0, nEnd);
        tape.remove_prefix(nEnd == std::string_view::npos ? tape.size() : nEnd + 1);
        if (!raw.empty() && raw.back() == '\r') {
            raw.remove_suffix(1);
        }
        std::string strLine;
        for (char character : raw) {
            if (character != '%') {
                strLine += character;
            }
        }
        if (!strLine.empty()) {
            aLines.push_back(strLine);
        }
    }
    return aLines;
}

// The file of each program number: its lines between a "%" line and a final "%", the last
// program of a number winning.
std::map<std::string, std::string> ExpectedFiles(const std::vector<std::string>& aLines) {
    std::map<std::string, std::string> files;
    std::string* pCurrent = nullptr;
    for (const std::string& strLine : aLines) {
        int nNumber = GetProgramNumber(strLine);
        if (nNumber > 0) {
            pCurrent = &files[Format("O%04d.NC", nNumber)];
            *pCurrent = "%\r\n";
        }
        if (pCurrent != nullptr) {
            *pCurrent += strLine + "\r\n";
        }
    }
    for (auto& [strName, strContent] : files) {
        strContent += "%";
    }
    return files;
}

}  // namespace

// Any tape splits; the folder then holds exactly one file for each program number, and each
// file holds its program's lines (the last program of a number winning), so that with distinct
// numbers the files laid end to end give back the tape from its first program on.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static const CScratchFolder source;
    static const CScratchFolder destination;
    std::string_view tape(reinterpret_cast<const char*>(pData), nSize);
    destination.Clear();

    Require(SplitByProgramNumber(source.Write("RZKIN", tape), destination.Path(), ".NC").bOk,
            "a readable tape splits");
    std::map<std::string, std::string> expected = ExpectedFiles(TapeLines(tape));
    std::vector<std::string> aNames = destination.Names();
    Require(aNames.size() == expected.size(), "one file for each program number, nothing else");
    for (const std::string& strName : aNames) {
        auto found = expected.find(strName);
        Require(found != expected.end(), "a file is named after a program of the tape");
        Require(destination.Read(strName) == found->second, "a file holds its program");
    }
    return 0;
}
