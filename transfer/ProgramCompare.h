#pragma once

#include <string>
#include <string_view>

// Where a received program differs from the PC file it replaced. Lines are compared as the
// machine reads them: CR LF, LF and CR all end a line, and a last line end or its absence
// makes no difference, so a file that only changed its line-end style is the same program.
struct ProgramDifference {
    bool bDiffers = false;
    int nLine = 0;           // 1-based line of the first difference
    std::string strOldLine;  // that line in each file, for display (UTF-8, shortened);
    std::string strNewLine;  // "（なし）" where the file has no such line
};

ProgramDifference FirstDifference(std::string_view oldBytes, std::string_view newBytes);

// "12行目「G00 X0」→「G01 X0」" for a difference.
std::string DifferenceText(const ProgramDifference& difference);
