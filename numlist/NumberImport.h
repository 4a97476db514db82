#pragma once

#include <string>

// The folder where the unit leaves numbered programs for the PC to take over.
constexpr const char* kWaitingFolder = "RzFilesIn";

// What taking one waiting program over to the PC did.
struct ProgramImport {
    // The PC has the program: it is not to be offered again, even where the unit kept it.
    bool bTaken = false;
    // It was taken and removed from the unit.
    bool bDone = false;
    // The operator stopped the transfer: nothing was taken.
    bool bStopped = false;
    std::string strMessage;
};

// Takes the program nNo ("%04d.fno" in RzFilesIn) into the PC file strPath and removes it from
// the unit; the message names the file by strFileName. The number import's "取込" and the
// command line run it.
ProgramImport ImportWaitingProgram(int nNo, const std::string& strPath,
                                   const std::string& strFileName);
