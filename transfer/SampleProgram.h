#pragma once

#include <string>

// The small programs that check the link to the machine: a send check that only ends itself,
// and two remote-instruction programs that call up a stored program by file name or by number.
enum SampleKind {
    SAMPLE_SEND_CHECK = 0,
    SAMPLE_CALL_BY_NAME = 1,
    SAMPLE_CALL_BY_NUMBER = 2,
};

// Writes the sample of the kind to the path: "%", "O" + program number, then "M30",
// "(" + file name + ")" or "P" + number to call, each line ended by CR LF, and a final "%"
// without a line end. The file name is code page 932. False when the file cannot be written.
bool WriteSampleProgram(const std::string& strPath, int nKind, int nProgramNumber,
                        const std::string& strFileName, int nCallNumber);

// The warning that refuses the program number for the kind, or an empty text when it fits:
// remote-instruction samples need a number within nRemoteFirst..nRemoteLast (both ends
// included), the send check one outside it.
std::string SampleRangeError(int nKind, int nProgramNumber, int nRemoteFirst, int nRemoteLast);
