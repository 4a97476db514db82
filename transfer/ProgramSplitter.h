#pragma once

#include <functional>
#include <string>
#include <string_view>

// Splitting a received NC tape into one file per program. A program starts at a line that
// announces a program number (address "O" or ":"); its file "O%04d" + suffix holds a line "%",
// the program's lines with CR LF line ends, and a final "%" without a line end.

// The program number the line announces, or -1 when it announces none. The first "O" or ":"
// outside parentheses decides, as long as it is not the line's last character; the digits,
// blanks and minus signs behind it are read like atoi (so "O12 34" is 12 and "O-5" is -5).
// Lines are code page 932: the second byte of a double-byte character is never an address.
int GetProgramNumber(std::string_view line);

// What a split did.
struct SplitResult {
    bool bOk = false;
    // Program files put in place, a replaced one counted again.
    int nWritten = 0;
    // Where a failed split stopped: the name (without folder) of the program file that could
    // not be written, or of the source when reading it failed part-way; empty when the source
    // could not be opened.
    std::string strFailedName;
    // The error number of that failure.
    int nError = 0;
    // The operator stopped the split (CStopRequest): the program file under way was dropped,
    // strFailedName names it (empty when none was), and the files before it stay.
    bool bStopped = false;
};

// Writes one file per program of the source into the destination folder (ending in "/"),
// each appearing under its name only when complete; a later program with the
// same number replaces the earlier file. Text before the first program is dropped. Fails when
// the source cannot be read or a split file cannot be written completely; files finished
// before the failure stay.
// onProgramFile, when given, is called with the path of each program's file just before the
// file is written, so that the caller can look at what it replaces. The busy dialog is told
// of each program file as it starts. The split stops at the next piece of the source it reads
// once the operator asked to stop.
SplitResult SplitByProgramNumber(const std::string& strSourcePath,
                                 const std::string& strDestinationFolder,
                                 const std::string& strSuffix,
                                 const std::function<void(const std::string&)>& onProgramFile = {});
