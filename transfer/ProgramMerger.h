#pragma once

#include <string>
#include <vector>

class CTapeWriter;

// Merging several NC program files into one tape for the unit: a line "%", the lines of each
// file in turn with every "%" removed and empty lines left out, each ended by CR LF, and a
// final "%" without a line end.

// Appends the lines of one program file to the tape being written. False when the file cannot
// be opened or read to its end, or when the operator stopped the work.
bool AppendProgramFile(CTapeWriter& output, const std::string& strSourcePath);

struct MergeResult {
    bool bOk = false;
    // File names (without folder) of the merged files, in merge order.
    std::vector<std::string> aMergedNames;
    // Name of the file that could not be read; empty when the tape itself could not be written.
    std::string strFailedName;
    // The error number of the write that failed when the tape itself could not be written.
    int nWriteError = 0;
    // The operator stopped the merge (CStopRequest); nothing is left at the merged path.
    bool bStopped = false;
};

// Writes the tape of all source files, in the given order, to the merged path. A file that
// cannot be read fails the whole merge and leaves nothing at the merged path: a tape missing
// one of the chosen programs must never reach the machine. The busy dialog is told of each
// file as it is merged.
MergeResult MergeProgramFiles(const std::vector<std::string>& aSourcePaths,
                              const std::string& strMergedPath);
