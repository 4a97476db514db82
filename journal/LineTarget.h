#pragma once

#include <string>

#include "journal/JournalRecord.h"
#include "unitstore/UnitStore.h"

// Where the version of a journal line goes back, and what it is compared with: the machine
// profile, transport and address the line recorded, never the machine that is current now. A
// line whose machine cannot be reached as it was (its profile gone, its address changed, its
// USB memory not the one chosen) is refused, so that a restore never writes over another
// machine's program.
struct LineTarget {
    bool bOk = false;
    std::string strMessage;  // why the line's machine cannot be reached
    UnitStoreSettings settings;
    bool bAddDot = false;
    std::string strDot;
    std::string strMachine;  // "2号機（192.168.0.12）", "" for a PC file
};

// strProfilePath: the file of the line's machine profile. current: how the program reaches the
// unit now, for what a line does not record (port, mode, time-out, the USB memory chosen).
LineTarget TargetOfLine(const JournalRecord& record, const std::string& strProfilePath,
                        const UnitStoreSettings& current);
