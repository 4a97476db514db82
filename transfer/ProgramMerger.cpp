#include "transfer/ProgramMerger.h"

#include <filesystem>

#include "platform/Progress.h"
#include "platform/StopRequest.h"
#include "transfer/TapeReader.h"
#include "transfer/TapeWriter.h"

bool AppendProgramFile(CTapeWriter& output, const std::string& strSourcePath) {
    CTapeReader reader;
    if (!reader.Open(strSourcePath)) {
        return false;
    }
    TapeLines lines;
    while (reader.Read(lines)) {
        if (CStopRequest::IsRequested()) {
            return false;
        }
        output.Write(lines);
    }
    return !reader.Failed();
}

MergeResult MergeProgramFiles(const std::vector<std::string>& aSourcePaths,
                              const std::string& strMergedPath) {
    MergeResult result;
    CTapeWriter output(strMergedPath);
    if (!output.Open()) {
        result.nWriteError = output.Error();
        return result;
    }
    for (const std::string& strSourcePath : aSourcePaths) {
        std::string strName = std::filesystem::path(strSourcePath).filename().string();
        CProgress::StartFile(strName, static_cast<int>(result.aMergedNames.size()),
                             static_cast<int>(aSourcePaths.size()));
        if (!AppendProgramFile(output, strSourcePath)) {
            result.aMergedNames.clear();
            result.bStopped = CStopRequest::IsRequested();
            result.strFailedName = result.bStopped ? std::string() : strName;
            return result;
        }
        result.aMergedNames.push_back(strName);
    }
    result.bOk = output.Finish();
    if (!result.bOk) {
        result.aMergedNames.clear();
        result.nWriteError = output.Error();
    }
    return result;
}
