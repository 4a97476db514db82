#include "transfer/SampleProgram.h"

#include "platform/Text.h"
#include "transfer/TapeWriter.h"

namespace {

std::string CallLine(int nKind, const std::string& strFileName, int nCallNumber) {
    switch (nKind) {
        case SAMPLE_CALL_BY_NAME:
            return "(" + strFileName + ")";
        case SAMPLE_CALL_BY_NUMBER:
            return Format("P%d", nCallNumber);
        default:
            return "M30";
    }
}

}  // namespace

bool WriteSampleProgram(const std::string& strPath, int nKind, int nProgramNumber,
                        const std::string& strFileName, int nCallNumber) {
    CTapeWriter file(strPath);
    if (!file.Open()) {
        return false;
    }
    file.WriteLine(Format("O%d", nProgramNumber));
    file.WriteLine(CallLine(nKind, strFileName, nCallNumber));
    return file.Finish();
}

std::string SampleRangeError(int nKind, int nProgramNumber, int nRemoteFirst, int nRemoteLast) {
    bool bInRange = nRemoteFirst <= nProgramNumber && nProgramNumber <= nRemoteLast;
    bool bRemoteInstruction = nKind != SAMPLE_SEND_CHECK;
    if (bRemoteInstruction && !bInRange) {
        return "Ｏ番号がリモート指示範囲にありません。";
    }
    if (!bRemoteInstruction && bInRange) {
        return "Ｏ番号がリモート指示範囲にあります。";
    }
    return {};
}
